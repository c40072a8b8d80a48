#include "format/word.h"

#include <cstring>
#include <limits>
#include <new>
#include <ostream>
#include <stdexcept>

namespace vesk {

Word::Word(std::size_t n, char c) {
  inline_[0] = '\0';
  append(n, c);
}

Word::Word(Word&& other) noexcept {
  if (other.onHeap()) {
    heap_ = other.heap_;
    size_ = other.size_;
    capacity_ = other.capacity_;
    other.capacity_ = kInline;
    other.size_ = 0;
    other.inline_[0] = '\0';
  } else {
    std::memcpy(inline_, other.inline_, other.size_ + 1);
    size_ = other.size_;
  }
}

Word& Word::operator=(const Word& other) {
  if (this != &other) assign(other.view());
  return *this;
}

Word& Word::operator=(Word&& other) noexcept {
  if (this == &other) return *this;
  if (other.onHeap()) {
    release();
    heap_ = other.heap_;
    size_ = other.size_;
    capacity_ = other.capacity_;
    other.capacity_ = kInline;
    other.size_ = 0;
    other.inline_[0] = '\0';
  } else {
    std::memcpy(data(), other.inline_, other.size_ + 1);
    size_ = other.size_;
  }
  return *this;
}

Word& Word::operator=(std::string_view s) {
  assign(s);
  return *this;
}

void Word::release() noexcept {
  if (onHeap()) {
    delete[] heap_;
    capacity_ = kInline;
    inline_[0] = '\0';
  }
  size_ = 0;
}

void Word::grow(std::size_t need) {
  if (need <= capacity_) return;
  if (need > std::numeric_limits<std::uint32_t>::max() / 2) throw std::length_error("Слово слишком длинное");
  std::size_t cap = capacity_ * 2;
  if (cap < need) cap = need;
  char* fresh = new char[cap + 1];
  std::memcpy(fresh, data(), size_ + 1);
  if (onHeap()) delete[] heap_;
  heap_ = fresh;
  capacity_ = static_cast<std::uint32_t>(cap);
}

void Word::assign(std::string_view s) {
  if (!onHeap() && s.size() <= kInline) {
    // The source may live inside this object, hence memmove.
    std::memmove(inline_, s.data(), s.size());
    inline_[s.size()] = '\0';
    size_ = static_cast<std::uint32_t>(s.size());
    return;
  }
  if (s.size() <= capacity_) {
    std::memmove(data(), s.data(), s.size());
    data()[s.size()] = '\0';
    size_ = static_cast<std::uint32_t>(s.size());
    return;
  }
  Word copy;
  copy.grow(s.size());
  std::memcpy(copy.data(), s.data(), s.size());
  copy.data()[s.size()] = '\0';
  copy.size_ = static_cast<std::uint32_t>(s.size());
  *this = std::move(copy);
}

void Word::clear() noexcept {
  size_ = 0;
  data()[0] = '\0';
}

void Word::reserve(std::size_t n) { grow(n); }

void Word::resize(std::size_t n, char fill) {
  grow(n);
  if (n > size_) std::memset(data() + size_, fill, n - size_);
  size_ = static_cast<std::uint32_t>(n);
  data()[n] = '\0';
}

void Word::push_back(char c) {
  if (size_ + 1 > capacity_) grow(size_ + 1);
  data()[size_] = c;
  ++size_;
  data()[size_] = '\0';
}

Word& Word::append(std::string_view s) {
  if (s.empty()) return *this;
  if (size_ + s.size() > capacity_) {
    std::string keep(s);  // s may point into this object
    grow(size_ + keep.size());
    std::memcpy(data() + size_, keep.data(), keep.size());
  } else {
    std::memmove(data() + size_, s.data(), s.size());
  }
  size_ += static_cast<std::uint32_t>(s.size());
  data()[size_] = '\0';
  return *this;
}

Word& Word::append(std::size_t n, char c) {
  grow(size_ + n);
  std::memset(data() + size_, c, n);
  size_ += static_cast<std::uint32_t>(n);
  data()[size_] = '\0';
  return *this;
}

void Word::prepend(std::string_view s) {
  if (s.empty()) return;
  Word joined;
  joined.reserve(size_ + s.size());
  joined.append(s);
  joined.append(view());
  *this = std::move(joined);
}

std::ostream& operator<<(std::ostream& out, const Word& w) { return out << w.view(); }

}  // namespace vesk
