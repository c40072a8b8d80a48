#include "widgets/deferred_refresh.h"

#include "widgets/refresh_beat.h"

namespace vesk {

DeferredRefresh::DeferredRefresh(std::function<void()> apply, std::function<void(bool)> switched)
    : apply_(std::move(apply)), switched_(std::move(switched)) {}

DeferredRefresh::~DeferredRefresh() {
  if (beat_ != nullptr) beat_->leave(this);
}

void DeferredRefresh::follow(RefreshBeat* beat) {
  if (beat == beat_) return;
  if (beat_ != nullptr) beat_->leave(this);
  beat_ = beat;
  if (beat_ != nullptr) beat_->join(this);
  const bool wasDeferred = deferred_;
  setDeferred(beat_ != nullptr && beat_->deferred());
  if (wasDeferred && !deferred_) apply_();
}

void DeferredRefresh::setDeferred(bool on) {
  if (on == deferred_) return;
  deferred_ = on;
  if (switched_) switched_(on);
}

}  // namespace vesk
