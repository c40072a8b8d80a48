#include "widgets/deferred_refresh.h"

#include "widgets/refresh_beat.h"

namespace vesk {

DeferredRefresh::DeferredRefresh(std::function<void()> apply) : apply_(std::move(apply)) {}

DeferredRefresh::~DeferredRefresh() {
  if (beat_ != nullptr) beat_->leave(this);
}

void DeferredRefresh::follow(RefreshBeat* beat) {
  if (beat == beat_) return;
  if (beat_ != nullptr) beat_->leave(this);
  const bool wasDeferred = deferred_;
  beat_ = beat;
  deferred_ = false;
  if (beat_ != nullptr) {
    beat_->join(this);
    deferred_ = beat_->deferred();
  }
  if (wasDeferred && !deferred_) apply_();
}

}  // namespace vesk
