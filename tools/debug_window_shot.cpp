// Saves pictures of the debugger at work: the breakpoints window with one of
// each kind, a step whose changes are highlighted, and a micro-command
// breakpoint hit in the full period. Usage: debug_window_shot OUTPUT_DIR
// (run with QT_QPA_PLATFORM=offscreen or under a virtual X display; the
// shipped micro-program and cfg.ini must be beside this program).
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMdiSubWindow>
#include <QTest>
#include <cstdio>

#include "app/machine.h"
#include "app/main_toolstrip.h"
#include "app/mdi_main.h"
#include "app/runner.h"
#include "debug/frm_breakpoints.h"
#include "memory/dump_file.h"
#include "memory/frm_mem.h"
#include "memory/frm_micro_mem.h"
#include "memory/memory_table_model.h"
#include "memory/micro_memory_table_model.h"

using namespace vesk;

namespace {

void Save(QWidget& w, const QString& dir, const char* name) {
  QApplication::processEvents();
  const QString path = QDir(dir).filePath(QString::fromLatin1(name) + ".png");
  if (!w.grab().save(path)) std::fprintf(stderr, "cannot save %s\n", qPrintable(path));
  else std::printf("%s\n", qPrintable(path));
}

void WaitIdle(Machine& m) {
  QElapsedTimer t;
  t.start();
  do QTest::qWait(10);
  while (!m.runControl.Idle() && t.elapsed() < 20000);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
  QDir().mkpath(dir);
  Machine machine;
  MDIMain window(machine, ProgramDirectory());
  window.resize(1366, 740);
  window.show();
  window.StartUp();
  QApplication::processEvents();
  Mem_LoadDump(machine.memory, std::string(VESK_SOURCE_DIR) + "/examples/multiply.vdmp");
  machine.runControl.SetIntervals(0, 1, 1);

  machine.breakpoints.Set(BreakKind::Command, 0x012);
  machine.breakpoints.Set(BreakKind::Command, 0x01A, false);
  machine.breakpoints.Set(BreakKind::Micro, 0x3A);
  machine.breakpoints.Set(BreakKind::MemoryWrite, 0x031);
  machine.breakpoints.Set(BreakKind::Controller, 0x05);
  window.ShowBreakpoints();
  Save(window, dir, "debug_breakpoints_window");
  Save(*window.breakpointsWindow(), dir, "debug_breakpoints_alone");

  // Run to the breakpoint at 012 in the short period, then one step.
  machine.breakpoints.SetEnabled(BreakKind::Micro, 0x3A, false);
  window.Start();
  WaitIdle(machine);
  window.Step();
  WaitIdle(machine);
  window.memoryWindow()->list()->scrollTo(window.memoryWindow()->model()->index(0x12, 0),
                                          QAbstractItemView::PositionAtCenter);
  window.BringUp(window.memoryWindow());
  Save(window, dir, "debug_highlighted_step");
  Save(*window.memoryWindow(), dir, "debug_highlighted_memory");

  // The full period: on to the micro-command breakpoint at 3A (ADD's sum) (the memory
  // watchpoint off, or the write to 031 would stop the run first).
  machine.breakpoints.SetEnabled(BreakKind::Micro, 0x3A, true);
  machine.breakpoints.SetEnabled(BreakKind::MemoryWrite, 0x031, false);
  window.SetMode(1);
  machine.runControl.SetIntervals(1, 5, 5);
  window.Continue();
  WaitIdle(machine);
  window.microMemoryWindow()->list()->scrollTo(window.microMemoryWindow()->model()->index(0x3A - 1, 0),
                                               QAbstractItemView::PositionAtCenter);
  window.BringUp(window.microMemoryWindow());
  Save(window, dir, "debug_micro_breakpoint_full_period");
  Save(*window.microMemoryWindow(), dir, "debug_micro_breakpoint_list");
  std::printf("panel 3: %s\n", qPrintable(window.statusText(3)));

  window.StepBack();
  Save(window, dir, "debug_after_step_back");
  std::printf("after a step back: СчМК %s\n", machine.processor.Micro_Reg_Get_CommandCounter().c_str());
  return 0;
}
