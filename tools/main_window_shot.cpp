// Saves pictures of the whole main window: right after start-up, while a
// program runs in each timing mode, and during a fast run. Usage: main_window_shot OUTPUT_DIR
// (run with QT_QPA_PLATFORM=offscreen or under a virtual X display; the
// shipped micro-program and cfg.ini must be beside this program).
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTest>
#include <cstdio>

#include "app/machine.h"
#include "app/main_toolstrip.h"
#include "app/mdi_main.h"
#include "app/runner.h"
#include "core/frm_processor1.h"
#include "io/device_windows.h"
#include "io/frm_dev_monitor.h"
#include "io/frm_dev_prop.h"
#include "memory/dump_file.h"

using namespace vesk;

namespace {

void Save(QWidget& w, const QString& dir, const char* name) {
  QApplication::processEvents();
  const QString path = QDir(dir).filePath(QString::fromLatin1(name) + ".png");
  if (!w.grab().save(path)) std::fprintf(stderr, "cannot save %s\n", qPrintable(path));
  else std::printf("%s\n", qPrintable(path));
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
  QDir().mkpath(dir);
  Machine machine;
  QElapsedTimer clock;
  clock.start();
  MDIMain window(machine, ProgramDirectory());
  window.show();
  window.StartUp();
  QApplication::processEvents();
  std::printf("start-up to a shown main window: %lld ms\n", static_cast<long long>(clock.elapsed()));
  Save(window, dir, "main_startup");

  const std::string example = std::string(VESK_SOURCE_DIR) + "/examples/multiply.vdmp";
  Mem_LoadDump(machine.memory, example);
  machine.runControl.SetIntervals(0, 1, 1);
  window.Start();
  QTest::qWait(1500);
  Save(window, dir, "main_running_short");

  window.Stop();
  QTest::qWait(500);
  window.SetMode(1);
  machine.runControl.SetIntervals(3, 40, 40);
  window.Continue();
  QTest::qWait(1000);
  Save(window, dir, "main_running_full");

  // The text example printing on a monitor attached to controller 02, and the
  // device dialog for that controller.
  window.Stop();
  QTest::qWait(500);
  window.SetMode(2);
  machine.runControl.SetIntervals(0, 1, 1);
  machine.controllers.SetDevice(Controllers::RowOfAddress(0x02), "Monitor");
  window.deviceWindows().showMonitor();
  window.deviceWindows().openProperties(Controllers::RowOfAddress(0x02));
  Mem_LoadDump(machine.memory, std::string(VESK_SOURCE_DIR) + "/examples/print.vdmp");
  window.Start();
  QTest::qWait(3000);
  Save(window, dir, "main_monitor");

  // A fast run of the multiplication example made endless (its HLT branches
  // back to its start), caught in the middle; it goes on a few seconds more
  // for a picture of the screen from outside.
  window.Stop();
  QTest::qWait(500);
  for (QWidget* w : {static_cast<QWidget*>(&window.deviceWindows().devProp()),
                     static_cast<QWidget*>(&window.deviceWindows().monitor())})
    if (QWidget* frame = window.frameOf(w)) frame->hide();
    else w->hide();
  window.BringUp(window.processorWindow());
  Mem_LoadDump(machine.memory, example);
  for (int a = 0; a < 0x30; ++a)
    if (machine.memory.Value(a) == "1111000000000000") machine.memory.SetRow(a, "1100000000010000", "BR 010");
  window.FastStart();
  QTest::qWait(2000);
  Save(window, dir, "main_running_fast");
  QTest::qWait(6000);
  window.Stop();
  QTest::qWait(500);
  Save(window, dir, "main_fast_stopped");
  return 0;
}
