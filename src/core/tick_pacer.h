// Keeps run control's ticks in step with real time. The window program's
// 1 ms timer is only nominal: the event loop may be late, so each time it
// fires the pacer says how many ticks are due since the start, and the missed
// ones are caught up. After a long stall (the machine suspended, a modal
// dialog) the backlog beyond one burst is dropped rather than raced through.
#pragma once

#include <cstdint>

namespace vesk {

class TickPacer {
 public:
  explicit TickPacer(std::int64_t maxBurst = 250) : maxBurst_(maxBurst) {}

  // Starts counting at nowMs.
  void start(std::int64_t nowMs) {
    originMs_ = nowMs;
    done_ = 0;
  }

  // Ticks due at nowMs (one per elapsed millisecond, less those already
  // given), at most maxBurst.
  std::int64_t due(std::int64_t nowMs) {
    std::int64_t owed = (nowMs - originMs_) - done_;
    if (owed <= 0) return 0;
    if (owed > maxBurst_) {
      originMs_ += owed - maxBurst_;  // forget the stall
      owed = maxBurst_;
    }
    done_ += owed;
    return owed;
  }

  // Ticks dropped after stalls are not counted here; this is what was given.
  std::int64_t given() const { return done_; }

 private:
  std::int64_t maxBurst_;
  std::int64_t originMs_ = 0;
  std::int64_t done_ = 0;
};

}  // namespace vesk
