// A list of fixed-size records stored in chunks, so growing to tens of
// millions of records never copies what is already stored and never needs
// one huge allocation.
//
// With a limit it keeps only the newest `limit` records: each record past it
// retires the oldest one, and a chunk whose records have all retired is
// recycled for the records to come, so a full list costs no allocation and
// no copy per record. Records are indexed from the oldest one kept; dropped()
// counts the records retired since the last clear().
#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

namespace vesk {

template <class T, std::size_t kChunk = 65536>
class ChunkedLog {
 public:
  static constexpr std::int64_t kNoLimit = std::numeric_limits<std::int64_t>::max();

  std::int64_t size() const { return end_ - begin_; }
  bool empty() const { return end_ == begin_; }
  // Records retired since the last clear() (the oldest kept was record number dropped()).
  std::int64_t dropped() const { return begin_; }

  std::int64_t limit() const { return limit_; }
  // At least 1; a list holding more retires its oldest records at once.
  void setLimit(std::int64_t limit) {
    limit_ = limit < 1 ? 1 : limit;
    while (size() > limit_) retireOldest();
  }

  void push_back(const T& item) {
    const auto inChunk = static_cast<std::size_t>(end_ % kChunk);
    const auto chunk = static_cast<std::size_t>(end_ / kChunk - firstChunk_);
    if (chunk == chunks_.size()) {
      if (spare_) chunks_.push_back(std::move(spare_));
      else chunks_.push_back(std::make_unique<T[]>(kChunk));
    }
    chunks_[chunk][inChunk] = item;
    ++end_;
    if (end_ - begin_ > limit_) retireOldest();
  }

  // i counts from the oldest record kept.
  const T& operator[](std::int64_t i) const {
    const std::int64_t at = begin_ + i;
    return chunks_[static_cast<std::size_t>(at / kChunk - firstChunk_)][static_cast<std::size_t>(at % kChunk)];
  }

  void clear() {
    chunks_.clear();
    spare_.reset();
    begin_ = end_ = firstChunk_ = 0;
  }

  // Keeps the records numbered below `number` (as dropped() numbers them);
  // chunks past them are freed. Below the oldest kept, the list is left
  // empty with its next record numbered `number`.
  void truncateTo(std::int64_t number) {
    if (number < 0 || number >= end_) return;
    if (number < begin_) {
      chunks_.clear();
      begin_ = number;
      firstChunk_ = number / static_cast<std::int64_t>(kChunk);
    }
    end_ = number;
    const auto keep = static_cast<std::size_t>((end_ + static_cast<std::int64_t>(kChunk) - 1) /
                                                   static_cast<std::int64_t>(kChunk) - firstChunk_);
    if (chunks_.size() > keep) chunks_.resize(keep);
  }

  // Bytes held, for the memory figures of the benchmarks.
  std::size_t bytesReserved() const { return (chunks_.size() + (spare_ ? 1 : 0)) * kChunk * sizeof(T); }

 private:
  void retireOldest() {
    ++begin_;
    if (begin_ % kChunk != 0) return;
    // The first chunk holds no kept record any more.
    spare_ = std::move(chunks_.front());
    chunks_.erase(chunks_.begin());
    ++firstChunk_;
  }

  std::vector<std::unique_ptr<T[]>> chunks_;
  std::unique_ptr<T[]> spare_;
  std::int64_t begin_ = 0;       // number of the oldest record kept
  std::int64_t end_ = 0;         // number of the next record
  std::int64_t firstChunk_ = 0;  // number of the chunk chunks_[0] holds
  std::int64_t limit_ = kNoLimit;
};

}  // namespace vesk
