// One display's choice between showing each change of its owner at once
// (live, the usual way) and gathering changes to show them together on the
// beat of a RefreshBeat (deferred, while the machine runs at full speed).
//
// The display's listener asks deferred(): when it is, the listener only marks
// what changed; `apply` shows what is marked, on every beat and once more
// when deferral ends, so at the end everything is shown. `switched`, when
// given, hears deferral begin and end (before that last apply).
#pragma once

#include <algorithm>
#include <functional>

namespace vesk {

class RefreshBeat;

class DeferredRefresh {
 public:
  explicit DeferredRefresh(std::function<void()> apply, std::function<void(bool deferred)> switched = {});
  ~DeferredRefresh();
  DeferredRefresh(const DeferredRefresh&) = delete;
  DeferredRefresh& operator=(const DeferredRefresh&) = delete;

  // Follows a beat (leaving the one before), deferred at once when the beat
  // is; nullptr leaves. Leaving a deferred beat shows what is marked.
  void follow(RefreshBeat* beat);
  RefreshBeat* beat() const { return beat_; }
  bool deferred() const { return deferred_; }

 private:
  friend class RefreshBeat;
  void setDeferred(bool on);

  std::function<void()> apply_;
  std::function<void(bool)> switched_;
  RefreshBeat* beat_ = nullptr;
  bool deferred_ = false;
};

// The rows a deferred list marked as changed, kept as one span: the view
// repaints only the part of it on screen.
struct MarkedRows {
  int first = -1;
  int last = -1;

  bool empty() const { return first < 0; }
  void add(int row) { add(row, row); }
  void add(int from, int to) {
    first = empty() ? from : std::min(first, from);
    last = std::max(last, to);
  }
  void clear() { first = last = -1; }
};

}  // namespace vesk
