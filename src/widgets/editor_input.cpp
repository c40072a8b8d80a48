#include "widgets/editor_input.h"

#include "format/bit_string.h"
#include "format/number_text.h"

namespace vesk {

Word UpperAscii(std::string_view s) {
  Word r(s);
  for (std::size_t i = 0; i < r.size(); ++i)
    if (r[i] >= 'a' && r[i] <= 'z') r[i] = static_cast<char>(r[i] - 'a' + 'A');
  return r;
}

bool IsHexText(std::string_view s) {
  for (const char c : s) {
    const bool hex = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    if (!hex) return false;
  }
  return true;
}

bool IsBinaryText(std::string_view s) {
  for (const char c : s)
    if (c != '0' && c != '1') return false;
  return true;
}

bool StartsWithNumber(std::string_view text) {
  const std::string_view t = Trim(text);
  std::size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  const bool digit = i < t.size() && t[i] >= '0' && t[i] <= '9';
  const bool pointDigit = i + 1 < t.size() && t[i] == '.' && t[i + 1] >= '0' && t[i + 1] <= '9';
  return digit || pointDigit;
}

std::optional<std::int64_t> TypedInteger(std::string_view text) {
  if (!StartsWithNumber(text)) return std::nullopt;
  const std::string_view t = Trim(text);
  const double v = LeadingNumber(t);
  constexpr double kLowest = -2147483648.0;
  constexpr double kHighest = 4294967295.0;
  if (!(v >= kLowest - 0.5 && v <= kHighest + 0.5)) return std::nullopt;
  const std::int64_t n = RoundHalfEven(v);
  if (n < static_cast<std::int64_t>(kLowest) || n > static_cast<std::int64_t>(kHighest)) return std::nullopt;
  return n;
}

Word TwoComplementBits(std::int64_t n, int width) {
  const std::uint64_t mask = width >= 64 ? ~0ull : ((1ull << width) - 1);
  return NumToBits(static_cast<std::uint32_t>(static_cast<std::uint64_t>(n) & mask), width);
}

}  // namespace vesk
