// The step-back property: for random micro-programs, dumps, I/O presets and
// interrupts, N steps and then K steps back leave the whole machine exactly
// as N - K steps from the start do, and K steps forward again exactly as the
// first N did. And a history that keeps a checkpoint only now and then (and
// replays from it) goes back exactly as one that keeps every marker whole,
// after runs, fast runs, inputs and keys typed while running.
// VESK_HISTORY_CASES sets how many cases (longer mode).
#include <gtest/gtest.h>

#include <chrono>
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

  explicit CaseMachine(int index, int checkpointSpacing = History::kCheckpointSpacing) {
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
    m.history.SetCheckpointSpacing(checkpointSpacing);
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

namespace {

// Everything a step back shows: the machine and what the last step changed.
std::string Seen(Machine& m, int mode) {
  std::string s = MachineSnapshot(m);
  const History::StepChanges c = m.history.LastStepChanges(mode);
  s += "\nchanged:";
  for (const Reg r : c.registers) s += " r" + std::to_string(static_cast<int>(r));
  for (const int a : c.memoryWritten) s += " w" + std::to_string(a);
  s += " read " + std::to_string(c.memoryRead);
  for (const int row : c.controllerRows) s += " c" + std::to_string(row);
  s += " micro " + std::to_string(c.microAddress) + " size " + std::to_string(m.history.Size()) + " can " +
       std::to_string(m.history.CanStepBack(1)) + std::to_string(m.history.CanStepBack(2));
  return s;
}

// The two machines of a case, driven alike: one whose history replays from
// sparse checkpoints, one that keeps every marker whole.
struct Pair {
  CaseMachine sparse;
  CaseMachine whole;
  CaseRandom r;
  Pair(int index, int spacing) : sparse(index, spacing), whole(index, 1), r(static_cast<std::uint64_t>(index) * 104729u + 5u) {}

  template <class F>
  void both(F&& f) {
    f(sparse.m);
    f(whole.m);
  }
  // Runs until the machine rests; false when it does not (a command that
  // never ends).
  bool toRest(Machine& m) {
    m.runControl.P_STOP();
    for (int tick = 0; tick < 20000; ++tick) {
      if (m.runControl.Idle()) return true;
      m.runControl.Tick();
    }
    return m.runControl.Idle();
  }
  // A run: ticks in either period or fast slices, with the interrupt button
  // and keys typed while it runs.
  bool run() {
    const bool fast = r.percent(50);
    const int slices = r.between(1, 6);
    both([](Machine& m) { m.runControl.P_RUN(); });
    for (int s = 0; s < slices; ++s) {
      const int length = r.between(1, fast ? 300 : 400);
      const bool interrupt = r.percent(25);
      const int key = r.percent(25) ? r.between(32, 126) : -1;
      both([&](Machine& m) {
        if (fast) {
          m.runControl.RunFast(length, std::chrono::steady_clock::now() + std::chrono::hours(1));
        } else {
          for (int t = 0; t < length && !m.runControl.Idle(); ++t) m.runControl.Tick();
        }
        if (interrupt) m.history.Input([&m] { m.processor.SetInterruptReg(1); });
        if (key >= 0) m.keyboard.KeyPressed(key);
      });
    }
    return toRest(sparse.m) && toRest(whole.m);
  }
};

}  // namespace

TEST(HistoryProperty, SparseCheckpointsGoBackExactlyAsWholeMarkersDo) {
  int checked = 0, wentBack = 0, sparser = 0;
  const int cases = CaseCount();
  const int spacings[] = {2, 3, 7, History::kCheckpointSpacing};
  for (int index = 0; index < cases; ++index) {
    Pair p(index, spacings[index % 4]);
    const int runs = p.r.between(1, 2);
    bool rested = true;
    for (int k = 0; k < runs && rested; ++k) rested = p.run();
    if (!rested) continue;
    ASSERT_EQ(FirstDifference(Seen(p.sparse.m, p.sparse.c.mode), Seen(p.whole.m, p.whole.c.mode)), "")
        << "case " << index << " after the run";
    // Sparse checkpoints: the places between them are replayed on the way back.
    if (p.sparse.m.history.MemoryBytes() < p.whole.m.history.MemoryBytes()) ++sparser;
    // Back, in either period, now and then back to a breakpoint.
    const int back = p.r.between(1, 80);
    for (int k = 0; k < back; ++k) {
      const int mode = p.r.percent(60) ? 1 : 2;
      int breakAt = -1;
      if (p.r.percent(10)) breakAt = p.r.between(1, 40);
      bool moved[2] = {false, false};
      int which = 0;
      p.both([&](Machine& m) {
        m.processor.MODE = mode;
        if (breakAt > 0) {
          m.breakpoints.Set(BreakKind::Micro, breakAt);
          moved[which++] = m.history.StepBackToBreakpoint(mode);
          m.breakpoints.Remove(BreakKind::Micro, breakAt);
        } else {
          moved[which++] = m.history.StepBack(mode);
        }
      });
      ASSERT_EQ(moved[0], moved[1]) << "case " << index << " back " << k;
      if (!moved[0]) break;
      ++wentBack;
      if (k < 8 || k % 7 == 0 || k + 1 == back)
        ASSERT_EQ(FirstDifference(Seen(p.sparse.m, mode), Seen(p.whole.m, mode)), "")
            << "case " << index << " spacing " << spacings[index % 4] << ", back " << k + 1 << " in mode " << mode
            << (breakAt > 0 ? " to a breakpoint" : "");
    }
    // Forward again from there, and back over what was recorded after the
    // replay.
    p.both([&](Machine& m) { m.processor.MODE = p.sparse.c.mode; });
    if (!p.sparse.steps(3) || !p.whole.steps(3)) continue;
    for (int k = 0; k < 2; ++k) {
      const bool a = p.sparse.m.history.StepBack(1), b = p.whole.m.history.StepBack(1);
      ASSERT_EQ(a, b);
    }
    ASSERT_EQ(FirstDifference(Seen(p.sparse.m, 1), Seen(p.whole.m, 1)), "") << "case " << index << " forward and back";
    ++checked;
  }
  EXPECT_GT(checked, cases / 2);
  EXPECT_GT(wentBack, cases * 5);
  EXPECT_GT(sparser, cases / 4);
}
