#include "format/bit_value.h"

#include "format/bit_string.h"

namespace vesk {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

}  // namespace

BitValue& BitValue::assignText(const BitValue& other) {
  if (this == &other) return *this;
  value_ = other.value_;
  width_ = other.width_;
  hex_ = other.hex_;
  odd_ = other.odd_;
  if (other.text_) text_ = std::make_unique<std::string>(*other.text_);
  else text_.reset();
  return *this;
}

BitValue BitValue::OfBits(std::string_view text) {
  if (text.size() <= 32) {
    std::uint32_t v = 0;
    bool clean = true;
    for (const char c : text) {
      if (c != '0' && c != '1') {
        clean = false;
        break;
      }
      v = (v << 1) | static_cast<std::uint32_t>(c - '0');
    }
    if (clean) return Bits(v, static_cast<int>(text.size()));
  }
  BitValue b;
  b.odd_ = true;
  b.text_ = std::make_unique<std::string>(text);
  return b;
}

BitValue BitValue::OfHex(std::string_view text) {
  if (text.size() <= 8) {
    std::uint32_t v = 0;
    bool clean = true;
    for (const char c : text) {
      int d = -1;
      if (c >= '0' && c <= '9') d = c - '0';
      else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
      if (d < 0) {
        clean = false;
        break;
      }
      v = (v << 4) | static_cast<std::uint32_t>(d);
    }
    if (clean) return Hex(v, static_cast<int>(text.size()));
  }
  BitValue b;
  b.odd_ = true;
  b.text_ = std::make_unique<std::string>(text);
  return b;
}

void BitValue::appendTo(std::string& out) const {
  if (odd_) {
    out += *text_;
  } else if (hex_) {
    for (int d = width_ - 1; d >= 0; --d) out.push_back(kHexDigits[(value_ >> (4 * d)) & 15u]);
  } else {
    for (int k = width_ - 1; k >= 0; --k) out.push_back(((value_ >> k) & 1u) ? '1' : '0');
  }
}

Word BitValue::text() const {
  if (odd_) return Word(*text_);
  if (!hex_) return NumToBits(value_, width_);
  Word w(static_cast<std::size_t>(width_), '0');
  for (int d = 0; d < width_; ++d) w[static_cast<std::size_t>(width_ - 1 - d)] = kHexDigits[(value_ >> (4 * d)) & 15u];
  return w;
}

int BitValue::textBit(int i) const { return GetBit(text(), i); }

std::uint32_t BitValue::textBitsValue() const { return BitsValue(text()); }

}  // namespace vesk
