#include "app/turbo_driver.h"

#include <chrono>

#include "core/run_control.h"
#include "widgets/refresh_beat.h"

namespace vesk {

namespace {
// A slice ends at its deadline long before this; the bound only keeps a
// slice finite should the clock stand still.
constexpr std::int64_t kMostPerSlice = 200'000'000;
}  // namespace

TurboDriver::TurboDriver(RunControl& runControl, RefreshBeat& beat, QObject* parent)
    : QObject(parent), runControl_(runControl), beat_(beat) {
  timer_.setInterval(0);
  connect(&timer_, &QTimer::timeout, this, &TurboDriver::onTimeout);
}

void TurboDriver::start() {
  beat_.setDeferred(true);
  timer_.start();
}

void TurboDriver::halt() {
  if (!timer_.isActive()) return;
  timer_.stop();
  beat_.setDeferred(false);
}

void TurboDriver::onTimeout() {
  // A slice never runs inside a slice (a nested event loop opened by a
  // listener would otherwise re-enter it).
  if (inSlice_) return;
  inSlice_ = true;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kSliceMs);
  const RunControl::FastSlice slice = runControl_.RunFast(kMostPerSlice, deadline);
  microCommands_ += slice.microCommands;
  ++slices_;
  inSlice_ = false;
  if (slice.stopped) end();
}

void TurboDriver::end() {
  timer_.stop();
  beat_.setDeferred(false);
  emit stopped();
}

}  // namespace vesk
