// The step-back history on the shipped micro-program: what comes back, where
// a step back goes after a run, back to a breakpoint, and what clears or
// ends the history.
#include "debug/history.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/machine.h"
#include "format/bit_string.h"
#include "microprogram/rig.h"
#include "support/machine_snapshot.h"

using namespace vesk;
using vesk::testing::FirstDifference;
using vesk::testing::MachineSnapshot;
using vesk::testing::Rig;

namespace {

constexpr std::uint16_t CLA = 0xF200, INC = 0xF800, HLT = 0xF000;
using Program = std::initializer_list<std::uint16_t>;

struct Notes : HistoryListener {
  std::vector<std::string> notes;
  void historyNote(const std::string& text) override { notes.push_back(text); }
};

struct Bench {
  Rig rig;
  Machine& m = rig.m;
  explicit Bench(Program program, int mode = 2) {
    m.trace.setClock([] { return std::time_t{1765100000}; });
    m.processor.MODE = mode;
    if (mode == 1) m.runControl.SetIntervals(1, 2, 1);
    rig.Load(0x10, program);
    m.history.SetEnabled(true);
  }
  void runToRest(long limit = 200000) {
    for (long i = 0; i < limit; ++i) {
      m.runControl.Tick();
      if (m.runControl.Idle()) return;
    }
    FAIL() << "the machine did not stop";
  }
  void start() { rig.Start(0x10); }
  void step() {
    m.runControl.P_EXECUTE_NEXT_COMMAND();
    runToRest();
  }
};

}  // namespace

TEST(History, AStepBackAfterARunStopsAtThePreviousBoundaryAsStopWould) {
  const Program program = {CLA, INC, 0x3030, INC, INC, HLT};
  Bench run(program);
  const std::string stateText = run.m.processor.RunStateText();
  run.start();
  run.runToRest();
  ASSERT_EQ(run.rig.A(), 3);
  const std::string end = MachineSnapshot(run.m);
  EXPECT_TRUE(run.m.history.StepBack(2));  // before HLT
  EXPECT_EQ(run.rig.PC(), 0x15);

  Bench stop(program);
  stop.start();
  while (stop.rig.PC() != 0x15) stop.m.runControl.Tick();
  stop.m.runControl.P_STOP();
  stop.runToRest();
  EXPECT_EQ(FirstDifference(MachineSnapshot(run.m), MachineSnapshot(stop.m)), "");

  // Three more: before MOV, whose write is undone.
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(run.m.history.StepBack(2));
  EXPECT_EQ(run.rig.PC(), 0x12);
  EXPECT_EQ(run.rig.Peek(0x30), 0);
  EXPECT_EQ(run.m.memory.Written(0x30), false);
  // F8 four times gives the end of the run again, line for line.
  for (int i = 0; i < 4; ++i) run.step();
  EXPECT_EQ(FirstDifference(MachineSnapshot(run.m), end), "");
  // Back to the start: the first marker is where "Пуск" began.
  while (run.m.history.StepBack(2)) {
  }
  EXPECT_EQ(run.rig.PC(), 0x10);
  // Where "Пуск" began: nothing logged yet, stopped, as before the start.
  EXPECT_EQ(run.m.trace.LineCount(), 0);
  EXPECT_EQ(run.m.microTrace.LineCount(), 0);
  EXPECT_EQ(run.m.processor.RunStateText(), stateText);
}

TEST(History, FullPeriodStepsBackOneMicroCommandAtATime) {
  Bench b({CLA, INC, HLT}, 1);
  b.start();
  b.runToRest();
  const auto micro = b.m.microTrace.MCCounter();
  ASSERT_TRUE(b.m.history.StepBack(1));
  EXPECT_EQ(b.m.microTrace.MCCounter(), micro - 1);
  EXPECT_EQ(b.m.microTrace.LineCount(), micro - 1);
  EXPECT_TRUE(b.m.runControl.Idle());
  EXPECT_EQ(b.m.processor.RunStateText(), kStatusStopped);
  b.step();
  EXPECT_EQ(b.m.microTrace.MCCounter(), micro);
}

TEST(History, BackToABreakpointGoesWhereARunWouldHaveStopped) {
  const Program program = {CLA, INC, 0x3030, INC, INC, HLT};
  Bench b(program);
  b.start();
  b.runToRest();
  b.m.breakpoints.Set(BreakKind::Command, 0x12);
  ASSERT_TRUE(b.m.history.StepBackToBreakpoint(2));
  EXPECT_EQ(b.rig.PC(), 0x12);
  EXPECT_EQ(b.m.breakpoints.LastHit(), "012");
  Bench forward(program);
  forward.m.breakpoints.Set(BreakKind::Command, 0x12);
  forward.start();
  forward.runToRest();
  EXPECT_EQ(FirstDifference(MachineSnapshot(b.m), MachineSnapshot(forward.m)), "");

  // A watchpoint: back to the boundary right after the write.
  b.m.breakpoints.RemoveAll();
  b.m.runControl.P_CONTINUE();
  b.runToRest();
  b.m.breakpoints.Set(BreakKind::MemoryWrite, 0x030);
  ASSERT_TRUE(b.m.history.StepBackToBreakpoint(2));
  EXPECT_EQ(b.m.breakpoints.LastHit(), "W 030");
  EXPECT_EQ(b.rig.PC(), 0x13);
  EXPECT_EQ(b.rig.Peek(0x30), 1);

  // None before: as far as the history goes, and the panel says so.
  Notes notes;
  b.m.history.listeners().add(&notes);
  b.m.breakpoints.RemoveAll();
  ASSERT_TRUE(b.m.history.StepBackToBreakpoint(2));
  EXPECT_EQ(b.rig.PC(), 0x10);
  EXPECT_EQ(notes.notes, std::vector<std::string>{History::kUsedUpNote});
  EXPECT_FALSE(b.m.history.StepBack(2));
  b.m.history.listeners().remove(&notes);
}

TEST(History, AKeyTheProgramTookGoesBackAndPrintedTextDisappears) {
  // IN 02 (keyboard), OUT 01 (monitor), CLF 02, HLT.
  Bench b({0xE202, 0xE301, 0xE002, HLT});
  const int keyboard = Controllers::RowOfAddress(0x02);
  b.m.controllers.SetDevice(Controllers::RowOfAddress(0x01), kDeviceMonitor);
  b.m.controllers.SetDevice(keyboard, kDeviceKeyboard);
  b.m.keyboard.KeyPressed('A');
  b.m.keyboard.KeyPressed('B');
  ASSERT_EQ(b.m.keyboard.QueueSize(), 1u);  // 'A' went to the controller
  const std::string before = MachineSnapshot(b.m);
  b.start();
  b.runToRest();
  EXPECT_EQ(b.m.monitor.GetChar(1, 1), 'A');
  EXPECT_EQ(b.m.keyboard.QueueSize(), 0u);  // CLF let 'B' in
  while (b.m.history.StepBack(2)) {
  }
  EXPECT_EQ(b.m.keyboard.QueueSize(), 1u);
  EXPECT_EQ(b.m.keyboard.Code(0), 'B');
  EXPECT_EQ(b.m.monitor.GetChar(1, 1), '0');
  EXPECT_EQ(b.m.controllers.Data(keyboard), NumToBits('A', 8));
  EXPECT_EQ(b.m.controllers.Flag(keyboard), 1);
  // Nothing went to a device on the way back.
  b.step();
  b.step();
  EXPECT_EQ(b.m.monitor.GetChar(1, 1), 'A');
  (void)before;
}

TEST(History, EditsClearItOnceAndANetworkSendEndsIt) {
  Bench b({INC, INC, INC, HLT});
  Notes notes;
  b.m.history.listeners().add(&notes);
  b.start();
  b.runToRest();
  EXPECT_FALSE(b.m.history.Empty());
  b.m.memory.Mem_WriteMem("040", std::string(16, '1'));  // the user's edit while stopped
  EXPECT_TRUE(b.m.history.Empty());
  b.m.processor.Reg_Set_A(std::string(16, '0'));
  EXPECT_EQ(notes.notes, std::vector<std::string>{History::kClearedNote});  // said once
  EXPECT_FALSE(b.m.history.StepBack(2));

  // Steps, then a register edit, a load of a micro-program row: each clears.
  b.step();
  EXPECT_TRUE(b.m.history.CanStepBack(2));
  b.m.microMemory.SetComment(0x30, "x");
  b.m.microMemory.notifyRowsChanged();
  EXPECT_TRUE(b.m.history.Empty());

  // Clearing either trace's list is an edit too (the lines a step back
  // would cut are gone).
  for (const bool commandTrace : {true, false}) {
    b.step();
    EXPECT_TRUE(b.m.history.CanStepBack(2));
    if (commandTrace) b.m.trace.ClearLog();
    else b.m.microTrace.ClearLog();
    EXPECT_TRUE(b.m.history.Empty()) << commandTrace;
  }

  // The interrupt button is an input, not an edit.
  b.step();
  b.m.history.Input([&] { b.m.processor.SetInterruptReg(1); });
  EXPECT_FALSE(b.m.history.Empty());

  // OUT to a network adapter: no way back past it.
  Bench net({INC, 0xE303, INC, INC, HLT});
  Notes netNotes;
  net.m.history.listeners().add(&netNotes);
  net.m.controllers.SetDevice(Controllers::RowOfAddress(0x03), kDeviceNetAdapter);
  net.start();
  net.runToRest();
  EXPECT_EQ(netNotes.notes, std::vector<std::string>{History::kNetworkNote});
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(net.m.history.StepBack(2));
  EXPECT_FALSE(net.m.history.StepBack(2));  // the boundary after OUT is as far as it goes
  EXPECT_EQ(net.rig.PC(), 0x12);
  net.m.history.listeners().remove(&netNotes);
  b.m.history.listeners().remove(&notes);
}

TEST(History, TheDepthBoundsItAndTheOldestGoFirst) {
  Bench b({INC, 0xC010});  // forever
  b.m.history.SetDepth(50);
  b.start();
  for (int i = 0; i < 5000; ++i) b.m.runControl.Tick();
  b.m.runControl.P_STOP();
  b.runToRest();
  // 50 kept; the last one, at the boundary the machine stopped at, went.
  EXPECT_EQ(b.m.history.Size(), 49);
  EXPECT_LT(b.m.history.MemoryBytes(), 50u * 400u);
  int back = 0;
  while (b.m.history.StepBack(1)) ++back;
  EXPECT_EQ(back, 49);
  // Off: nothing is kept.
  b.m.history.SetEnabled(false);
  b.start();
  for (int i = 0; i < 100; ++i) b.m.runControl.Tick();
  EXPECT_EQ(b.m.history.Size(), 0);
}

TEST(History, StepsBackThroughTracesThatHaveShortenedKeepTheirNewestLines) {
  // Traces that keep 3 command lines and 10 micro-command lines, against the
  // same steps with every line kept: the lines left after each step back
  // are the newest lines of the full traces, and stepping back past what
  // is kept empties the list, which then grows again from there.
  const Program program = {CLA, INC, INC, INC, INC, INC, INC, INC, INC, INC, INC, HLT};
  Bench shortened(program);
  Bench full(program);
  shortened.m.trace.setLineLimit(3);
  shortened.m.microTrace.setLineLimit(10);
  for (Bench* b : {&shortened, &full}) {
    b->start();
    b->runToRest();
  }
  auto expectNewest = [&](const char* when) {
    const CommandTrace& t = shortened.m.trace;
    ASSERT_EQ(t.LinesTotal(), full.m.trace.LinesTotal()) << when;
    for (std::int64_t i = 0; i < t.LineCount(); ++i)
      for (int c = 0; c < 4; ++c)
        EXPECT_EQ(t.Cell(i, c), full.m.trace.Cell(t.LinesDropped() + i, c)) << when << " line " << i;
    const MicroTrace& mt = shortened.m.microTrace;
    ASSERT_EQ(mt.LinesTotal(), full.m.microTrace.LinesTotal()) << when;
    for (std::int64_t i = 0; i < mt.LineCount(); ++i)
      EXPECT_EQ(mt.Cell(i, 0), full.m.microTrace.Cell(mt.LinesDropped() + i, 0)) << when << " micro line " << i;
  };
  ASSERT_GT(shortened.m.trace.LinesDropped(), 0);
  expectNewest("after the run");
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(shortened.m.history.StepBack(2));
    ASSERT_TRUE(full.m.history.StepBack(2));
  }
  expectNewest("two commands back");
  // Further back than the 3 lines kept: each step back empties the list
  // below its oldest line, and the line of the place stopped at comes back.
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(shortened.m.history.StepBack(2));
    ASSERT_TRUE(full.m.history.StepBack(2));
    expectNewest("further back");
  }
  EXPECT_GT(full.m.trace.LineCount(), shortened.m.trace.LineCount());
  expectNewest("past the kept lines");
  for (int i = 0; i < 3; ++i)
    for (Bench* b : {&shortened, &full}) b->step();
  EXPECT_GT(shortened.m.trace.LineCount(), 0);
  expectNewest("three steps on");
}

TEST(History, OddRegisterTextsComeBackAsTheyWereFromSparseCheckpoints) {
  // РС and КР hold texts that are no clean bit string (a user's direct
  // write); the flags the program sets keep РС odd, so the registers kept
  // per marker and per boundary hold odd values thousands of times over. A
  // history that replays from sparse checkpoints must step back exactly as
  // one that keeps every marker whole, what each step shows as changed
  // included.
  std::vector<std::string> seen[2];
  for (const int spacing : {History::kCheckpointSpacing, 1}) {
    Bench b({INC, 0xC010});  // forever
    b.m.history.SetCheckpointSpacing(spacing);
    b.start();
    b.m.runControl.P_STOP();
    b.runToRest();
    b.m.processor.Reg_Set_State("x000000000000000");
    b.m.processor.Reg_Set_Key("12");
    EXPECT_TRUE(b.m.history.Empty());  // an edit
    b.m.runControl.P_CONTINUE();
    for (int i = 0; i < 6000; ++i) b.m.runControl.Tick();
    b.m.runControl.P_STOP();
    b.runToRest();
    ASSERT_EQ(b.m.processor.Reg_Get_State().view().substr(0, 1), "x");
    std::vector<std::string>& steps = seen[spacing == 1 ? 1 : 0];
    for (int k = 0; k < 60; ++k) {
      const int mode = k % 3 == 0 ? 1 : 2;
      ASSERT_TRUE(b.m.history.StepBack(mode)) << spacing << " " << k;
      std::string s = MachineSnapshot(b.m) + "\nchanged:";
      for (const Reg r : b.m.history.LastStepChanges(mode).registers) s += " r" + std::to_string(static_cast<int>(r));
      steps.push_back(std::move(s));
    }
  }
  ASSERT_EQ(seen[0].size(), seen[1].size());
  for (std::size_t k = 0; k < seen[0].size(); ++k)
    ASSERT_EQ(FirstDifference(seen[0][k], seen[1][k]), "") << "step back " << k;
  // The steps compared include ones whose РС (odd) changed.
  EXPECT_TRUE(std::any_of(seen[0].begin(), seen[0].end(),
                          [](const std::string& s) { return s.find(" r7") != std::string::npos; }));
}
