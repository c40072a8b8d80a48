// An append-only list of fixed-size records stored in chunks, so growing to
// tens of millions of records never copies what is already stored and never
// needs one huge allocation.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace vesk {

template <class T, std::size_t kChunk = 65536>
class ChunkedLog {
 public:
  std::int64_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  void push_back(const T& item) {
    const std::size_t inChunk = static_cast<std::size_t>(size_) % kChunk;
    if (inChunk == 0 && static_cast<std::size_t>(size_) / kChunk == chunks_.size())
      chunks_.push_back(std::make_unique<T[]>(kChunk));
    chunks_[static_cast<std::size_t>(size_) / kChunk][inChunk] = item;
    ++size_;
  }

  const T& operator[](std::int64_t i) const {
    return chunks_[static_cast<std::size_t>(i) / kChunk][static_cast<std::size_t>(i) % kChunk];
  }

  void clear() {
    chunks_.clear();
    size_ = 0;
  }

  // Keeps the first n records (n <= size()); chunks past them are freed.
  void truncate(std::int64_t n) {
    if (n < 0 || n >= size_) return;
    size_ = n;
    const std::size_t keep = (static_cast<std::size_t>(n) + kChunk - 1) / kChunk;
    if (chunks_.size() > keep) chunks_.resize(keep);
  }

  // Bytes held, for the memory figures of the benchmarks.
  std::size_t bytesReserved() const { return chunks_.size() * kChunk * sizeof(T); }

 private:
  std::vector<std::unique_ptr<T[]>> chunks_;
  std::int64_t size_ = 0;
};

}  // namespace vesk
