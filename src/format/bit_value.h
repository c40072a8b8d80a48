// BitValue: how the owners hold a register, a trace variable or the
// micro-command counter inside.
//
// Callers see texts (bit strings, or hex digits for the micro-command
// counter). Almost every text the machine stores is clean: only '0'/'1'
// (or only upper-case hex digits), at most 32 bits. Such a text is kept as
// its value and its width and written out again on demand; any other text
// (only direct writes make one) is kept as it is. Either way text() gives
// back exactly the text that was stored, character for character.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "format/word.h"

namespace vesk {

class BitValue {
 public:
  // The empty text.
  BitValue() = default;
  BitValue(const BitValue& other) { *this = other; }
  BitValue(BitValue&&) noexcept = default;
  BitValue& operator=(const BitValue& other) {
    if (other.text_ || text_) return assignText(other);
    value_ = other.value_;
    width_ = other.width_;
    hex_ = other.hex_;
    odd_ = other.odd_;
    return *this;
  }
  BitValue& operator=(BitValue&&) noexcept = default;

  // `width` characters of '0'/'1' holding the low bits of value (0..32).
  static BitValue Bits(std::uint32_t value, int width) {
    BitValue v;
    v.value_ = width >= 32 ? value : value & ((1u << width) - 1u);
    v.width_ = static_cast<std::uint8_t>(width);
    return v;
  }
  // `digits` upper-case hex digits holding the low bits of value (0..8).
  static BitValue Hex(std::uint32_t value, int digits) {
    BitValue v = Bits(value, digits * 4);
    v.width_ = static_cast<std::uint8_t>(digits);
    v.hex_ = true;
    return v;
  }
  // The text as given; kept as a number when it is a clean bit string.
  static BitValue OfBits(std::string_view text);
  // The text as given; kept as a number when it is upper-case hex digits.
  static BitValue OfHex(std::string_view text);

  // Clean '0'/'1' text of exactly `width` characters.
  bool isBits(int width) const { return !odd_ && !hex_ && width_ == width; }
  bool isBits() const { return !odd_ && !hex_; }
  // Exactly `digits` upper-case hex digits.
  bool isHex(int digits) const { return hex_ && width_ == digits; }
  bool isHex() const { return hex_; }
  // Neither: any other text, kept as it is.
  bool isOdd() const { return odd_; }
  // The value of a clean text (isBits or isHex).
  std::uint32_t value() const { return value_; }
  // Characters of a clean text.
  int width() const { return width_; }

  bool empty() const { return !odd_ && width_ == 0; }
  Word text() const;
  void appendTo(std::string& out) const;

  // The character at bit i read as a digit, as GetBit reads it: the bit of a
  // clean bit string, 0 beyond the text.
  int bit(int i) const {
    if (odd_ || hex_) return textBit(i);
    if (i < 0 || i >= width_) return 0;
    return static_cast<int>((value_ >> i) & 1u);
  }
  // The unsigned value as BitsValue reads the text (characters other than
  // '1' count as 0).
  std::uint32_t bitsValue() const { return odd_ || hex_ ? textBitsValue() : value_; }

  // Equal texts (clean values of one kind compare as numbers).
  friend bool operator==(const BitValue& a, const BitValue& b) {
    if (!a.odd_ && !b.odd_ && a.hex_ == b.hex_) return a.width_ == b.width_ && a.value_ == b.value_;
    return a.text() == b.text();
  }

 private:
  BitValue& assignText(const BitValue& other);
  int textBit(int i) const;
  std::uint32_t textBitsValue() const;

  std::uint32_t value_ = 0;
  std::uint8_t width_ = 0;
  bool hex_ = false;
  bool odd_ = false;
  std::unique_ptr<std::string> text_;  // odd texts only
};

}  // namespace vesk
