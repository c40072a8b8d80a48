// Run control: the three period timers, the two timing modes, command
// boundaries, and start, stop and single steps.
//
// Ticks come from outside: the window program calls Tick() from a 1 ms timer,
// vesk-run and the tests call it in virtual time. Exactly one of the three
// timers is enabled at any moment, and Tick() runs that one.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/row_key.h"
#include "debug/breakpoints.h"
#include "format/bit_value.h"
#include "format/word.h"
#include "util/listeners.h"

namespace vesk {

class Processor;
class Breakpoints;
class History;
class MicroMemory;
class MicroExecutor;
class CommandTrace;
class MicroTrace;

// The period indicator, in units of a scale 253 units high: three stacked
// bars (bar 3 on top) and a line that rises through the bar of the running
// period.
struct PeriodIndicator {
  static constexpr double kScale = 253.0;
  std::array<double, 3> barTop{};     // index 0 is bar 1
  std::array<double, 3> barHeight{};
  double lineY = 0.0;
  int activeBar = 1;  // 1..3
};

class RunControlListener {
 public:
  virtual ~RunControlListener() = default;
  virtual void indicatorMoved() {}
  virtual void intervalsChanged(int /*t1*/, int /*t2*/, int /*t3*/) {}
};

class RunControl {
 public:
  RunControl(Processor& cpu, MicroMemory& micro, MicroExecutor& executor, CommandTrace& trace,
             MicroTrace& microTrace);

  Listeners<RunControlListener>& listeners() { return listeners_; }

  // Empties CURR_ADDR, CURR_CMD, EFFECT_ADDR, EFFECT_VAL; running flag and run
  // request on. The run resumes where СчМК points.
  void P_RUN();
  // "Продолжить выполнение": P_RUN, except that a run a breakpoint or
  // watchpoint stopped inside a command goes on exactly as if it had never
  // stopped (the command trace's variables are kept).
  void P_CONTINUE();
  // Run request off: the machine stops at the next command boundary.
  void P_STOP();
  // One step while stopped. Short period: one whole command, from where the
  // machine rests to the next command boundary (the command is logged once).
  // Full period: one micro-command through its three periods (at a command
  // boundary the finished command is logged and the next one's first
  // micro-command follows). Does nothing while running or while a
  // micro-command is still passing its periods.
  void P_EXECUTE_NEXT_COMMAND();

  void SetIntervals(int t1, int t2, int t3);  // negative periods count as 0
  int Interval(int period) const { return thresholds_[static_cast<std::size_t>(period - 1)]; }

  void Timer1Tick();
  void Timer2Tick();
  void Timer3Tick();
  bool TimerEnabled(int timer) const { return enabled_ == timer; }
  // The enabled timer's tick.
  void Tick();

  // The fast run: micro-commands back to back in the short-period order,
  // whatever MODE says, with no period thresholds and no indicator moves.
  // A micro-command still passing periods 2 and 3 completes first (executed,
  // traced, lamps off). Returns after `maxMicroCommands` executed
  // micro-commands, once `deadline` has passed (looked at every few hundred
  // micro-commands), or when the machine stops: at a command boundary with
  // the run request off (Стоп, HLT, an executor error), a fetch from 00, or a
  // reset.
  struct FastSlice {
    std::int64_t microCommands = 0;
    bool stopped = false;  // the running flag is off
  };
  FastSlice RunFast(std::int64_t maxMicroCommands, std::chrono::steady_clock::time_point deadline);

  // Breakpoints and watchpoints a run stops at (nullptr: none). A run
  // stops at a command breakpoint as "Стоп" would stop there, at the boundary
  // before the command at that address is fetched, and at a micro-command
  // breakpoint at once, before the micro-command at that micro-address; a
  // single step runs through them. Where the machine rests when a run
  // begins is not looked at, so F7 and F8 go on from a breakpoint.
  void setBreakpoints(Breakpoints* breakpoints) { breakpoints_ = breakpoints; }
  // A watched memory word was written, or a watched controller changed. A
  // run (not a single step) stops: at the next command boundary, or in the
  // live full period before the next micro-command.
  void WatchHit(BreakKind kind, int address);

  // The step-back history that marks every micro-command (nullptr: none).
  void setHistory(History* history) { history_ = history; }
  // Run control is acting (a tick, a fast slice, a start, stop or step): the
  // changes the owners announce now are the machine's, not a user's edit.
  bool Busy() const { return busy_ > 0; }
  // Whether the command before this boundary is logged already.
  bool RestingLogged() const { return restingLogged_; }
  // A step back's end: the machine rests here, stopped, in period 1 with
  // nothing pending. restingLogged: as it was at this place; logBoundary: the
  // place is a command boundary the machine stops at as "Стоп" would stop
  // there (the command before it is logged); indicator: where the period
  // indicator stood there (for a boundary stop, as a stop at a fetch leaves
  // it).
  void RestAt(bool restingLogged, bool logBoundary, int activeBar, double lineY);

  // The history's way forward after it put back a place a run passed:
  // `count` micro-commands executed exactly as that run executed them (in
  // the short-period order, whole within their fetch), with no breakpoint,
  // watchpoint, step or stop looked at. restingLogged and the indicator: as
  // at that place. The caller rests the machine afterwards (RestAt).
  void Replay(std::int64_t count, bool restingLogged, int activeBar, double lineY);

  // Stopped, and no micro-command is passing periods 2 and 3.
  bool Idle() const;
  int TickCounter() const { return counter_; }
  const PeriodIndicator& Indicator() const { return indicator_; }

  // A fetch from an address micro-memory does not have (00) stops the machine
  // at once and is reported here, like an executor error.
  std::function<void(const std::string& message)> onError;

 private:
  enum class Step { None, Command, MicroCommand };

  void moveIndicator(int bar);
  // Period 1, nothing pending, no step, resume or stop under way.
  void settle(bool restingLogged);
  // Period 1 past its threshold: the boundary, the fetch, and in `mode` 2 the
  // execution. True when a micro-command was executed.
  bool fetch(int mode);
  void boundary(bool& stop, bool resumed);
  // A micro-command breakpoint, or a watchpoint hit in the live full period,
  // at the micro-command about to be fetched: the machine stops at once.
  bool stopBeforeFetch(const BitValue& counter);
  void commandBreakpoint();
  void halt();
  void fail(int number, const std::string& description);

  Processor& cpu_;
  MicroMemory& micro_;
  MicroExecutor& executor_;
  CommandTrace& trace_;
  MicroTrace& microTrace_;
  Listeners<RunControlListener> listeners_;

  std::array<int, 3> thresholds_{20, 100, 100};
  int total_ = 220;
  int counter_ = 0;
  int enabled_ = 1;
  std::uint32_t pending_ = 0;  // horizontal form waiting for period 2
  RowKey pendingKey_ = RowKey::None;
  PeriodIndicator indicator_;
  Step step_ = Step::None;
  bool stepLeftBoundary_ = false;
  // The machine stopped at this boundary after logging the command before it.
  bool restingLogged_ = false;
  Breakpoints* breakpoints_ = nullptr;
  History* history_ = nullptr;
  int busy_ = 0;
  // Run control acting: the processor's edit listeners hear nothing.
  struct BusyScope {
    explicit BusyScope(RunControl& rc);
    ~BusyScope();
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
    RunControl& rc_;
  };
  // The next fetch is where a stopped machine was resumed from.
  bool resumed_ = false;
  bool watchStop_ = false;
  // The machine rests inside a command where a breakpoint stopped it.
  bool haltedInside_ = false;
  Word haltedAt_;  // СчМК there
  bool fast_ = false;
  bool replaying_ = false;
  // A resting machine was marked as it started; its first fetch is there.
  bool markedAtResume_ = false;
  void markResume();
};

}  // namespace vesk
