// Micro-commands per second with every machine window alive and painting:
// run control ticks once per micro-command (short period, period 1 of zero
// ticks), and the event loop runs every few hundred ticks so the windows
// repaint. Then a trace of a million lines: how long the list takes to take
// them in, to scroll, and to export.
// Usage: bench_windows [micro-commands]   (QT_QPA_PLATFORM=offscreen works)
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

#include "widgets/dialogs.h"
#include "app/machine.h"
#include "core/frm_processor1.h"
#include "memory/dump_file.h"
#include "memory/micro_program_file.h"
#include "io/frm_controllers.h"
#include "memory/frm_mem.h"
#include "memory/frm_micro_mem.h"
#include "support/tiny_micro_program.h"
#include "trace/frm_micro_trace.h"
#include "trace/frm_trace.h"

using namespace vesk;

namespace {

// Answers the save dialog with a fixed path.
class FixedPathDialogs final : public Dialogs {
 public:
  QString path;
  QString openFile(QWidget*, const QString&, const QString&, const QString&) override { return path; }
  QString saveFile(QWidget*, const QString&, const QString&, const QString&) override { return path; }
  bool askYesNo(QWidget*, const QString&, const QString&, Icon) override { return true; }
  void tell(QWidget*, const QString&, const QString& text, Icon) override {
    std::fprintf(stderr, "%s\n", qPrintable(text));
  }
};

double Seconds(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e9; }

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const long count = argc > 1 ? std::atol(argv[1]) : 100'000;
  QTemporaryDir dir;
  const std::string settings = (dir.path() + "/cfg.ini").toStdString();
  FixedPathDialogs dialogs;
  Machine m;

  frmProcessor1 processor(m.processor, m.runControl, settings, &dialogs);
  frmMem memory(m.memory, settings, &dialogs);
  frmMicroMem micro(m.microMemory, settings, &dialogs);
  frmControllers controllers(m.controllers, settings, &dialogs);
  frmTrace trace(m.trace, settings, &dialogs);
  frmMicroTrace microTrace(m.microTrace, settings, &dialogs);
  for (QWidget* w : std::initializer_list<QWidget*>{&processor, &memory, &micro, &controllers, &trace, &microTrace})
    w->show();
  QApplication::processEvents();

  // A program of increments with a two-word write every fourth command; the
  // command counter wraps from 7FF to 000, so it never stops.
  testing::LoadTinyMicroProgram(m.microMemory);
  for (int a = 0; a < MainMemory::kWords; ++a)
    m.memory.SetRow(a, FitWidth(HexToBin(a % 4 == 3 ? "4700" : "0000"), 16), "");
  m.runControl.SetIntervals(0, 0, 0);
  m.processor.MODE = 2;
  m.Start("000");

  QElapsedTimer clock;
  clock.start();
  const std::int32_t first = m.microTrace.MCCounter();
  long ticks = 0;
  while (m.microTrace.MCCounter() - first < count) {
    m.runControl.Tick();
    if (++ticks % 250 == 0) QApplication::processEvents();
  }
  QApplication::processEvents();
  const double run = Seconds(clock);
  const long done = m.microTrace.MCCounter() - first;
  std::printf("windows alive, test micro-program: %ld micro-commands (%d commands) in %.3f s = %.0f per second\n",
              done, m.trace.CCounter(), run, done / run);

  // The shipped micro-program running the multiplication example over and
  // over: started again from 000 whenever it halts.
  const std::string source = VESK_SOURCE_DIR;
  const FileResult micro_ok = LoadMicroProgram(m.microMemory, source + "/microprograms/vesk.mpdmp");
  const FileResult dump_ok = Mem_LoadDump(m.memory, source + "/examples/multiply.vdmp");
  if (!micro_ok.ok || !dump_ok.ok) {
    std::fprintf(stderr, "cannot load: %s%s\n", micro_ok.error.c_str(), dump_ok.error.c_str());
    return 1;
  }
  m.processor.Reset();
  m.Start("000");
  clock.restart();
  const std::int32_t second = m.microTrace.MCCounter();
  long runs = 1;
  ticks = 0;
  while (m.microTrace.MCCounter() - second < count) {
    m.runControl.Tick();
    if (m.runControl.Idle()) {
      m.processor.Reset();
      m.Start("000");
      ++runs;
    }
    if (++ticks % 250 == 0) QApplication::processEvents();
  }
  QApplication::processEvents();
  const double shipped = Seconds(clock);
  const long shippedDone = m.microTrace.MCCounter() - second;
  std::printf("windows alive, shipped micro-program, multiply.vdmp run %ld times: %ld micro-commands in %.3f s = %.0f per second\n",
              runs, shippedDone, shipped, shippedDone / shipped);

  // A million trace lines.
  clock.restart();
  while (m.microTrace.LineCount() < 1'000'000) {
    m.microTrace.set_PreMCC("0A");
    m.microTrace.AddLine();
  }
  const double fill = Seconds(clock);
  clock.restart();
  microTrace.model()->flush();
  QApplication::processEvents();
  const double insert = Seconds(clock);
  QScrollBar* bar = microTrace.list()->verticalScrollBar();
  clock.restart();
  for (int i = 0; i <= 100; ++i) {
    bar->setValue(static_cast<int>(static_cast<long long>(bar->maximum()) * (i * 37 % 101) / 100));
    microTrace.list()->viewport()->repaint();
  }
  const double scroll = Seconds(clock);
  dialogs.path = dir.path() + "/micro.html";
  clock.restart();
  const bool saved = microTrace.SaveLog();
  const double save = Seconds(clock);
  std::printf("micro trace of %d lines: logged in %.3f s, taken in by the list in %.3f s, "
              "100 jumps with repaint in %.3f s (%.1f ms each), HTML export %s in %.3f s\n",
              microTrace.model()->rowCount(), fill, insert, scroll, scroll * 10, saved ? "written" : "FAILED", save);
  return saved ? 0 : 1;
}
