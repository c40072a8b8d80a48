// The stored lines of a trace: packed lines in chunks, plus the full texts of
// the rare lines whose registers did not pack (held aside by line number).
// The line added last is kept even when lines are not stored, so a streaming
// export can still format it.
//
// With a limit only the newest lines are kept; the first line given up after
// a clear() calls the shortened handler, once.
#pragma once

#include <cstdint>
#include <iterator>
#include <functional>
#include <unordered_map>
#include <utility>

#include "util/chunked_log.h"

namespace vesk {

template <class Line, class OddTexts>
class PackedLog {
 public:
  void setStoring(bool storing) { storing_ = storing; }
  bool storing() const { return storing_; }

  // The most lines kept (at least 1).
  void setLimit(std::int64_t limit) {
    const std::int64_t before = lines_.dropped();
    lines_.setLimit(limit);
    if (lines_.dropped() != before) afterDrop(before);
  }
  std::int64_t limit() const { return lines_.limit(); }
  // Lines given up since the last clear(): stored line i is line dropped() + i
  // of everything stored since then.
  std::int64_t dropped() const { return lines_.dropped(); }
  void setShortenedHandler(std::function<void()> handler) { shortened_ = std::move(handler); }

  // odd: the texts of a line that did not pack, or nullptr.
  void add(const Line& line, const OddTexts* odd) {
    last_ = line;
    lastIsOdd_ = odd != nullptr;
    if (odd != nullptr) lastOdd_ = *odd;
    if (!storing_) return;
    const std::int64_t number = lines_.dropped() + lines_.size();
    if (odd != nullptr) odd_[number] = *odd;
    const std::int64_t before = lines_.dropped();
    lines_.push_back(line);
    if (lines_.dropped() != before) afterDrop(before);
  }
  void clear() {
    lines_.clear();
    odd_.clear();
  }
  // Keeps the lines numbered below `number` (counting from the last clear(),
  // given-up lines included); the line before them becomes the last.
  void truncateTo(std::int64_t number) {
    if (number < 0 || number >= lines_.dropped() + lines_.size()) return;
    lines_.truncateTo(number);
    for (auto it = odd_.begin(); it != odd_.end();) it = it->first >= number ? odd_.erase(it) : std::next(it);
    if (lines_.size() == 0) {
      last_ = Line{};
      lastIsOdd_ = false;
      return;
    }
    last_ = lines_[lines_.size() - 1];
    const auto it = odd_.find(number - 1);
    lastIsOdd_ = it != odd_.end();
    if (lastIsOdd_) lastOdd_ = it->second;
  }

  std::int64_t size() const { return lines_.size(); }
  const Line& operator[](std::int64_t i) const { return lines_[i]; }
  const OddTexts* odd(std::int64_t i) const {
    if (odd_.empty()) return nullptr;  // the usual case: every line packed
    const auto it = odd_.find(lines_.dropped() + i);
    return it == odd_.end() ? nullptr : &it->second;
  }
  const Line& last() const { return last_; }
  const OddTexts* lastOdd() const { return lastIsOdd_ ? &lastOdd_ : nullptr; }
  std::size_t bytesReserved() const { return lines_.bytesReserved(); }

 private:
  void afterDrop(std::int64_t droppedBefore) {
    if (!odd_.empty())
      for (std::int64_t n = droppedBefore; n < lines_.dropped(); ++n) odd_.erase(n);
    if (droppedBefore == 0 && shortened_) shortened_();
  }

  bool storing_ = true;
  ChunkedLog<Line> lines_;
  std::unordered_map<std::int64_t, OddTexts> odd_;
  std::function<void()> shortened_;
  Line last_{};
  OddTexts lastOdd_{};
  bool lastIsOdd_ = false;
};

}  // namespace vesk
