#include "widgets/refresh_beat.h"

#include <algorithm>

#include "widgets/deferred_refresh.h"

namespace vesk {

RefreshBeat::RefreshBeat(QObject* parent) : QObject(parent) {
  timer_.setInterval(kIntervalMs);
  connect(&timer_, &QTimer::timeout, this, &RefreshBeat::beatNow);
}

RefreshBeat::~RefreshBeat() {
  setDeferred(false);
  for (DeferredRefresh* part : parts_) part->beat_ = nullptr;
  parts_.clear();
}

void RefreshBeat::setDeferred(bool on) {
  if (on == deferred_) return;
  deferred_ = on;
  for (std::size_t i = 0; i < parts_.size(); ++i) parts_[i]->setDeferred(on);
  if (on) {
    timer_.start();
    return;
  }
  timer_.stop();
  beatNow();
}

void RefreshBeat::beatNow() {
  ++beats_;
  // Indexed: a display may join or leave while it shows its marks.
  for (std::size_t i = 0; i < parts_.size(); ++i) parts_[i]->apply_();
}

void RefreshBeat::join(DeferredRefresh* part) {
  if (std::find(parts_.begin(), parts_.end(), part) == parts_.end()) parts_.push_back(part);
}

void RefreshBeat::leave(DeferredRefresh* part) { parts_.erase(std::remove(parts_.begin(), parts_.end(), part), parts_.end()); }

}  // namespace vesk
