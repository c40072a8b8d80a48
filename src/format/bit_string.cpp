#include "format/bit_string.h"

#include <algorithm>
#include <cstdio>

namespace vesk {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// Value of a hex digit of either case, or -1.
int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

Word FitWidth(std::string_view s, int n) {
  if (n < 0) n = 0;
  const auto width = static_cast<std::size_t>(n);
  if (s.size() >= width) return Word(s.substr(s.size() - width));
  Word r;
  r.reserve(width);
  r.append(width - s.size(), '0');
  r.append(s);
  return r;
}

Word BinToHex(std::string_view s) {
  const std::size_t pad = (4 - s.size() % 4) % 4;
  Word r;
  r.reserve((s.size() + pad) / 4);
  // The first group takes the padding zeros in front of its characters.
  std::size_t pos = 0;
  std::size_t take = 4 - pad;
  int padding = static_cast<int>(pad);
  while (pos < s.size()) {
    int value = 0;
    bool valid = true;
    for (int k = 0; k < padding; ++k) value <<= 1;
    for (std::size_t k = 0; k < take; ++k) {
      const char c = s[pos + k];
      if (c != '0' && c != '1') valid = false;
      value = (value << 1) | (c == '1' ? 1 : 0);
    }
    if (valid) r.push_back(kHexDigits[value]);
    pos += take;
    take = 4;
    padding = 0;
  }
  return r;
}

Word HexToBin(std::string_view s) {
  Word r;
  r.reserve(s.size() * 4);
  for (const char c : s) {
    int v = -1;
    if (c >= '0' && c <= '9') v = c - '0';
    if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    if (v < 0) continue;
    for (int b = 3; b >= 0; --b) r.push_back(((v >> b) & 1) ? '1' : '0');
  }
  return r;
}

std::int32_t HexToNum(std::string_view s) {
  std::uint32_t v = 0;
  for (const char c : s) {
    const int d = HexDigitValue(c);
    v = v * 16u + static_cast<std::uint32_t>(d < 0 ? 0 : d);
  }
  return static_cast<std::int32_t>(v);
}

std::int32_t BinToNum(std::string_view s) { return static_cast<std::int32_t>(BitsValue(s)); }

std::uint32_t BitsValue(std::string_view s) {
  std::uint32_t v = 0;
  for (const char c : s) v = (v << 1) | (c == '1' ? 1u : 0u);
  return v;
}

Word GroupDigits(std::string_view s, int n, std::string_view sep) {
  if (n < 1) n = 1;
  const auto group = static_cast<std::size_t>(n);
  if (s.size() <= group) return Word(s);
  Word r;
  const std::size_t groups = (s.size() + group - 1) / group;
  r.reserve(s.size() + (groups - 1) * sep.size());
  std::size_t first = s.size() % group;
  if (first == 0) first = group;
  r.append(s.substr(0, first));
  for (std::size_t pos = first; pos < s.size(); pos += group) {
    r.append(sep);
    r.append(s.substr(pos, group));
  }
  return r;
}

Word StripDots(std::string_view s) {
  Word r;
  r.reserve(s.size());
  for (const char c : s)
    if (c != '.') r.push_back(c);
  return r;
}

int GetBit(std::string_view s, int i) {
  if (i < 0 || static_cast<std::size_t>(i) >= s.size()) return 0;
  const char c = s[s.size() - 1 - static_cast<std::size_t>(i)];
  // The character's numeric value: digits give their value, anything else 0.
  return (c >= '0' && c <= '9') ? c - '0' : 0;
}

void SetBit(Word& s, int i, int v) {
  if ((v == 0 || v == 1) && i >= 0 && static_cast<std::size_t>(i) < s.size()) {
    s[s.size() - 1 - static_cast<std::size_t>(i)] = static_cast<char>('0' + v);
    return;
  }
  char text[16];
  const int len = std::snprintf(text, sizeof text, "%d", v);
  const std::string_view t(text, static_cast<std::size_t>(len));
  if (i >= 0 && static_cast<std::size_t>(i) < s.size()) {
    const std::size_t pos = s.size() - 1 - static_cast<std::size_t>(i);
    if (t.size() == 1) {
      s[pos] = t[0];
      return;
    }
    Word r(s.view().substr(0, pos));
    r.append(t);
    r.append(s.view().substr(pos + 1));
    s = std::move(r);
    return;
  }
  // An index beyond the string (or a negative one, which no caller passes)
  // adds the character in front.
  s.prepend(t);
}

Word InvertBits(std::string_view s) {
  Word r(s.size(), '1');
  for (std::size_t k = 0; k < s.size(); ++k)
    if (s[k] == '1') r[k] = '0';
  return r;
}

Word AndBits(std::string_view a, std::string_view b) {
  auto top = [](std::string_view x) {
    const std::size_t p = x.find('1');
    return p == std::string_view::npos ? x.size() : x.size() - (p + 1);
  };
  const std::size_t w = std::max(top(a), top(b));
  Word r(w + 1, '0');
  for (std::size_t k = 0; k <= w; ++k) {
    const int ik = static_cast<int>(k);
    if (GetBit(a, ik) == 1 && GetBit(b, ik) == 1) r[w - k] = '1';
  }
  return r;
}

Word AddWords(std::string_view a, std::string_view b, bool& carry) {
  carry = false;
  const auto x = static_cast<std::uint32_t>(HexToNum(BinToHex(a)));
  const auto y = static_cast<std::uint32_t>(HexToNum(BinToHex(b)));
  const std::uint64_t sum = static_cast<std::uint64_t>(x) + y;
  if (sum > 65535) carry = true;
  const auto value = static_cast<std::uint32_t>(sum % 65536);
  int width = 16;
  if (value <= 15) width = 4;
  else if (value <= 255) width = 8;
  else if (value <= 4095) width = 12;
  return NumToBits(value, width);
}

Word RotateBits(std::string_view s, int n) {
  const auto len = static_cast<long long>(s.size());
  const long long m = n;
  if (m >= len || -m >= len) return Word(s);
  if (m > 0) {
    Word r(s.substr(s.size() - static_cast<std::size_t>(m)));
    r.append(s.substr(0, s.size() - static_cast<std::size_t>(m)));
    return r;
  }
  const auto k = static_cast<std::size_t>(-m);
  Word r(s.substr(k));
  r.append(s.substr(0, k));
  return r;
}

bool IsBitString(std::string_view text, std::size_t width) {
  if (text.size() != width) return false;
  for (const char c : text)
    if (c != '0' && c != '1') return false;
  return true;
}

Word NumToBits(std::uint32_t value, int width) {
  Word r(static_cast<std::size_t>(width < 0 ? 0 : width), '0');
  for (int k = 0; k < width && k < 32; ++k)
    if ((value >> k) & 1u) r[static_cast<std::size_t>(width - 1 - k)] = '1';
  return r;
}

Word NumToHex(std::uint32_t value) {
  char buf[9];
  int pos = 8;
  buf[pos] = '\0';
  do {
    buf[--pos] = kHexDigits[value & 15u];
    value >>= 4;
  } while (value != 0);
  return Word(std::string_view(buf + pos, static_cast<std::size_t>(8 - pos)));
}

Word NumToDec(std::int64_t value) {
  char buf[24];
  int pos = 24;
  const bool negative = value < 0;
  // Work on the magnitude as unsigned, so the most negative value is fine too.
  std::uint64_t v = negative ? 0u - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  do {
    buf[--pos] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v != 0);
  if (negative) buf[--pos] = '-';
  return Word(std::string_view(buf + pos, static_cast<std::size_t>(24 - pos)));
}

}  // namespace vesk
