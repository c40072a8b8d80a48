// The fast run of the main window, headless: its commands, a run to HLT,
// the windows gathering changes on the refresh beat, "Стоп" within one
// slice, and the hand-over between the live and the fast drive.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <functional>

#include "app/machine.h"
#include "app/main_toolstrip.h"
#include "app/mdi_main.h"
#include "app/run_driver.h"
#include "app/turbo_driver.h"
#include "core/frm_processor1.h"
#include "core/register_panel.h"
#include "core/value_field.h"
#include "format/bit_string.h"
#include "io/device_windows.h"
#include "io/frm_dev_monitor.h"
#include "io/monitor_screen_model.h"
#include "memory/frm_mem.h"
#include "memory/memory_table_model.h"
#include "support/temp_dir.h"
#include "support/tiny_micro_program.h"
#include "trace/frm_micro_trace.h"
#include "trace/frm_trace.h"
#include "trace/trace_table_model.h"
#include "util/ini_file.h"
#include "widgets/refresh_beat.h"
#include "widgets/scripted_dialogs.h"

using namespace vesk;

namespace {

struct FastRunFixture : ::testing::Test {
  vesk::testing::TempDir dir;
  Machine machine;
  vesk::testing::ScriptedDialogs dialogs;
  std::unique_ptr<MDIMain> window;

  void SetUp() override {
    window = std::make_unique<MDIMain>(machine, dir.path(), &dialogs, SettingsLocation{dir.file("cfg.ini"), false, ""});
    window->show();
    window->StartUp();
    vesk::testing::LoadTinyMicroProgram(machine.microMemory);
    machine.trace.setClock([] { return std::time_t{1765100000}; });
  }
  TurboDriver& turbo() { return window->turboDriver(); }
  // Runs the event loop until `done` holds (or a generous limit passes).
  bool waitFor(const std::function<bool()>& done, int limitMs = 30000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < limitMs) QTest::qWait(2);
    return done();
  }
  // A program that never halts: increments, СК wraps from 7FF to 000.
  void loadEndlessProgram() {
    for (int a = 0; a < MainMemory::kWords; ++a) machine.memory.SetRow(a, std::string(16, '0'), "");
  }
  QString text(QAction* a) { return a->text(); }
};

}  // namespace

TEST_F(FastRunFixture, CommandsInTheProcessorMenuAndOnTheRunToolbar) {
  QAction* fastStart = window->action("mnuProcessor_FastStart");
  QAction* fastResume = window->action("mnuProcessor_FastContinue");
  ASSERT_NE(fastStart, nullptr);
  ASSERT_NE(fastResume, nullptr);
  EXPECT_EQ(fastStart->text(), "Быстрый пуск");
  EXPECT_EQ(fastStart->shortcut().toString(), "Ctrl+F5");
  EXPECT_EQ(fastResume->text(), "Быстро продолжить");
  EXPECT_EQ(fastResume->shortcut().toString(), "Ctrl+F7");
  // Each beside its live counterpart.
  const QList<QAction*> items = window->findChild<QMenu*>("mnuProcessor_")->actions();
  EXPECT_EQ(items.indexOf(fastStart), items.indexOf(window->action("mnuProcessor_Start")) + 1);
  EXPECT_EQ(items.indexOf(fastResume), items.indexOf(window->action("mnuProcessor_Continue")) + 1);
  // The run toolbar keeps its buttons in place and adds the two after them
  // (then the two of the step back).
  MainToolStrip& s = window->toolStrip();
  const QList<QAction*> bar = s.runBar->actions();
  ASSERT_EQ(bar.size(), 13);
  EXPECT_EQ(bar[10], s.stepBack);
  EXPECT_EQ(bar[11], s.backToBreakpoint);
  EXPECT_TRUE(bar[12]->isSeparator());
  EXPECT_EQ(bar[1], s.start);
  EXPECT_EQ(bar[5], s.resume);
  EXPECT_EQ(bar[7], s.fastStart);
  EXPECT_EQ(bar[8], s.fastResume);
  EXPECT_TRUE(bar[9]->isSeparator());
  EXPECT_EQ(s.fastStart->toolTip(), "Быстрый пуск (Ctrl+F5)");
  EXPECT_EQ(s.fastResume->toolTip(), "Быстро продолжить (Ctrl+F7)");
  EXPECT_FALSE(s.fastStart->icon().isNull());
  EXPECT_NE(s.fastStart->icon().pixmap(22).toImage(), s.start->icon().pixmap(22).toImage());
  EXPECT_NE(s.fastResume->icon().pixmap(22).toImage(), s.fastStart->icon().pixmap(22).toImage());
}

TEST_F(FastRunFixture, FastStartRunsToHaltAndTheWindowsShowTheEnd) {
  // At the default periods a live run of this would take seconds.
  vesk::testing::Poke(machine.memory, 0x10, {"0000", "4020", "0000", "F000"});
  window->toolStrip().startAddress->setText("010");
  QSignalSpy stopped(&turbo(), &TurboDriver::stopped);
  window->action("mnuProcessor_FastStart")->trigger();
  EXPECT_EQ(window->statusText(5), "Состояние : Работа ");
  EXPECT_TRUE(window->refreshBeat().deferred());
  ASSERT_TRUE(waitFor([&] { return !turbo().active(); }));
  EXPECT_EQ(stopped.count(), 1);
  EXPECT_FALSE(window->refreshBeat().deferred());
  EXPECT_FALSE(window->driver().active());
  EXPECT_TRUE(machine.runControl.Idle());
  EXPECT_EQ(BinToHex(machine.processor.Reg_Get_A()), "0002");
  EXPECT_EQ(window->statusText(1), "Выполнено команд : 4 ");
  EXPECT_EQ(window->statusText(2), QString("Выполнено микрокоманд : %1 ").arg(machine.microTrace.MCCounter()));
  EXPECT_EQ(window->statusText(5), "Состояние : Останов ");
  EXPECT_EQ(window->processorWindow()->panel(Reg::A)->hexField()->text(), "0002");
  EXPECT_EQ(window->processorWindow()->panel(Reg::CommandCounter)->hexField()->text(), "0014");
  MemoryTableModel* memory = window->memoryWindow()->model();
  EXPECT_EQ(memory->data(memory->index(0x21, MemoryTableModel::kHex)).toString(), "4020");  // the write command's second word
  EXPECT_EQ(window->traceWindow()->model()->rowCount(), machine.trace.LineCount());
  EXPECT_EQ(window->microTraceWindow()->model()->rowCount(), machine.microTrace.LineCount());
  EXPECT_EQ(machine.trace.Cell(0, 1), StartLineText(1765100000));
}

TEST_F(FastRunFixture, WindowsFollowTheRunOnTheBeatAndStopStopsWithinOneSlice) {
  loadEndlessProgram();
  window->FastStart();
  ASSERT_TRUE(waitFor([&] { return turbo().slices() >= 5 && window->refreshBeat().beats() >= 3; }));
  EXPECT_TRUE(turbo().active());
  EXPECT_TRUE(window->refreshBeat().deferred());
  // The counts and the newest trace lines come through while it runs.
  const QString shown = window->statusText(2);
  ASSERT_TRUE(shown.startsWith("Выполнено микрокоманд : "));
  const long count = shown.mid(24).trimmed().toLong();
  EXPECT_GT(count, 0);
  EXPECT_LE(count, machine.microTrace.MCCounter());
  EXPECT_GT(window->microTraceWindow()->model()->rowCount(), 0);
  EXPECT_LE(window->microTraceWindow()->model()->rowCount(), machine.microTrace.LineCount());

  window->action("mnuProcessor_Stop")->trigger();
  const std::int64_t slicesAtStop = turbo().slices();
  ASSERT_TRUE(waitFor([&] { return !turbo().active(); }));
  EXPECT_EQ(turbo().slices() - slicesAtStop, 1);  // the slice after "Стоп" ends at the boundary
  EXPECT_EQ(machine.processor.Micro_Reg_Get_CommandCounter(), "01");
  EXPECT_EQ(window->statusText(5), "Состояние : Останов ");
  EXPECT_EQ(window->statusText(2), QString("Выполнено микрокоманд : %1 ").arg(machine.microTrace.MCCounter()));
  EXPECT_EQ(window->statusText(1), QString("Выполнено команд : %1 ").arg(machine.trace.CCounter()));
  EXPECT_EQ(window->processorWindow()->panel(Reg::A)->hexField()->text(),
            QString::fromStdString(BinToHex(machine.processor.Reg_Get_A()).str()));
  EXPECT_EQ(window->microTraceWindow()->model()->rowCount(), machine.microTrace.LineCount());
}

TEST_F(FastRunFixture, LiveAndFastDrivesHandOverAndNeverRunTogether) {
  loadEndlessProgram();
  window->Start();  // live, default periods
  EXPECT_TRUE(window->driver().active());
  window->action("mnuProcessor_FastContinue")->trigger();
  EXPECT_FALSE(window->driver().active());
  EXPECT_TRUE(turbo().active());
  ASSERT_TRUE(waitFor([&] { return turbo().slices() >= 2; }));
  // A step while running does nothing, and wakes no live drive.
  window->action("mnuProcessor_ExecuteNextCommand")->trigger();
  EXPECT_FALSE(window->driver().active());
  EXPECT_TRUE(turbo().active());
  const std::int32_t commands = machine.trace.CCounter();
  EXPECT_GT(commands, 0);
  window->action("mnuProcessor_Continue")->trigger();  // back to the live drive
  EXPECT_FALSE(turbo().active());
  EXPECT_FALSE(window->refreshBeat().deferred());
  EXPECT_TRUE(window->driver().active());
  EXPECT_EQ(window->statusText(1), QString("Выполнено команд : %1 ").arg(machine.trace.CCounter()));
  window->Stop();
  ASSERT_TRUE(waitFor([&] { return machine.runControl.Idle(); }));
  EXPECT_GE(machine.trace.CCounter(), commands);
}

TEST_F(FastRunFixture, ResetStopsAFastRunAtOnce) {
  loadEndlessProgram();
  window->FastStart();
  ASSERT_TRUE(waitFor([&] { return turbo().slices() >= 2; }));
  window->Reset();
  ASSERT_TRUE(waitFor([&] { return !turbo().active(); }));
  EXPECT_FALSE(machine.processor.GetRunning());
  EXPECT_EQ(window->processorWindow()->panel(Reg::A)->hexField()->text(), "0000");
}

TEST_F(FastRunFixture, AnErrorEndsTheRunAndIsShownAfterIt) {
  machine.microMemory.SetRow(0x0C, FitWidth(HexToBin("8300"), 16), "-> 00");
  vesk::testing::Poke(machine.memory, 0, {"0000", "0000"});
  window->FastStart();
  ASSERT_TRUE(waitFor([&] { return !turbo().active(); }));
  QTest::qWait(20);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_TRUE(dialogs.shown[0].text.startsWith("Error #9"));
  EXPECT_EQ(machine.microTrace.MCCounter(), 12);
}

TEST_F(FastRunFixture, AMonitorOpenedDuringTheRunGathersToo) {
  loadEndlessProgram();
  window->FastStart();
  window->deviceWindows().showMonitor();
  EXPECT_TRUE(window->deviceWindows().monitor().model()->deferredRefresh().deferred());
  window->Stop();
  ASSERT_TRUE(waitFor([&] { return !turbo().active(); }));
  EXPECT_FALSE(window->deviceWindows().monitor().model()->deferredRefresh().deferred());
}

namespace {

// Small trace limits from cfg.ini, so a fast run passes them at once.
struct CappedFastRunFixture : FastRunFixture {
  void SetUp() override {
    ASSERT_TRUE(WriteIni(dir.file("cfg.ini"), "General", "MaxTraceLines", "1000"));
    ASSERT_TRUE(WriteIni(dir.file("cfg.ini"), "General", "MaxMicroTraceLines", "1500"));
    FastRunFixture::SetUp();
  }
};

}  // namespace

TEST_F(CappedFastRunFixture, AFastRunPastTheLimitsKeepsTheNewestLinesAndSaysSoOnce) {
  EXPECT_EQ(machine.trace.LineLimit(), 1000);
  EXPECT_EQ(machine.microTrace.LineLimit(), 1500);
  EXPECT_EQ(window->statusText(4), "");
  loadEndlessProgram();
  window->FastStart();
  // 12 micro-commands a command: the micro-command trace passes its limit first.
  ASSERT_TRUE(waitFor([&] { return machine.microTrace.LinesDropped() > 0; }));
  EXPECT_TRUE(turbo().active());
  EXPECT_TRUE(window->statusText(4).startsWith("Трасса микрокоманд укорочена: хранятся последние 1500 строк"))
      << window->statusText(4).toStdString();
  ASSERT_TRUE(waitFor([&] { return machine.trace.LinesDropped() > 5000 && window->refreshBeat().beats() >= 2; }));
  const QString both =
      "Трасса микрокоманд укорочена: хранятся последние 1500 строк; "
      "Трасса команд укорочена: хранятся последние 1000 строк";
  EXPECT_EQ(window->statusText(4), both);
  EXPECT_EQ(window->findChild<QLabel*>("statusPanel4")->toolTip(), QString(both).replace("; ", "\n"));
  // The lists show the newest kept lines meanwhile, never more than kept.
  TraceTableModel* commands = window->traceWindow()->model();
  TraceTableModel* micro = window->microTraceWindow()->model();
  EXPECT_GT(commands->rowCount(), 0);
  EXPECT_LE(commands->rowCount(), 1000);
  EXPECT_LE(micro->rowCount(), 1500);

  window->action("mnuProcessor_Stop")->trigger();
  ASSERT_TRUE(waitFor([&] { return !turbo().active(); }));
  EXPECT_EQ(machine.trace.LineCount(), 1000);
  EXPECT_EQ(machine.microTrace.LineCount(), 1500);
  EXPECT_GE(machine.trace.CCounter(), 6000);  // every command counted, kept or not
  EXPECT_EQ(window->statusText(1), QString("Выполнено команд : %1 ").arg(machine.trace.CCounter()));
  ASSERT_EQ(commands->rowCount(), 1000);
  ASSERT_EQ(micro->rowCount(), 1500);
  EXPECT_EQ(commands->firstLine(), 0);
  for (const int row : {0, 999})
    EXPECT_EQ(commands->data(commands->index(row, 0)).toString(), QString::fromStdString(machine.trace.Cell(row, 0)));
  EXPECT_EQ(micro->data(micro->index(0, 12)).toString(), QString::fromStdString(machine.microTrace.Cell(0, 12)));
  EXPECT_EQ(window->statusText(4), both);  // said once, not again for each line that went

  // Cleared and run past the limit again, the note stays as it was.
  window->traceWindow()->ClearLog();
  window->action("mnuProcessor_FastContinue")->trigger();
  ASSERT_TRUE(waitFor([&] { return machine.trace.LinesDropped() > 0; }));
  window->Stop();
  ASSERT_TRUE(waitFor([&] { return !turbo().active(); }));
  EXPECT_EQ(window->statusText(4), both);
}

TEST_F(FastRunFixture, ARefusedTraceLimitIsNotedAtStartUp) {
  vesk::testing::TempDir other;
  ASSERT_TRUE(WriteIni(other.file("cfg.ini"), "General", "MaxMicroTraceLines", "-1"));
  Machine second;
  MDIMain refused(second, other.path(), &dialogs, SettingsLocation{other.file("cfg.ini"), false, ""});
  refused.show();
  refused.StartUp();
  EXPECT_EQ(second.microTrace.LineLimit(), 10'000'000);
  EXPECT_EQ(second.trace.LineLimit(), 1'000'000);
  EXPECT_EQ(refused.statusText(4),
            "В cfg.ini неверное значение MaxMicroTraceLines=-1: трасса микрокоманд хранит до 10000000 строк");
}
