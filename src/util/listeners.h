// A list of listeners an owner object tells about its changes. Headless use
// registers none, so a notification costs one empty-vector check.
#pragma once

#include <algorithm>
#include <vector>

namespace vesk {

template <class Listener>
class Listeners {
 public:
  void add(Listener* l) {
    if (l != nullptr && std::find(list_.begin(), list_.end(), l) == list_.end()) list_.push_back(l);
  }
  void remove(Listener* l) { list_.erase(std::remove(list_.begin(), list_.end(), l), list_.end()); }
  bool empty() const { return list_.empty(); }

  template <class F>
  void each(F&& f) {
    // Indexed walk: a listener that adds or removes listeners while being
    // told does not invalidate the loop.
    for (std::size_t i = 0; i < list_.size(); ++i) f(*list_[i]);
  }

 private:
  std::vector<Listener*> list_;
};

}  // namespace vesk
