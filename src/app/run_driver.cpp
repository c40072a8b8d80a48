#include "app/run_driver.h"

#include "core/run_control.h"

namespace vesk {

RunDriver::RunDriver(RunControl& runControl, QObject* parent) : QObject(parent), runControl_(runControl) {
  timer_.setTimerType(Qt::PreciseTimer);
  timer_.setInterval(1);
  connect(&timer_, &QTimer::timeout, this, &RunDriver::onTimeout);
  clock_.start();
}

void RunDriver::wake() {
  if (timer_.isActive() || runControl_.Idle()) return;
  pacer_.start(clock_.elapsed());
  timer_.start();
}

void RunDriver::onTimeout() {
  // A tick can open a nested event loop only through a bug elsewhere; never
  // tick inside a tick.
  if (inTick_) return;
  inTick_ = true;
  for (std::int64_t due = pacer_.due(clock_.elapsed()); due > 0; --due) {
    runControl_.Tick();
    ++ticks_;
    if (runControl_.Idle()) {
      timer_.stop();
      break;
    }
  }
  inTick_ = false;
  if (!timer_.isActive()) emit rested();
}

}  // namespace vesk
