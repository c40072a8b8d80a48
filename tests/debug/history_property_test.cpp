// The step-back property: for random micro-programs, dumps, I/O presets and
// interrupts, N steps and then K steps back leave the whole machine exactly
// as N - K steps from the start do, and K steps forward again exactly as the
// first N did. VESK_HISTORY_CASES sets how many cases (longer mode).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/machine.h"
#include "format/bit_string.h"
#include "golden/case_programs.h"
#include "support/machine_snapshot.h"

using namespace vesk;
using vesk::golden::CaseRandom;
using vesk::testing::FirstDifference;
using vesk::testing::MachineSnapshot;

namespace {

struct Case {
  int mode = 2;
  int steps = 0;
  int back = 0;
  int interruptAt = -1;  // the step before which the interrupt button is pressed
};

// One machine of a case: the same setup from the same seed every time.
struct CaseMachine {
  Machine m;
  Case c;
  int stepsDone = 0;
  int errors = 0;

  explicit CaseMachine(int index) {
    CaseRandom r(static_cast<std::uint64_t>(index) * 7919u + 17u);
    m.setErrorHandler([this](const std::string&) { ++errors; });
    m.trace.setClock([] { return std::time_t{1765100000}; });
    const auto micro = vesk::golden::RandomMicroProgram(r);
    for (std::size_t i = 0; i < micro.size() && i < 255; ++i)
      m.microMemory.SetRow(static_cast<int>(i) + 1, FitWidth(HexToBin(micro[i].hex), 16), micro[i].comment);
    m.microMemory.notifyRowsChanged();
    const auto dump = vesk::golden::RandomDump(r);
    for (std::size_t a = 0; a < dump.size() && a < 2048; ++a)
      m.memory.SetRow(static_cast<int>(a), FitWidth(HexToBin(dump[a].hex), 16), dump[a].comment);
    // I/O presets: a few controllers with data and flags, sometimes a
    // monitor and a keyboard with keys waiting.
    for (int i = 0; i < 3; ++i) {
      const int row = Controllers::RowOfAddress(r.between(0, 8));
      m.controllers.Reg_Set_Data(Controllers::AddressText(row), CaseRandom::Bits(static_cast<std::uint32_t>(r.below(256)), 8));
      m.controllers.SetFlagOfRow(row, r.below(2));
    }
    if (r.percent(60)) m.controllers.SetDevice(Controllers::RowOfAddress(r.between(1, 8)), kDeviceMonitor);
    if (r.percent(60)) {
      m.controllers.SetDevice(Controllers::RowOfAddress(r.between(1, 8)), kDeviceKeyboard);
      for (int k = r.between(0, 5); k > 0; --k) m.keyboard.KeyPressed(r.between(32, 126));
    }
    c.mode = r.percent(50) ? 1 : 2;
    m.processor.MODE = c.mode;
    m.runControl.SetIntervals(r.below(3), r.below(3), r.below(3));
    c.steps = r.between(1, c.mode == 1 ? 120 : 30);
    c.back = r.between(1, c.steps);
    if (r.percent(40)) c.interruptAt = r.below(c.steps);
    if (r.percent(50)) m.processor.SetInterruptMode(1);
    m.processor.Reset();
    m.trace.set_CCounter(0);
    m.processor.Reg_Set_CommandCounter(CaseRandom::Bits(static_cast<std::uint32_t>(r.below(16)), 11));
    m.history.SetEnabled(true);
  }

  // F8, and the ticks until the machine rests. False when a command never
  // ends (a micro-program that loops inside it).
  bool step() {
    if (stepsDone == c.interruptAt) m.history.Input([this] { m.processor.SetInterruptReg(1); });
    ++stepsDone;
    m.runControl.P_EXECUTE_NEXT_COMMAND();
    for (int tick = 0; tick < 20000; ++tick) {
      if (m.runControl.Idle()) return true;
      m.runControl.Tick();
    }
    return m.runControl.Idle();
  }
  bool steps(int n) {
    for (int i = 0; i < n; ++i)
      if (!step()) return false;
    return true;
  }
  // The button pressed before the next step is part of the place a step
  // back returns to (the marker of that step keeps it).
  void pressPending() {
    if (stepsDone == c.interruptAt) m.history.Input([this] { m.processor.SetInterruptReg(1); });
  }
};

int CaseCount() {
  if (const char* env = std::getenv("VESK_HISTORY_CASES")) return std::max(1, std::atoi(env));
  return 200;
}

}  // namespace

TEST(HistoryProperty, StepsBackAreTheExactInverseOfSteps) {
  int checked = 0;
  const int cases = CaseCount();
  for (int index = 0; index < cases; ++index) {
    CaseMachine a(index);
    const Case c = a.c;
    if (!a.steps(c.steps)) continue;  // a command that never ends: no boundary to come back to
    const std::string after = MachineSnapshot(a.m);

    for (int k = 0; k < c.back; ++k)
      ASSERT_TRUE(a.m.history.StepBack(c.mode))
          << "case " << index << " mode " << c.mode << " back " << k << " of " << c.back << " after " << c.steps
          << " steps; markers " << a.m.history.Size() << ", errors " << a.errors;
    CaseMachine b(index);
    ASSERT_TRUE(b.steps(c.steps - c.back));
    b.pressPending();
    ASSERT_EQ(FirstDifference(MachineSnapshot(a.m), MachineSnapshot(b.m)), "")
        << "case " << index << " mode " << c.mode << ": " << c.steps << " steps, " << c.back << " back";

    a.stepsDone = c.steps - c.back;
    ASSERT_TRUE(a.steps(c.back));
    ASSERT_EQ(FirstDifference(MachineSnapshot(a.m), after), "")
        << "case " << index << " mode " << c.mode << ": forward again after " << c.back << " back";
    ++checked;
  }
  EXPECT_GT(checked, cases * 3 / 4);
}
