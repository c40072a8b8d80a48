// Word: the text a register, memory cell or micro-command is held as.
//
// Machine words are bit strings ("0"/"1", most significant bit first) of at
// most a few dozen characters, built and thrown away on every micro-step.
// Word keeps up to kInline characters inside the object, so those never touch
// the heap; longer texts (user input, mostly) spill to the heap and still work.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

namespace vesk {

class Word {
 public:
  static constexpr std::size_t kInline = 47;

  Word() noexcept { inline_[0] = '\0'; }
  Word(std::string_view s) { assign(s); }            // NOLINT: implicit by design
  Word(const char* s) { assign(std::string_view(s)); }  // NOLINT
  Word(const std::string& s) { assign(std::string_view(s)); }  // NOLINT
  Word(std::size_t n, char c);
  Word(const Word& other) { assign(other.view()); }
  Word(Word&& other) noexcept;
  Word& operator=(const Word& other);
  Word& operator=(Word&& other) noexcept;
  Word& operator=(std::string_view s);
  ~Word() { release(); }

  const char* data() const noexcept { return onHeap() ? heap_ : inline_; }
  char* data() noexcept { return onHeap() ? heap_ : inline_; }
  const char* c_str() const noexcept { return data(); }
  std::size_t size() const noexcept { return size_; }
  std::size_t length() const noexcept { return size_; }
  bool empty() const noexcept { return size_ == 0; }
  char operator[](std::size_t i) const noexcept { return data()[i]; }
  char& operator[](std::size_t i) noexcept { return data()[i]; }
  const char* begin() const noexcept { return data(); }
  const char* end() const noexcept { return data() + size_; }

  std::string_view view() const noexcept { return {data(), size_}; }
  operator std::string_view() const noexcept { return view(); }  // NOLINT
  std::string str() const { return std::string(view()); }

  void clear() noexcept;
  void reserve(std::size_t n);
  void resize(std::size_t n, char fill = '\0');
  void push_back(char c);
  Word& append(std::string_view s);
  Word& append(std::size_t n, char c);
  Word& operator+=(std::string_view s) { return append(s); }
  Word& operator+=(char c) {
    push_back(c);
    return *this;
  }
  // Puts s in front of the current text.
  void prepend(std::string_view s);

  friend bool operator==(const Word& a, const Word& b) noexcept { return a.view() == b.view(); }
  friend bool operator==(const Word& a, std::string_view b) noexcept { return a.view() == b; }
  friend bool operator==(const Word& a, const char* b) noexcept { return a.view() == std::string_view(b); }
  friend bool operator==(const Word& a, const std::string& b) noexcept { return a.view() == std::string_view(b); }

 private:
  bool onHeap() const noexcept { return capacity_ > kInline; }
  void assign(std::string_view s);
  void release() noexcept;
  void grow(std::size_t need);

  std::uint32_t size_ = 0;
  std::uint32_t capacity_ = kInline;
  union {
    char inline_[kInline + 1];
    char* heap_;
  };
};

inline Word operator+(const Word& a, std::string_view b) {
  Word r(a);
  r.append(b);
  return r;
}

std::ostream& operator<<(std::ostream& out, const Word& w);

inline std::string operator+(const std::string& a, const Word& b) { return a + std::string(b.view()); }

}  // namespace vesk
