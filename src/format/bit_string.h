// Word helpers: conversions, bit access and arithmetic on bit strings.
//
// A bit string is text of '0' and '1', most significant bit first; bit 0 is
// the rightmost character. Every function has a defined result for any input
// (any length, any characters); callers fit results to the width they need
// with FitWidth.
#pragma once

#include <cstdint>
#include <string_view>

#include "format/word.h"

namespace vesk {

// s cut to its rightmost n characters, or left-padded with '0' to n.
Word FitWidth(std::string_view s, int n);

// Four bits to one upper-case hex digit, padding on the left to whole groups;
// a group that is not made of '0'/'1' is skipped.
Word BinToHex(std::string_view s);

// '0'-'9' and 'A'-'F' give four bits each; every other character (lower-case
// digits included) gives nothing.
Word HexToBin(std::string_view s);

// Either case. A character that is not a hex digit counts as the digit 0.
// Values wrap modulo 2^32 (callers pass at most five digits).
std::int32_t HexToNum(std::string_view s);

// Unsigned reading; a character other than '1' counts as 0. Wraps modulo 2^32.
std::int32_t BinToNum(std::string_view s);

// sep between groups of n characters counted from the right.
Word GroupDigits(std::string_view s, int n, std::string_view sep);

Word StripDots(std::string_view s);

// Numeric value of bit i (the character's digit value), or 0 beyond the string.
int GetBit(std::string_view s, int i);

// Bit i := decimal text of v; an index beyond the string prepends one character.
void SetBit(Word& s, int i, int v);

// '1' becomes '0', every other character '1'.
Word InvertBits(std::string_view s);

// Bitwise AND; the width follows the operands' highest set bit.
Word AndBits(std::string_view a, std::string_view b);

// 16-bit sum; carry is true when the sum reaches 65536. The result has 4, 8,
// 12 or 16 characters depending on its value.
Word AddWords(std::string_view a, std::string_view b, bool& carry);

// n > 0: the last n characters move to the front; n <= 0: the first -n move
// to the end; |n| >= length: unchanged.
Word RotateBits(std::string_view s, int n);

// True when text is exactly `width` characters of '0'/'1'.
bool IsBitString(std::string_view text, std::size_t width);

// Fast paths for the machine's inner loop (same results as the helpers above
// for well-formed bit strings).

// The low `width` bits of value as a bit string of exactly `width` characters.
Word NumToBits(std::uint32_t value, int width);
// Unsigned value of a bit string; characters other than '1' count as 0.
std::uint32_t BitsValue(std::string_view s);
// Upper-case hex text of value without leading zeros ("0" for zero).
Word NumToHex(std::uint32_t value);
// Decimal text of value.
Word NumToDec(std::int64_t value);

}  // namespace vesk
