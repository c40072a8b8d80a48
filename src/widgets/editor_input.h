// What an editing row makes of typed text: the bit string to store, or a
// message that says why nothing is stored. Shared by the memory, micro-memory
// and controllers editors.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "format/word.h"

namespace vesk {

struct EditorValue {
  bool ok = false;
  Word bits;          // the value to store when ok
  std::string error;  // why nothing is stored when !ok (Russian, shown to the user)
  std::string note;   // a remark shown although the value is stored (may be empty)

  static EditorValue Value(Word bits, std::string note = {}) { return {true, std::move(bits), {}, std::move(note)}; }
  static EditorValue Error(std::string error) { return {false, {}, std::move(error), {}}; }
};

// ASCII upper case.
Word UpperAscii(std::string_view s);

// True when s holds only hex digits (either case); the empty text counts.
bool IsHexText(std::string_view s);
// True when s holds only '0' and '1'; the empty text counts.
bool IsBinaryText(std::string_view s);

// True when the trimmed text begins with a number: an optional sign, then a
// digit or a point and a digit.
bool StartsWithNumber(std::string_view text);

// The whole number a typed decimal text stands for: the leading number of the
// trimmed text, rounded with halves to even. Nothing when the text does not
// begin with a number (after an optional sign) or lies beyond the 32-bit range.
std::optional<std::int64_t> TypedInteger(std::string_view text);

// Low `width` bits of n in two's complement, as a bit string of that width.
Word TwoComplementBits(std::int64_t n, int width);

}  // namespace vesk
