#include "core/run_control.h"

#include <algorithm>
#include <utility>

#include "core/micro_command.h"
#include "core/processor.h"
#include "debug/history.h"
#include "format/bit_string.h"
#include "memory/main_memory.h"
#include "memory/micro_memory.h"
#include "trace/command_trace.h"
#include "trace/micro_trace.h"
#include "util/machine_error.h"

namespace vesk {

RunControl::RunControl(Processor& cpu, MicroMemory& micro, MicroExecutor& executor, CommandTrace& trace,
                       MicroTrace& microTrace)
    : cpu_(cpu), micro_(micro), executor_(executor), trace_(trace), microTrace_(microTrace) {
  SetIntervals(20, 100, 100);
}

RunControl::BusyScope::BusyScope(RunControl& rc) : rc_(rc) {
  ++rc_.busy_;
  rc_.cpu_.MachineActs();
}

RunControl::BusyScope::~BusyScope() {
  rc_.cpu_.MachineRests();
  --rc_.busy_;
}

void RunControl::markResume() {
  if (history_ == nullptr || !Idle() || markedAtResume_) return;
  history_->Mark(true);
  markedAtResume_ = true;
}

void RunControl::P_CONTINUE() {
  const BusyScope busy(*this);
  if (!haltedInside_ || cpu_.GetRunning() || cpu_.Micro_Reg_Get_CommandCounter() != haltedAt_) {
    P_RUN();
    return;
  }
  markResume();
  haltedInside_ = false;
  resumed_ = true;
  watchStop_ = false;
  cpu_.SetRunning(true);
  cpu_.bIsRunning_Act = true;
  step_ = Step::None;
}

void RunControl::P_RUN() {
  const BusyScope busy(*this);
  markResume();
  haltedInside_ = false;
  trace_.set_EFFECT_ADDR("");
  trace_.set_EFFECT_VAL("");
  trace_.set_CURR_ADDR("");
  trace_.set_CURR_CMD("");
  resumed_ = !cpu_.GetRunning();
  watchStop_ = false;
  cpu_.SetRunning(true);
  cpu_.bIsRunning_Act = true;
  step_ = Step::None;
  restingLogged_ = false;
}

void RunControl::P_STOP() { cpu_.bIsRunning_Act = false; }

void RunControl::settle(bool restingLogged) {
  enabled_ = 1;
  counter_ = 0;
  step_ = Step::None;
  resumed_ = false;
  watchStop_ = false;
  haltedInside_ = false;
  fast_ = false;
  restingLogged_ = restingLogged;
  markedAtResume_ = false;
}

void RunControl::RestAt(bool restingLogged, bool logBoundary, int activeBar, double lineY) {
  const BusyScope busy(*this);
  settle(restingLogged);
  if (history_ != nullptr) history_->RunControlMoved();
  cpu_.bIsRunning_Act = false;
  if (logBoundary && !restingLogged_) {
    trace_.AddLine();
    restingLogged_ = true;
  }
  // A place the machine rested at keeps its text (the first one has its own).
  if (cpu_.GetRunning() || cpu_.RunStateText() == kStatusRunning) cpu_.SetRunning(false);
  if (logBoundary || activeBar < 1 || activeBar > 3) {
    counter_ = thresholds_[0] + 1;
    moveIndicator(1);
    counter_ = 0;
    return;
  }
  indicator_.activeBar = activeBar;
  indicator_.lineY = lineY;
  listeners_.each([](RunControlListener& l) { l.indicatorMoved(); });
}

void RunControl::P_EXECUTE_NEXT_COMMAND() {
  const BusyScope busy(*this);
  if (cpu_.GetRunning()) return;
  if (enabled_ != 1) return;  // a micro-command is still passing periods 2 and 3
  if (cpu_.MODE != 1 && cpu_.MODE != 2) {
    cpu_.SetRunning(true);
    Timer1Tick();
    return;
  }
  markResume();
  step_ = cpu_.MODE == 2 ? Step::Command : Step::MicroCommand;
  // A step that starts inside a command finishes it; one that starts at the
  // boundary runs the whole next command.
  stepLeftBoundary_ = false;
  try {
    stepLeftBoundary_ = micro_.Micro_ReadKey(cpu_.Micro_Reg_Get_CommandCounter()) != kKeyNewCommand;
  } catch (const MachineError&) {
    // СчМК names no cell; the tick reports it.
  }
  resumed_ = true;
  watchStop_ = false;
  haltedInside_ = false;
  cpu_.SetRunning(true);
  Timer1Tick();
  if (cpu_.MODE == 2) cpu_.bIsRunning_Act = false;
}

void RunControl::SetIntervals(int t1, int t2, int t3) {
  thresholds_ = {std::max(t1, 0), std::max(t2, 0), std::max(t3, 0)};
  total_ = thresholds_[0] + thresholds_[1] + thresholds_[2];
  const double unit = total_ > 0 ? PeriodIndicator::kScale / total_ : 0.0;
  for (std::size_t i = 0; i < 3; ++i) indicator_.barHeight[i] = thresholds_[i] * unit;
  indicator_.barTop[2] = 0.0;
  indicator_.barTop[1] = indicator_.barTop[2] + indicator_.barHeight[2] - 1.0;
  indicator_.barTop[0] = indicator_.barTop[1] + indicator_.barHeight[1] - 1.0;
  const std::array<int, 3> t = thresholds_;
  listeners_.each([&t](RunControlListener& l) { l.intervalsChanged(t[0], t[1], t[2]); });
  moveIndicator(indicator_.activeBar);
}

void RunControl::moveIndicator(int bar) {
  const auto i = static_cast<std::size_t>(bar - 1);
  indicator_.activeBar = bar;
  const double unit = total_ > 0 ? PeriodIndicator::kScale / total_ : 0.0;
  indicator_.lineY = indicator_.barTop[i] + indicator_.barHeight[i] - counter_ * unit;
  listeners_.each([](RunControlListener& l) { l.indicatorMoved(); });
}

void RunControl::fail(int number, const std::string& description) {
  if (onError) onError(ErrorMessageText(number, description));
  cpu_.bIsRunning_Act = false;
  cpu_.SetRunning(false);
  step_ = Step::None;
}

void RunControl::boundary(bool& stop, bool resumed) {
  stop = false;
  if (!restingLogged_) trace_.AddLine();
  if (restingLogged_) {
    restingLogged_ = false;
    if (history_ != nullptr) history_->RunControlMoved();
  }
  if (replaying_) return;  // the run went on here
  if (step_ == Step::MicroCommand) return;  // a full-period step always fetches
  if (step_ == Step::Command && !stepLeftBoundary_) {
    stepLeftBoundary_ = true;
    return;
  }
  if (!resumed && breakpoints_ != nullptr && cpu_.bIsRunning_Act && step_ == Step::None &&
      breakpoints_->AnyEnabled(BreakKind::Command))
    commandBreakpoint();
  cpu_.SetRunning(cpu_.bIsRunning_Act);
  if (!cpu_.GetRunning()) {
    stop = true;
    restingLogged_ = true;
    step_ = Step::None;
  }
}

void RunControl::Timer1Tick() {
  if (!cpu_.GetRunning()) return;
  ++counter_;
  moveIndicator(1);
  if (counter_ <= thresholds_[0]) return;
  counter_ = 0;
  if (cpu_.MODE != 1 && cpu_.MODE != 2) return;
  fetch(cpu_.MODE);
}

void RunControl::commandBreakpoint() {
  const auto address = MainMemory::ParseAddress(BinToHex(cpu_.Reg_Get_CommandCounter()));
  if (!address || !breakpoints_->Stops(BreakKind::Command, *address)) return;
  cpu_.bIsRunning_Act = false;  // as "Стоп" at this boundary
  breakpoints_->RecordHit(BreakKind::Command, *address);
}

void RunControl::halt() {
  haltedInside_ = true;
  haltedAt_ = cpu_.Micro_Reg_Get_CommandCounter();
  cpu_.bIsRunning_Act = false;
  cpu_.SetRunning(false);
  step_ = Step::None;
}

bool RunControl::stopBeforeFetch(const BitValue& counter) {
  if (watchStop_) {
    watchStop_ = false;
    halt();
    return true;
  }
  if (!breakpoints_->AnyEnabled(BreakKind::Micro)) return false;
  const std::optional<int> row =
      counter.isHex(2) ? std::optional<int>(static_cast<int>(counter.value())) : MicroMemory::ParseAddress(counter.text());
  if (!row || !breakpoints_->Stops(BreakKind::Micro, *row)) return false;
  halt();
  breakpoints_->RecordHit(BreakKind::Micro, *row);
  return true;
}

void RunControl::WatchHit(BreakKind kind, int address) {
  const BusyScope busy(*this);
  if (replaying_ || breakpoints_ == nullptr || !cpu_.GetRunning() || !cpu_.bIsRunning_Act || step_ != Step::None) return;
  cpu_.bIsRunning_Act = false;
  if (cpu_.MODE == 1 && !fast_) watchStop_ = true;
  breakpoints_->RecordHit(kind, address);
}

bool RunControl::fetch(int mode) {
  const BitValue& counter = cpu_.Value(Reg::MicroCounter);
  const bool resumed = std::exchange(resumed_, false);
  if (!replaying_ && breakpoints_ != nullptr && !resumed && step_ == Step::None && stopBeforeFetch(counter))
    return false;
  // The history marks the place before the fetch (unless it marked it as
  // the machine started from rest).
  const bool mark = history_ != nullptr && !std::exchange(markedAtResume_, false);
  int row = 0;
  RowKey key = RowKey::None;
  const bool cleanCounter = counter.isHex(2) && counter.value() != 0;
  if (cleanCounter) {
    // Two hex digits naming a row: the usual case, read by number.
    row = static_cast<int>(counter.value());
    key = micro_.KeyAt(row);
    if (mark) history_->Mark(false, mode == 2, key == RowKey::NewCommand);
    microTrace_.set_PreMCC(counter);
  } else {
    if (mark) history_->Mark(false, false, false);
    const Word address = counter.text();
    microTrace_.set_PreMCC(address);
    try {
      key = RowKeyOf(micro_.Micro_ReadKey(address));
    } catch (const MachineError& e) {
      fail(e.number(), e.what());
      return false;
    }
    row = *MicroMemory::ParseAddress(address);
  }
  // A marker this fetch made knew already whether it begins a command.
  if (history_ != nullptr && key == RowKey::NewCommand && !(mark && cleanCounter)) history_->MarkBoundary();
  if (key == RowKey::NewCommand) {
    bool stop = false;
    boundary(stop, resumed);
    if (stop) {
      if (history_ != nullptr) history_->DropMark();  // nothing ran from this place
      return false;
    }
  }
  cpu_.Set(Reg::MicroCommand, BitValue::Bits(micro_.ReadAt(row), 16));
  const std::uint32_t h = cpu_.Horizontal();
  cpu_.Set(Reg::MicroCounter, BitValue::Hex(static_cast<std::uint32_t>(row) + 1u, 2));
  if (mode == 1) {
    ShowSignals(cpu_, h);
    enabled_ = 2;
    pending_ = h;
    pendingKey_ = key;
    if (step_ == Step::MicroCommand) {
      cpu_.SetRunning(false);
      step_ = Step::None;
    }
    return false;
  }
  executor_.Execute(h, key);
  microTrace_.AddLine();
  return true;
}

void RunControl::Replay(std::int64_t count, bool restingLogged, int activeBar, double lineY) {
  const BusyScope busy(*this);
  indicator_.activeBar = activeBar;
  indicator_.lineY = lineY;
  settle(restingLogged);
  replaying_ = true;
  for (std::int64_t i = 0; i < count; ++i)
    if (!fetch(2)) break;
  replaying_ = false;
}

void RunControl::Timer2Tick() {
  ++counter_;
  moveIndicator(2);
  if (counter_ <= thresholds_[1]) return;
  counter_ = 0;
  enabled_ = 3;
  executor_.Execute(pending_, pendingKey_);
  microTrace_.AddLine();
}

void RunControl::Timer3Tick() {
  ++counter_;
  moveIndicator(3);
  if (counter_ <= thresholds_[2]) return;
  counter_ = 0;
  ShowSignals(cpu_, std::uint32_t{0});
  enabled_ = 1;
}

void RunControl::Tick() {
  const BusyScope busy(*this);
  switch (enabled_) {
    case 1: Timer1Tick(); break;
    case 2: Timer2Tick(); break;
    default: Timer3Tick(); break;
  }
}

RunControl::FastSlice RunControl::RunFast(std::int64_t maxMicroCommands,
                                         std::chrono::steady_clock::time_point deadline) {
  const BusyScope busy(*this);
  FastSlice slice;
  if (enabled_ != 1) {
    // Periods 2 and 3 of a full-period micro-command end at once.
    if (enabled_ == 2) {
      executor_.Execute(pending_, pendingKey_);
      microTrace_.AddLine();
      ++slice.microCommands;
    }
    ShowSignals(cpu_, std::uint32_t{0});
    enabled_ = 1;
  }
  if (counter_ != 0) {
    counter_ = 0;
    moveIndicator(1);
  }
  constexpr std::int64_t kClockEvery = 256;
  std::int64_t sinceClock = 0;
  fast_ = true;
  while (cpu_.GetRunning() && slice.microCommands < maxMicroCommands) {
    if (fetch(2)) ++slice.microCommands;
    if (++sinceClock == kClockEvery) {
      sinceClock = 0;
      if (std::chrono::steady_clock::now() >= deadline) break;
    }
  }
  fast_ = false;
  slice.stopped = !cpu_.GetRunning();
  return slice;
}

bool RunControl::Idle() const { return enabled_ == 1 && !cpu_.GetRunning(); }

}  // namespace vesk
