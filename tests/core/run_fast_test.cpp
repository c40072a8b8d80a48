// The fast run: the same machine, the same traces as a run by ticks, with no
// thresholds, and the stops of a run.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "app/machine.h"
#include "core/run_control.h"
#include "format/bit_string.h"
#include "support/tiny_micro_program.h"

using namespace vesk;

namespace {

using Clock = std::chrono::steady_clock;
const Clock::time_point kNoDeadline = Clock::now() + std::chrono::hours(24);
constexpr std::int64_t kNoLimit = 1'000'000'000;

struct FastMachine {
  Machine m;
  std::vector<std::string> errors;
  FastMachine() {
    m.setErrorHandler([this](const std::string& e) { errors.push_back(e); });
    m.trace.setClock([] { return std::time_t{1765100000}; });
    vesk::testing::LoadTinyMicroProgram(m.microMemory);
  }
  RunControl& rc() { return m.runControl; }
  Processor& cpu() { return m.processor; }
  std::string hex(const Word& w) { return BinToHex(w).str(); }
  void runTicksToIdle() {
    for (long ticks = 0; ticks < 1'000'000 && !rc().Idle(); ++ticks) rc().Tick();
  }
};

// Increments, a two-word write every third command, and HLT after 60.
void LoadMixedProgram(MainMemory& memory) {
  std::vector<const char*> words;
  for (int i = 0; i < 60; ++i) words.push_back(i % 3 == 2 ? "4100" : "0000");
  words.push_back("F000");
  vesk::testing::Poke(memory, 0, words);
}

void ExpectSameTraces(FastMachine& a, FastMachine& b) {
  ASSERT_EQ(a.m.trace.LineCount(), b.m.trace.LineCount());
  ASSERT_EQ(a.m.microTrace.LineCount(), b.m.microTrace.LineCount());
  for (std::int64_t line = 0; line < a.m.trace.LineCount(); ++line)
    for (int c = 0; c < CommandTrace::kColumns; ++c)
      ASSERT_EQ(a.m.trace.Cell(line, c), b.m.trace.Cell(line, c)) << "command line " << line << " column " << c;
  for (std::int64_t line = 0; line < a.m.microTrace.LineCount(); ++line)
    for (int c = 0; c < MicroTrace::kColumns; ++c)
      ASSERT_EQ(a.m.microTrace.Cell(line, c), b.m.microTrace.Cell(line, c)) << "micro line " << line << " column " << c;
}

}  // namespace

TEST(RunFast, GivesTheMachineAndTracesOfARunByTicksInEitherMode) {
  for (int mode : {1, 2}) {
    FastMachine ticked, fast;
    for (FastMachine* f : {&ticked, &fast}) {
      LoadMixedProgram(f->m.memory);
      f->cpu().MODE = mode;
      f->rc().SetIntervals(2, 1, 1);
      f->m.Start("000");
    }
    ticked.runTicksToIdle();
    const RunControl::FastSlice slice = fast.rc().RunFast(kNoLimit, kNoDeadline);
    EXPECT_TRUE(slice.stopped);
    EXPECT_EQ(slice.microCommands, ticked.m.microTrace.MCCounter());
    EXPECT_TRUE(fast.rc().Idle());
    for (Reg r : {Reg::A, Reg::Data, Reg::Command, Reg::CommandCounter, Reg::Address, Reg::Buffer, Reg::State,
                  Reg::MicroCommand, Reg::MicroCounter})
      EXPECT_EQ(fast.cpu().Texts(r).bin, ticked.cpu().Texts(r).bin) << "mode " << mode;
    for (int a = 0; a < MainMemory::kWords; ++a) ASSERT_EQ(fast.m.memory.Value(a), ticked.m.memory.Value(a));
    EXPECT_EQ(fast.m.trace.CCounter(), 61);
    EXPECT_EQ(fast.cpu().RunStateText(), "Состояние : Останов ");
    for (int lamp = 0; lamp < kLampCount; ++lamp) EXPECT_FALSE(fast.cpu().LV_Get(lamp));
    ExpectSameTraces(fast, ticked);
  }
}

TEST(RunFast, ASliceEndsAfterItsCountAndTheNextGoesOn) {
  FastMachine f;
  LoadMixedProgram(f.m.memory);
  f.m.Start("000");
  RunControl::FastSlice slice = f.rc().RunFast(5, kNoDeadline);
  EXPECT_EQ(slice.microCommands, 5);
  EXPECT_FALSE(slice.stopped);
  EXPECT_EQ(f.m.microTrace.MCCounter(), 5);
  EXPECT_EQ(f.cpu().Micro_Reg_Get_CommandCounter(), "06");
  std::int64_t total = 5;
  do {
    slice = f.rc().RunFast(7, kNoDeadline);
    total += slice.microCommands;
    EXPECT_LE(slice.microCommands, 7);
  } while (!slice.stopped);
  EXPECT_EQ(total, f.m.microTrace.MCCounter());
  EXPECT_EQ(f.m.trace.CCounter(), 61);
}

TEST(RunFast, APassedDeadlineEndsAnEndlessRunWithinAFewHundredMicroCommands) {
  FastMachine f;
  vesk::testing::Poke(f.m.memory, 0, {"0000", "0000", "0000"});  // СК wraps from 7FF to 000
  f.m.Start("000");
  const RunControl::FastSlice slice = f.rc().RunFast(kNoLimit, Clock::now());
  EXPECT_FALSE(slice.stopped);
  EXPECT_GT(slice.microCommands, 0);
  EXPECT_LE(slice.microCommands, 1024);
  EXPECT_TRUE(f.cpu().GetRunning());
}

TEST(RunFast, StopFinishesTheCommandAndRestsAtTheBoundary) {
  FastMachine f;
  vesk::testing::Poke(f.m.memory, 0, {"0000", "0000", "0000", "0000"});
  f.m.Start("000");
  f.rc().RunFast(12 + 4, kNoDeadline);  // into the second command
  f.rc().P_STOP();
  const RunControl::FastSlice slice = f.rc().RunFast(kNoLimit, kNoDeadline);
  EXPECT_TRUE(slice.stopped);
  EXPECT_EQ(slice.microCommands, 8);
  EXPECT_EQ(f.hex(f.cpu().Reg_Get_A()), "0002");
  EXPECT_EQ(f.m.trace.CCounter(), 2);
  EXPECT_EQ(f.cpu().Micro_Reg_Get_CommandCounter(), "01");
  // Continuing logs a start line and goes on from there.
  f.rc().P_RUN();
  f.rc().RunFast(1, kNoDeadline);
  f.rc().P_STOP();
  f.rc().RunFast(kNoLimit, kNoDeadline);
  EXPECT_EQ(f.hex(f.cpu().Reg_Get_A()), "0003");
  EXPECT_EQ(f.m.trace.LineCount(), 5);
  EXPECT_EQ(f.m.trace.Cell(3, 0), "");
}

TEST(RunFast, AMicroCommandInItsPeriodsCompletesFirst) {
  FastMachine f;
  vesk::testing::Poke(f.m.memory, 0, {"0000", "F000"});
  f.cpu().MODE = 1;
  f.rc().SetIntervals(1, 5, 5);
  f.m.Start("000");
  f.rc().Tick();
  f.rc().Tick();  // 0300 fetched, lamps on, waiting in period 2
  ASSERT_TRUE(f.rc().TimerEnabled(2));
  ASSERT_TRUE(f.cpu().LV_Get(3));
  ASSERT_EQ(f.m.microTrace.MCCounter(), 0);
  f.rc().Tick();
  ASSERT_EQ(f.rc().TickCounter(), 1);
  const RunControl::FastSlice slice = f.rc().RunFast(1, kNoDeadline);
  EXPECT_EQ(slice.microCommands, 1);
  EXPECT_EQ(f.m.microTrace.MCCounter(), 1);
  EXPECT_EQ(f.m.microTrace.Cell(0, 0), "01");
  EXPECT_TRUE(f.rc().TimerEnabled(1));
  EXPECT_FALSE(f.cpu().LV_Get(3));
  EXPECT_EQ(f.rc().TickCounter(), 0);
  f.rc().RunFast(kNoLimit, kNoDeadline);
  EXPECT_EQ(f.hex(f.cpu().Reg_Get_A()), "0001");
  EXPECT_EQ(f.m.trace.CCounter(), 2);
  EXPECT_TRUE(f.rc().Idle());
}

TEST(RunFast, StopsAtHltAnErrorAndAReset) {
  {  // HLT: the run request goes off, the machine rests after the command
    FastMachine f;
    vesk::testing::Poke(f.m.memory, 0, {"F000", "0000"});
    f.m.Start("000");
    EXPECT_TRUE(f.rc().RunFast(kNoLimit, kNoDeadline).stopped);
    EXPECT_EQ(f.hex(f.cpu().Reg_Get_A()), "0000");
    EXPECT_EQ(f.hex(f.cpu().Reg_Get_CommandCounter()), "0001");
  }
  {  // a micro-jump to the missing address 00
    FastMachine f;
    f.m.microMemory.SetRow(0x0C, FitWidth(HexToBin("8300"), 16), "-> 00");
    vesk::testing::Poke(f.m.memory, 0, {"0000", "0000"});
    f.m.Start("000");
    const RunControl::FastSlice slice = f.rc().RunFast(kNoLimit, kNoDeadline);
    EXPECT_TRUE(slice.stopped);
    EXPECT_EQ(slice.microCommands, 12);
    ASSERT_EQ(f.errors.size(), 1u);
    EXPECT_EQ(f.errors[0].rfind("Error #9\r\n", 0), 0u);
    EXPECT_FALSE(f.cpu().GetRunning());
  }
  {  // a reset stops the machine at once
    FastMachine f;
    vesk::testing::Poke(f.m.memory, 0, {"0000", "0000"});
    f.m.Start("000");
    f.rc().RunFast(3, kNoDeadline);
    f.cpu().Reset();
    const RunControl::FastSlice slice = f.rc().RunFast(kNoLimit, kNoDeadline);
    EXPECT_TRUE(slice.stopped);
    EXPECT_EQ(slice.microCommands, 0);
    EXPECT_EQ(f.m.microTrace.MCCounter(), 3);
  }
}

TEST(RunFast, RunsInTheShortOrderWhateverTheMode) {
  FastMachine f;
  vesk::testing::Poke(f.m.memory, 0, {"0000", "F000"});
  f.cpu().MODE = 5;  // a Mode from cfg.ini that the ticks ignore
  f.m.Start("000");
  for (int i = 0; i < 100; ++i) f.rc().Tick();
  EXPECT_EQ(f.m.microTrace.MCCounter(), 0);
  EXPECT_TRUE(f.rc().RunFast(kNoLimit, kNoDeadline).stopped);
  EXPECT_EQ(f.m.trace.CCounter(), 2);
  EXPECT_EQ(f.hex(f.cpu().Reg_Get_A()), "0001");
}
