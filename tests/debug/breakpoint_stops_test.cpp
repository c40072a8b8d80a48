// Runs of the shipped micro-program that breakpoints and watchpoints stop:
// where they stop, what the machine shows there, and that going on from
// there ends exactly where a run that never stopped ends.
#include <gtest/gtest.h>

#include <chrono>
#include <initializer_list>
#include <string>

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

struct Bench {
  Rig rig;
  Machine& m = rig.m;
  explicit Bench(std::initializer_list<std::uint16_t> program, int mode = 2) {
    m.trace.setClock([] { return std::time_t{1765100000}; });
    m.processor.MODE = mode;
    if (mode == 1) m.runControl.SetIntervals(1, 2, 1);
    rig.Load(0x10, program);
  }
  // Ticks until the machine rests (stopped, no period pending).
  void runToRest(long limit = 200000) {
    for (long i = 0; i < limit; ++i) {
      m.runControl.Tick();
      if (m.runControl.Idle()) return;
    }
    FAIL() << "the machine did not stop";
  }
  void start() { rig.Start(0x10); }
  std::string microCounter() const { return m.processor.Micro_Reg_Get_CommandCounter().str(); }
};

}  // namespace

TEST(BreakpointStops, CommandBreakpointStopsAsStopWouldAtThatBoundary) {
  const Program program = {CLA, INC, INC, INC, INC, HLT};
  Bench hit(program);
  hit.m.breakpoints.Set(BreakKind::Command, 0x13);
  hit.start();
  hit.runToRest();
  EXPECT_EQ(hit.rig.A(), 2);
  EXPECT_EQ(hit.rig.PC(), 0x13);
  EXPECT_EQ(hit.m.breakpoints.LastHit(), "013");
  EXPECT_EQ(hit.m.processor.RunStateText(), kStatusStopped);
  EXPECT_EQ(hit.microCounter(), "01");

  // "Стоп" during the command before: the same boundary, the same lines.
  Bench stop(program);
  stop.start();
  while (stop.rig.PC() != 0x13) stop.m.runControl.Tick();
  stop.m.runControl.P_STOP();
  stop.runToRest();
  EXPECT_EQ(FirstDifference(MachineSnapshot(hit.m), MachineSnapshot(stop.m)), "");

  // F7 runs past it; "Стоп" and F7 go on the same way.
  hit.m.runControl.P_CONTINUE();
  hit.runToRest();
  stop.m.runControl.P_RUN();
  stop.runToRest();
  EXPECT_EQ(hit.rig.A(), 4);
  EXPECT_EQ(FirstDifference(MachineSnapshot(hit.m), MachineSnapshot(stop.m)), "");
}

TEST(BreakpointStops, StartAtABreakpointRunsItAndDisabledOnesWait) {
  Bench b({CLA, INC, INC, INC, INC, HLT});
  b.m.breakpoints.Set(BreakKind::Command, 0x10);
  b.m.breakpoints.Set(BreakKind::Command, 0x12, false);
  b.start();
  b.runToRest();
  EXPECT_EQ(b.rig.A(), 4);  // ran to HLT
  EXPECT_EQ(b.m.breakpoints.LastHit(), "");
  // A loop comes back to its first command: the breakpoint stops it there.
  Bench loop({INC, 0xC010});
  loop.m.breakpoints.Set(BreakKind::Command, 0x10);
  loop.start();
  loop.runToRest();
  EXPECT_EQ(loop.rig.A(), 1);
  EXPECT_EQ(loop.rig.PC(), 0x10);
  loop.m.runControl.P_CONTINUE();
  loop.runToRest();
  EXPECT_EQ(loop.rig.A(), 2);
}

TEST(BreakpointStops, MicroBreakpointStopsInsideCommandsAndGoingOnChangesNothing) {
  for (const int mode : {2, 1}) {
    SCOPED_TRACE(mode);
    const Program program = {CLA, INC, 0x3030, INC, HLT};
    Bench plain(program, mode);
    plain.start();
    plain.runToRest();

    Bench hit(program, mode);
    hit.m.breakpoints.Set(BreakKind::Micro, 0x04);
    hit.start();
    int stops = 0;
    for (hit.runToRest(); hit.microCounter() == "04"; hit.runToRest()) {
      ++stops;
      EXPECT_EQ(hit.m.breakpoints.LastHit(), "МК 04");
      EXPECT_FALSE(hit.m.processor.GetRunning());
      EXPECT_EQ(hit.m.processor.RunStateText(), kStatusStopped);
      hit.m.runControl.P_CONTINUE();
    }
    EXPECT_EQ(stops, 5);  // once in every command
    EXPECT_EQ(FirstDifference(MachineSnapshot(hit.m), MachineSnapshot(plain.m)), "");
  }
}

TEST(BreakpointStops, StepsGoOnFromAMicroBreakpointAndRunThroughOthers) {
  const Program program = {CLA, INC, INC, HLT};
  Bench hit(program);
  hit.m.breakpoints.Set(BreakKind::Micro, 0x04);
  hit.start();
  hit.runToRest();
  ASSERT_EQ(hit.microCounter(), "04");
  hit.m.runControl.P_EXECUTE_NEXT_COMMAND();  // F8 finishes the command
  hit.runToRest();
  EXPECT_EQ(hit.microCounter(), "01");
  EXPECT_EQ(hit.rig.PC(), 0x11);
  hit.m.runControl.P_EXECUTE_NEXT_COMMAND();  // and the next one whole
  hit.runToRest();
  EXPECT_EQ(hit.rig.PC(), 0x12);
  EXPECT_EQ(hit.rig.A(), 1);

  Bench stop(program);  // "Стоп" in the first command, then one step
  stop.start();
  stop.m.runControl.Tick();
  stop.m.runControl.P_STOP();
  stop.runToRest();
  stop.m.runControl.P_EXECUTE_NEXT_COMMAND();
  stop.runToRest();
  EXPECT_EQ(FirstDifference(MachineSnapshot(hit.m), MachineSnapshot(stop.m)), "");

  // In the full period F8 runs the micro-command the breakpoint stopped at.
  Bench full(program, 1);
  full.m.breakpoints.Set(BreakKind::Micro, 0x04);
  full.start();
  full.runToRest();
  ASSERT_EQ(full.microCounter(), "04");
  const auto before = full.m.microTrace.MCCounter();
  full.m.runControl.P_EXECUTE_NEXT_COMMAND();
  full.runToRest();
  EXPECT_EQ(full.m.microTrace.MCCounter(), before + 1);
  EXPECT_EQ(full.microCounter(), "05");
}

TEST(BreakpointStops, MemoryWatchStopsAfterTheWritingCommandOrMicroCommand) {
  const Program program = {CLA, INC, 0x3030, INC, INC, HLT};  // MOV 030 third
  Bench shortRun(program);
  shortRun.m.breakpoints.Set(BreakKind::MemoryWrite, 0x030);
  shortRun.m.breakpoints.Set(BreakKind::MemoryWrite, 0x031);  // never written
  shortRun.start();
  shortRun.runToRest();
  EXPECT_EQ(shortRun.m.breakpoints.LastHit(), "W 030");
  EXPECT_EQ(shortRun.rig.Peek(0x30), 1);
  EXPECT_EQ(shortRun.rig.PC(), 0x13);
  EXPECT_EQ(shortRun.microCounter(), "01");
  const auto shortLines = shortRun.m.trace.LineCount();
  const auto shortMicro = shortRun.m.microTrace.MCCounter();
  shortRun.m.runControl.P_CONTINUE();
  shortRun.runToRest();
  EXPECT_EQ(shortRun.rig.A(), 3);

  Bench plain(program, 1);
  plain.start();
  plain.runToRest();
  Bench full(program, 1);
  full.m.breakpoints.Set(BreakKind::MemoryWrite, 0x030);
  full.start();
  full.runToRest();
  EXPECT_EQ(full.m.breakpoints.LastHit(), "W 030");
  EXPECT_EQ(full.rig.Peek(0x30), 1);
  // Right after the writing micro-command, before the next one: MOV is not
  // logged yet, and no micro-command after the write has run.
  EXPECT_EQ(full.m.trace.LineCount(), shortLines - 1);
  EXPECT_LE(full.m.microTrace.MCCounter(), shortMicro);
  EXPECT_EQ(GetBit(full.m.processor.Micro_Reg_Get_Horizontal(), 24), 1);  // РД to memory
  full.m.runControl.P_CONTINUE();
  full.runToRest();
  EXPECT_EQ(FirstDifference(MachineSnapshot(full.m), MachineSnapshot(plain.m)), "");
}

TEST(BreakpointStops, ControllerWatchStopsWhenFlagOrDataChanges) {
  Bench b({CLA, INC, 0xE306, 0xE305, INC, HLT});  // OUT 06, OUT 05
  b.m.breakpoints.Set(BreakKind::Controller, 0x05);
  b.start();
  b.runToRest();
  EXPECT_EQ(b.m.breakpoints.LastHit(), "ВУ 05");
  EXPECT_EQ(b.rig.Data(0x05), 1);
  EXPECT_EQ(b.rig.PC(), 0x14);

  // A device that sets the flag between two ticks stops the run too; a new
  // comment does not, nor a write of the value it already has.
  Bench device({INC, 0xC010});
  device.m.breakpoints.Set(BreakKind::Controller, 0x07);
  device.start();
  const int row = Controllers::RowOfAddress(0x07);
  for (int i = 0; i < 50; ++i) device.m.runControl.Tick();
  device.m.controllers.SetComment(row, "клавиатура");
  device.m.controllers.SetFlagOfRow(row, 0);
  for (int i = 0; i < 50; ++i) device.m.runControl.Tick();
  EXPECT_TRUE(device.m.processor.GetRunning());
  device.m.controllers.SetFlagOfRow(row, 1);
  device.runToRest();
  EXPECT_EQ(device.m.breakpoints.LastHit(), "ВУ 07");
  EXPECT_EQ(device.microCounter(), "01");

  // While the machine is stopped a change is the user's: no hit.
  device.m.breakpoints.ClearLastHit();
  device.m.controllers.SetFlagOfRow(row, 0);
  EXPECT_EQ(device.m.breakpoints.LastHit(), "");
}

TEST(BreakpointStops, TheFastRunStopsAtEveryKind) {
  const auto far = std::chrono::steady_clock::now() + std::chrono::hours(1);
  for (const BreakKind kind : {BreakKind::Command, BreakKind::Micro, BreakKind::MemoryWrite}) {
    Bench b({CLA, INC, 0x3030, INC, 0xC011});  // endless loop over INC, MOV, INC
    const int address = kind == BreakKind::Command ? 0x13 : kind == BreakKind::Micro ? 0x04 : 0x030;
    b.m.breakpoints.Set(kind, address);
    b.start();
    if (kind == BreakKind::Micro) {
      // The first fetch of 04 stops it, inside the first command.
      const auto slice = b.m.runControl.RunFast(1000000, far);
      EXPECT_TRUE(slice.stopped);
      EXPECT_EQ(b.microCounter(), "04");
      b.m.runControl.P_CONTINUE();
    }
    const auto slice = b.m.runControl.RunFast(1000000, far);
    EXPECT_TRUE(slice.stopped);
    EXPECT_EQ(b.m.breakpoints.LastHit(), Breakpoints::HitText(kind, address));
    if (kind == BreakKind::Command) EXPECT_EQ(b.rig.PC(), 0x13);
    if (kind == BreakKind::MemoryWrite) EXPECT_EQ(b.rig.PC(), 0x13);
  }
}

TEST(BreakpointStops, ARunWithoutBreakpointsIsUnchangedByThemBeingElsewhere) {
  const Program program = {CLA, INC, 0x3030, INC, INC, HLT};
  Bench plain(program);
  plain.start();
  plain.runToRest();
  Bench armed(program);
  armed.m.breakpoints.Set(BreakKind::Command, 0x700);
  armed.m.breakpoints.Set(BreakKind::Micro, 0xF0);
  armed.m.breakpoints.Set(BreakKind::MemoryWrite, 0x031);
  armed.m.breakpoints.Set(BreakKind::Controller, 0x09);
  armed.start();
  armed.runToRest();
  EXPECT_EQ(FirstDifference(MachineSnapshot(armed.m), MachineSnapshot(plain.m)), "");
  EXPECT_EQ(armed.m.breakpoints.LastHit(), "");
}
