// A queue in one growing circular buffer: push and pop at both ends and
// index from the front, with no allocation once it has grown to its working
// size (a std::deque allocates and frees a node every few hundred bytes).
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace vesk {

template <class T>
class Ring {
 public:
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  T& operator[](std::size_t i) { return slots_[(head_ + i) & mask()]; }
  const T& operator[](std::size_t i) const { return slots_[(head_ + i) & mask()]; }
  T& front() { return (*this)[0]; }
  const T& front() const { return (*this)[0]; }
  T& back() { return (*this)[size_ - 1]; }
  const T& back() const { return (*this)[size_ - 1]; }

  // A new last element, default-initialised storage reused: the caller sets
  // every field it reads.
  T& emplace_back() {
    if (size_ == slots_.size()) [[unlikely]]
      grow();
    T& slot = slots_[(head_ + size_) & mask()];
    ++size_;
    return slot;
  }
  void push_back(const T& v) { emplace_back() = v; }
  void pop_back() { --size_; }
  void pop_front(std::size_t n = 1) {
    head_ = (head_ + n) & mask();
    size_ -= n;
  }
  // Keeps the first n elements.
  void truncate(std::size_t n) {
    if (n < size_) size_ = n;
  }
  void clear() {
    head_ = 0;
    size_ = 0;
  }
  // The storage held (elements × capacity), for a memory figure.
  std::size_t capacity() const { return slots_.size(); }

 private:
  std::size_t mask() const { return slots_.size() - 1; }
  [[gnu::noinline]] void grow() {
    std::vector<T> bigger(slots_.empty() ? 16 : slots_.size() * 2);
    for (std::size_t i = 0; i < size_; ++i) bigger[i] = std::move((*this)[i]);
    slots_ = std::move(bigger);
    head_ = 0;
  }

  std::vector<T> slots_;
  std::size_t head_ = 0;
  std::size_t size_ = 0;
};

}  // namespace vesk
