// Drives run control from a 1 ms precise timer in real time. Each time the
// timer fires, the ticks due since the run began are performed (catching up
// when the event loop was late), so the thresholds count real milliseconds.
// While the machine is idle the timer sleeps; commands that set the machine
// going call wake().
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <cstdint>

#include "core/tick_pacer.h"

namespace vesk {

class RunControl;

class RunDriver : public QObject {
  Q_OBJECT

 public:
  explicit RunDriver(RunControl& runControl, QObject* parent = nullptr);

  // Starts the timer unless the machine is idle.
  void wake();
  // Stops the timer where the machine stands (the fast drive takes over).
  void halt() { timer_.stop(); }
  bool active() const { return timer_.isActive(); }
  // Ticks performed since the driver was made.
  std::int64_t ticks() const { return ticks_; }

 signals:
  // The machine came to rest (a step ended, or a run stopped).
  void rested();

 private:
  void onTimeout();

  RunControl& runControl_;
  QTimer timer_;
  QElapsedTimer clock_;
  TickPacer pacer_;
  std::int64_t ticks_ = 0;
  bool inTick_ = false;
};

}  // namespace vesk
