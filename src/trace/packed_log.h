// The stored lines of a trace: packed lines in chunks, plus the full texts of
// the rare lines whose registers did not pack (held aside by line number).
// The line added last is kept even when lines are not stored, so a streaming
// export can still format it.
#pragma once

#include <cstdint>
#include <iterator>
#include <unordered_map>

#include "util/chunked_log.h"

namespace vesk {

template <class Line, class OddTexts>
class PackedLog {
 public:
  void setStoring(bool storing) { storing_ = storing; }
  bool storing() const { return storing_; }

  // odd: the texts of a line that did not pack, or nullptr.
  void add(const Line& line, const OddTexts* odd) {
    last_ = line;
    lastIsOdd_ = odd != nullptr;
    if (odd != nullptr) lastOdd_ = *odd;
    if (!storing_) return;
    if (odd != nullptr) odd_[lines_.size()] = *odd;
    lines_.push_back(line);
  }
  void clear() {
    lines_.clear();
    odd_.clear();
  }
  // Keeps the first n stored lines; the line before them becomes the last.
  void truncate(std::int64_t n) {
    if (n < 0 || n >= lines_.size()) return;
    lines_.truncate(n);
    for (auto it = odd_.begin(); it != odd_.end();) it = it->first >= n ? odd_.erase(it) : std::next(it);
    if (n == 0) {
      last_ = Line{};
      lastIsOdd_ = false;
      return;
    }
    last_ = lines_[n - 1];
    const auto it = odd_.find(n - 1);
    lastIsOdd_ = it != odd_.end();
    if (lastIsOdd_) lastOdd_ = it->second;
  }

  std::int64_t size() const { return lines_.size(); }
  const Line& operator[](std::int64_t i) const { return lines_[i]; }
  const OddTexts* odd(std::int64_t i) const {
    if (odd_.empty()) return nullptr;  // the usual case: every line packed
    const auto it = odd_.find(i);
    return it == odd_.end() ? nullptr : &it->second;
  }
  const Line& last() const { return last_; }
  const OddTexts* lastOdd() const { return lastIsOdd_ ? &lastOdd_ : nullptr; }
  std::size_t bytesReserved() const { return lines_.bytesReserved(); }

 private:
  bool storing_ = true;
  ChunkedLog<Line> lines_;
  std::unordered_map<std::int64_t, OddTexts> odd_;
  Line last_{};
  OddTexts lastOdd_{};
  bool lastIsOdd_ = false;
};

}  // namespace vesk
