// Reading numbers out of typed or stored text.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vesk {

// The number at the start of the text, as a person reads it: leading blanks
// skipped, an optional sign, digits, an optional fraction and exponent. Text
// that does not start with a number gives 0.
double LeadingNumber(std::string_view s);

// Nearest integer, halves to even (2.5 gives 2, 3.5 gives 4), clamped to the
// 64-bit range.
std::int64_t RoundHalfEven(double v);

// The value of text made only of hex digits (either case) when it is below
// `limit`; nothing for empty text, any other character, or a larger value.
// Addresses typed or passed as text are read this way, so text that names no
// row is refused instead of being wrapped onto another row.
std::optional<int> ParseHexBelow(std::string_view text, int limit);

// Text without leading and trailing blanks (spaces and tabs).
std::string_view Trim(std::string_view s);

}  // namespace vesk
