// Reading numbers out of typed or stored text.
#pragma once

#include <cstdint>
#include <string_view>

namespace vesk {

// The number at the start of the text, as a person reads it: leading blanks
// skipped, an optional sign, digits, an optional fraction and exponent. Text
// that does not start with a number gives 0.
double LeadingNumber(std::string_view s);

// Nearest integer, halves to even (2.5 gives 2, 3.5 gives 4), clamped to the
// 64-bit range.
std::int64_t RoundHalfEven(double v);

// Text without leading and trailing blanks (spaces and tabs).
std::string_view Trim(std::string_view s);

}  // namespace vesk
