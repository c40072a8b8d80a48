// Compact storage of register texts in trace lines: a clean bit string of at
// most 32 characters is kept as its value and width and turned back into
// hexadecimal text only when a line is shown or exported.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vesk {

// True and the value when s is made of '0'/'1' only and has exactly `width`
// characters.
bool PackBits(std::string_view s, std::size_t width, std::uint32_t& value);

// True and the value when s is exactly two upper-case hex digits.
bool PackHex2(std::string_view s, std::uint8_t& value);

// Appends what BinToHex gives for a clean bit string of `width` characters
// holding value: ceil(width / 4) upper-case digits.
void AppendBitsHex(std::string& out, std::uint32_t value, int width);

// Two upper-case hex digits.
void AppendHex2(std::string& out, std::uint8_t value);

}  // namespace vesk
