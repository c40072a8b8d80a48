#include "core/run_control.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/machine.h"
#include "format/bit_string.h"
#include "support/tiny_micro_program.h"

using namespace vesk;

namespace {

struct RunFixture : ::testing::Test {
  Machine m;
  std::vector<std::string> errors;
  void SetUp() override {
    m.setErrorHandler([this](const std::string& e) { errors.push_back(e); });
    m.trace.setClock([] { return std::time_t{1765100000}; });
    vesk::testing::LoadTinyMicroProgram(m.microMemory);
    m.runControl.SetIntervals(0, 0, 0);
  }
  Processor& cpu() { return m.processor; }
  RunControl& rc() { return m.runControl; }
  std::string hex(const Word& w) { return BinToHex(w).str(); }
  // Ticks until the machine rests; returns the ticks used.
  long runToIdle(long limit = 100000) {
    long ticks = 0;
    do {
      rc().Tick();
      ++ticks;
    } while (!rc().Idle() && ticks < limit);
    return ticks;
  }
};

}  // namespace

TEST_F(RunFixture, ShortPeriodRunsAProgramToHalt) {
  vesk::testing::Poke(m.memory, 0, {"0000", "0000", "0000", "F000"});
  m.Start("000");
  EXPECT_EQ(cpu().RunStateText(), "Состояние : Работа ");
  const long ticks = runToIdle();
  EXPECT_EQ(hex(cpu().Reg_Get_A()), "0003");
  EXPECT_EQ(m.trace.CCounter(), 4);
  EXPECT_EQ(m.microTrace.MCCounter(), 3 * 12 + 10);
  // One micro-command per tick with threshold 0, plus the boundary tick that stops.
  EXPECT_EQ(ticks, 3 * 12 + 10 + 1);
  EXPECT_EQ(cpu().Micro_Reg_Get_CommandCounter(), "01");
  EXPECT_FALSE(cpu().GetRunning());
  EXPECT_EQ(cpu().RunStateText(), "Состояние : Останов ");
  ASSERT_EQ(m.trace.LineCount(), 5);
  EXPECT_EQ(m.trace.Cell(0, 0), "");
  EXPECT_EQ(m.trace.Cell(0, 1), StartLineText(1765100000));
  for (int line = 1; line <= 3; ++line) {
    EXPECT_EQ(m.trace.Cell(line, 0), FitWidth(NumToHex(static_cast<std::uint32_t>(line - 1)), 4));
    EXPECT_EQ(m.trace.Cell(line, 1), "0000 | 0000.0000.0000.0000 | ISZ 000");
    EXPECT_EQ(m.trace.Cell(line, 6), FitWidth(NumToHex(static_cast<std::uint32_t>(line)), 4));
  }
  EXPECT_EQ(m.trace.Cell(4, 0), "0003");
  EXPECT_EQ(m.trace.Cell(4, 1), "F000 | 1111.0000.0000.0000 | HLT");
  EXPECT_EQ(m.trace.Cell(4, 2), "0004");  // СК after the command
}

TEST_F(RunFixture, ThresholdsCountTicksPerMicroCommand) {
  vesk::testing::Poke(m.memory, 0, {"F000"});
  rc().SetIntervals(20, 100, 100);
  m.Start("000");
  long ticks = 0;
  while (m.microTrace.MCCounter() == 0) {
    rc().Tick();
    ++ticks;
  }
  EXPECT_EQ(ticks, 21);
  while (m.microTrace.MCCounter() == 1) {
    rc().Tick();
    ++ticks;
  }
  EXPECT_EQ(ticks, 42);

  // Full period: (t1 + 1) + (t2 + 1) + (t3 + 1) ticks per micro-command.
  Machine full;
  vesk::testing::LoadTinyMicroProgram(full.microMemory);
  vesk::testing::Poke(full.memory, 0, {"F000"});
  full.processor.MODE = 1;
  full.runControl.SetIntervals(2, 3, 4);
  full.Start("000");
  ticks = 0;
  while (full.microTrace.MCCounter() == 0) {
    full.runControl.Tick();
    ++ticks;
  }
  EXPECT_EQ(ticks, 3 + 4);  // executed at the end of period 2
  while (!full.runControl.TimerEnabled(1)) {
    full.runControl.Tick();
    ++ticks;
  }
  EXPECT_EQ(ticks, 3 + 4 + 5);
}

TEST_F(RunFixture, FullPeriodLightsTheLampsThroughPeriodsTwoAndThree) {
  vesk::testing::Poke(m.memory, 0, {"F000"});
  cpu().MODE = 1;
  rc().SetIntervals(1, 1, 1);
  m.Start("000");
  rc().Tick();
  rc().Tick();  // period 1 passes: 0300 fetched, СК → БР lamps on, not yet executed
  EXPECT_TRUE(rc().TimerEnabled(2));
  EXPECT_TRUE(cpu().LV_Get(3));
  EXPECT_EQ(m.microTrace.MCCounter(), 0);
  rc().Tick();
  rc().Tick();  // period 2 ends: executed and traced
  EXPECT_EQ(m.microTrace.MCCounter(), 1);
  EXPECT_TRUE(rc().TimerEnabled(3));
  EXPECT_TRUE(cpu().LV_Get(3));
  rc().Tick();
  rc().Tick();  // period 3 ends: lamps off
  EXPECT_TRUE(rc().TimerEnabled(1));
  EXPECT_FALSE(cpu().LV_Get(3));
  runToIdle();
  EXPECT_EQ(m.trace.CCounter(), 1);
}

TEST_F(RunFixture, StopInTheMiddleOfACommandFinishesIt) {
  vesk::testing::Poke(m.memory, 0, {"0000", "0000", "0000", "F000"});
  m.Start("000");
  for (int i = 0; i < 1 + 12 + 4; ++i) rc().Tick();  // into the second command
  rc().P_STOP();
  EXPECT_TRUE(cpu().GetRunning());
  runToIdle();
  EXPECT_EQ(hex(cpu().Reg_Get_A()), "0002");  // the second command completed
  EXPECT_EQ(m.trace.CCounter(), 2);
  EXPECT_EQ(m.trace.LineCount(), 3);
  EXPECT_EQ(cpu().Micro_Reg_Get_CommandCounter(), "01");
  // Continue: a start line, then the count goes on.
  rc().P_RUN();
  runToIdle();
  EXPECT_EQ(m.trace.CCounter(), 4);
  ASSERT_EQ(m.trace.LineCount(), 6);
  EXPECT_EQ(m.trace.Cell(3, 0), "");
  EXPECT_EQ(m.trace.Cell(3, 1), StartLineText(1765100000));
  EXPECT_EQ(m.trace.Cell(4, 0), "0002");
}

TEST_F(RunFixture, StepInShortPeriodRunsExactlyOneCommand) {
  vesk::testing::Poke(m.memory, 0, {"0000", "0000", "F000"});
  rc().SetIntervals(3, 0, 0);
  m.Start("000");
  for (int i = 0; i < 4; ++i) rc().Tick();  // start line, then the first micro-command
  rc().P_STOP();
  runToIdle();  // the first command completes, then the machine rests
  const std::int64_t lines = m.trace.LineCount();
  const std::int32_t count = m.trace.CCounter();
  EXPECT_EQ(hex(cpu().Reg_Get_A()), "0001");
  rc().P_EXECUTE_NEXT_COMMAND();
  EXPECT_TRUE(cpu().GetRunning());
  EXPECT_FALSE(cpu().bIsRunning_Act);
  rc().P_EXECUTE_NEXT_COMMAND();  // while running: nothing
  runToIdle();
  EXPECT_EQ(hex(cpu().Reg_Get_A()), "0002");
  EXPECT_EQ(m.trace.LineCount(), lines + 1);  // no repeated line for the resting boundary
  EXPECT_EQ(m.trace.CCounter(), count + 1);
  EXPECT_EQ(m.trace.Cell(lines, 0), "0001");
  rc().P_EXECUTE_NEXT_COMMAND();
  runToIdle();
  EXPECT_EQ(m.trace.Cell(lines + 1, 1), "F000 | 1111.0000.0000.0000 | HLT");
  EXPECT_EQ(m.trace.LineCount(), lines + 2);
}

TEST_F(RunFixture, StepInFullPeriodRunsOneMicroCommandThroughItsPeriods) {
  vesk::testing::Poke(m.memory, 0, {"0000", "F000"});
  cpu().MODE = 1;
  rc().SetIntervals(1, 1, 1);
  int steps = 0;
  // 12 micro-commands of the increment, then the HLT command's 10.
  while (m.microTrace.MCCounter() < 22 && steps < 100) {
    rc().P_EXECUTE_NEXT_COMMAND();
    ++steps;
    const std::int32_t before = m.microTrace.MCCounter();
    runToIdle();
    EXPECT_EQ(m.microTrace.MCCounter(), before + 1);
    EXPECT_TRUE(rc().TimerEnabled(1));
  }
  EXPECT_EQ(steps, 22);
  EXPECT_EQ(hex(cpu().Reg_Get_A()), "0001");
  // The increment got its line when the step crossed the boundary.
  EXPECT_EQ(m.trace.CCounter(), 1);
  EXPECT_EQ(m.trace.Cell(m.trace.LineCount() - 1, 1), "0000 | 0000.0000.0000.0000 | ISZ 000");
}

TEST_F(RunFixture, ResetDuringPeriodTwoStillExecutesThePendingMicroCommand) {
  vesk::testing::Poke(m.memory, 0, {"F000"});
  cpu().MODE = 1;
  rc().SetIntervals(1, 3, 1);
  m.Start("000");
  rc().Tick();
  rc().Tick();  // 0300 fetched
  ASSERT_TRUE(rc().TimerEnabled(2));
  cpu().Reg_Set_CommandCounter(FitWidth(HexToBin("0123"), 16));
  cpu().Reset();
  EXPECT_FALSE(cpu().GetRunning());
  for (int i = 0; i < 4; ++i) rc().Tick();
  EXPECT_EQ(m.microTrace.MCCounter(), 1);  // СК → БР still happened
  EXPECT_EQ(hex(cpu().Reg_Get_Buffer()), "00000");
  for (int i = 0; i < 2; ++i) rc().Tick();
  EXPECT_TRUE(rc().TimerEnabled(1));
  for (int i = 0; i < 50; ++i) rc().Tick();
  EXPECT_EQ(m.microTrace.MCCounter(), 1);  // timer 1 stays idle
  EXPECT_TRUE(rc().Idle());
}

TEST_F(RunFixture, ModeSwitchLetsTheCycleFinish) {
  vesk::testing::Poke(m.memory, 0, {"0000", "F000"});
  cpu().MODE = 1;
  rc().SetIntervals(0, 2, 2);
  m.Start("000");
  rc().Tick();  // fetch
  cpu().MODE = 2;
  for (int i = 0; i < 3; ++i) rc().Tick();
  EXPECT_EQ(m.microTrace.MCCounter(), 1);
  EXPECT_TRUE(rc().TimerEnabled(3));
  for (int i = 0; i < 3; ++i) rc().Tick();
  EXPECT_TRUE(rc().TimerEnabled(1));
  rc().Tick();  // now short period: fetch and execute in one tick
  EXPECT_EQ(m.microTrace.MCCounter(), 2);
  EXPECT_TRUE(rc().TimerEnabled(1));
}

TEST_F(RunFixture, StartTakesTheStartAddressAndKeepsСчМК) {
  vesk::testing::Poke(m.memory, 0x10, {"F000"});
  cpu().Micro_Reg_Set_CommandCounter("01");
  m.trace.set_CCounter(7);
  m.Start("010");
  EXPECT_EQ(m.trace.CCounter(), 0);
  EXPECT_EQ(hex(cpu().Reg_Get_CommandCounter()), "0010");
  EXPECT_EQ(cpu().Micro_Reg_Get_CommandCounter(), "01");
  runToIdle();
  EXPECT_EQ(m.trace.Cell(1, 0), "0010");
}

TEST_F(RunFixture, TwoWritesInOneCommandReportTheSecond) {
  vesk::testing::Poke(m.memory, 0, {"4100", "0000", "F000"});
  m.Start("000");
  runToIdle();
  EXPECT_EQ(m.memory.HexText(0x100), "4100");
  EXPECT_EQ(m.memory.HexText(0x101), "4100");
  EXPECT_EQ(m.trace.Cell(1, 8), "(W) 0101");
  EXPECT_EQ(m.trace.Cell(1, 9), "4100");
  // The next command wrote nothing: its effect cells are empty.
  EXPECT_EQ(m.trace.Cell(2, 8), "");
  EXPECT_EQ(m.trace.Cell(2, 9), "");
}

TEST_F(RunFixture, MicroTraceLinesFollowTheControlFlow) {
  vesk::testing::Poke(m.memory, 0, {"F000"});
  m.Start("000");
  runToIdle();
  ASSERT_EQ(m.microTrace.LineCount(), 10);
  const std::vector<std::string> addresses = {"01", "02", "03", "04", "05", "06", "07", "08", "10", "11"};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(m.microTrace.Cell(i, 0), addresses[static_cast<std::size_t>(i)]);
  EXPECT_EQ(m.microTrace.Cell(7, 11), "10");  // СчМК after the taken jump
  EXPECT_EQ(m.microTrace.Cell(7, 12), "РК.15 = 1?->10");
  EXPECT_EQ(m.microTrace.Cell(8, 1), "4008");
  EXPECT_EQ(m.microTrace.Cell(0, 8), "00000");  // БР after СК → БР with СК = 0
  // Clearing keeps the count.
  m.microTrace.ClearLog();
  EXPECT_EQ(m.microTrace.LineCount(), 0);
  EXPECT_EQ(m.microTrace.MCCounter(), 10);
}

TEST_F(RunFixture, FetchFromAddressZeroStopsWithAnError) {
  m.Start("000");
  cpu().Micro_Reg_Set_CommandCounter("00");
  rc().Tick();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].rfind("Error #9\r\n", 0), 0u);
  EXPECT_FALSE(cpu().GetRunning());
  EXPECT_TRUE(rc().Idle());
}

TEST_F(RunFixture, PeriodIndicatorGeometry) {
  rc().SetIntervals(20, 100, 100);
  const PeriodIndicator& ind = rc().Indicator();
  EXPECT_NEAR(ind.barHeight[0], 20.0 / 220 * 253, 1e-9);
  EXPECT_NEAR(ind.barHeight[2], 100.0 / 220 * 253, 1e-9);
  EXPECT_DOUBLE_EQ(ind.barTop[2], 0.0);
  EXPECT_NEAR(ind.barTop[1], ind.barHeight[2] - 1, 1e-9);
  EXPECT_NEAR(ind.barTop[0], ind.barTop[1] + ind.barHeight[1] - 1, 1e-9);
  vesk::testing::Poke(m.memory, 0, {"F000"});
  m.Start("000");
  for (int i = 0; i < 5; ++i) rc().Tick();
  EXPECT_EQ(ind.activeBar, 1);
  EXPECT_NEAR(ind.lineY, ind.barTop[0] + ind.barHeight[0] - 5.0 / 220 * 253, 1e-9);
  struct Rec : RunControlListener {
    int moved = 0;
    std::vector<int> periods;
    void indicatorMoved() override { ++moved; }
    void intervalsChanged(int a, int b, int c) override { periods = {a, b, c}; }
  } rec;
  rc().listeners().add(&rec);
  rc().Tick();
  EXPECT_EQ(rec.moved, 1);
  rc().SetIntervals(-5, 0, 7);
  EXPECT_EQ(rec.periods, (std::vector<int>{0, 0, 7}));
  rc().SetIntervals(0, 0, 0);  // cannot size the bars; nothing divides by zero
  EXPECT_DOUBLE_EQ(ind.barHeight[0], 0.0);
}
