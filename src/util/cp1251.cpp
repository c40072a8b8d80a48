#include "util/cp1251.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace vesk {

namespace {

// Code points of the bytes 0x80..0xFF. 0x98 is undefined in windows-1251 and
// stands for U+0098 so that it survives a round trip.
constexpr std::array<char16_t, 128> kHigh = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // C0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // C8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // D0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // D8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // E0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // E8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // F0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // F8
};

struct Reverse {
  char16_t code;
  unsigned char byte;
};

// kHigh sorted by code point, for encoding.
const std::array<Reverse, 128>& ReverseTable() {
  static const std::array<Reverse, 128> table = [] {
    std::array<Reverse, 128> t{};
    for (std::size_t i = 0; i < kHigh.size(); ++i) t[i] = {kHigh[i], static_cast<unsigned char>(0x80 + i)};
    std::sort(t.begin(), t.end(), [](const Reverse& a, const Reverse& b) { return a.code < b.code; });
    return t;
  }();
  return table;
}

// The windows-1251 byte of c, or -1.
int ByteOf(char32_t c) {
  if (c < 0x80) return static_cast<int>(c);
  if (c >= 0x0410 && c <= 0x044F) return static_cast<int>(c - 0x0410 + 0xC0);
  if (c > 0xFFFF) return -1;
  const auto& t = ReverseTable();
  const auto it = std::lower_bound(t.begin(), t.end(), c, [](const Reverse& r, char32_t v) { return r.code < v; });
  return (it != t.end() && it->code == c) ? it->byte : -1;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// Decodes the character at text[i]. Returns its length in bytes (1..4), or 0
// when the bytes there are not valid UTF-8.
std::size_t DecodeUtf8(std::string_view text, std::size_t i, char32_t& c) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char b0 = byte(i);
  if (b0 < 0x80) {
    c = b0;
    return 1;
  }
  std::size_t len = 0;
  char32_t min = 0;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    len = 2;
    c = b0 & 0x1F;
    min = 0x80;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3;
    c = b0 & 0x0F;
    min = 0x800;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4;
    c = b0 & 0x07;
    min = 0x10000;
  } else {
    return 0;
  }
  if (text.size() - i < len) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    const unsigned char b = byte(i + k);
    if ((b & 0xC0) != 0x80) return 0;
    c = (c << 6) | (b & 0x3F);
  }
  if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  return len;
}

}  // namespace

std::size_t AsciiRun(std::string_view text, std::size_t from) {
  std::size_t i = from;
  // Eight bytes at a time while none has its top bit set.
  while (i + 8 <= text.size()) {
    std::uint64_t chunk = 0;
    std::memcpy(&chunk, text.data() + i, 8);
    if ((chunk & 0x8080808080808080ull) != 0) break;
    i += 8;
  }
  while (i < text.size() && static_cast<unsigned char>(text[i]) < 0x80) ++i;
  return i;
}

std::string Cp1251ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  for (const char ch : bytes) {
    const auto b = static_cast<unsigned char>(ch);
    if (b < 0x80) out.push_back(ch);
    else AppendUtf8(out, kHigh[b - 0x80]);
  }
  return out;
}

Cp1251Encoding Utf8ToCp1251(std::string_view utf8) {
  Cp1251Encoding r;
  r.bytes.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    if (static_cast<unsigned char>(utf8[i]) < 0x80) {
      r.bytes.push_back(utf8[i++]);
      continue;
    }
    char32_t c = 0;
    const std::size_t len = DecodeUtf8(utf8, i, c);
    if (len == 0) {
      r.errorOffset = i;
      r.errorChar = static_cast<unsigned char>(utf8[i]);
      r.invalidUtf8 = true;
      r.bytes.clear();
      return r;
    }
    const int b = ByteOf(c);
    if (b < 0) {
      r.errorOffset = i;
      r.errorChar = c;
      r.bytes.clear();
      return r;
    }
    r.bytes.push_back(static_cast<char>(b));
    i += len;
  }
  r.ok = true;
  return r;
}

bool AppendUtf8AsCp1251(std::string& out, std::string_view utf8) {
  const std::size_t before = out.size();
  const std::size_t n = utf8.size();
  // The bytes are never more than the UTF-8 text's.
  out.resize(before + n);
  char* dst = out.data() + before;
  std::size_t i = 0;
  while (i < n) {
    // A run of ASCII goes across in one piece.
    const std::size_t run = AsciiRun(utf8, i);
    std::memcpy(dst, utf8.data() + i, run - i);
    dst += run - i;
    i = run;
    while (i < n && static_cast<unsigned char>(utf8[i]) >= 0x80) {
      const auto b0 = static_cast<unsigned char>(utf8[i]);
      const auto b1 = i + 1 < n ? static_cast<unsigned char>(utf8[i + 1]) : 0;
      // А..я, the usual non-ASCII text, without the general decoder.
      if ((b0 == 0xD0 && b1 >= 0x90 && b1 <= 0xBF) || (b0 == 0xD1 && b1 >= 0x80 && b1 <= 0x8F)) {
        *dst++ = static_cast<char>((((b0 & 0x1Fu) << 6) | (b1 & 0x3Fu)) - 0x0410u + 0xC0u);
        i += 2;
        continue;
      }
      char32_t c = 0;
      const std::size_t len = DecodeUtf8(utf8, i, c);
      const int b = len == 0 ? -1 : ByteOf(c);
      if (b < 0) {
        out.resize(before);
        return false;
      }
      *dst++ = static_cast<char>(b);
      i += len;
    }
  }
  out.resize(static_cast<std::size_t>(dst - out.data()));
  return true;
}

bool IsCp1251Representable(std::string_view utf8) {
  std::size_t i = 0;
  while (i < utf8.size()) {
    char32_t c = 0;
    const std::size_t len = DecodeUtf8(utf8, i, c);
    if (len == 0 || ByteOf(c) < 0) return false;
    i += len;
  }
  return true;
}

bool IsValidUtf8(std::string_view text, bool* multiByte) {
  bool multi = false;
  std::size_t i = 0;
  while (i < text.size()) {
    char32_t c = 0;
    const std::size_t len = DecodeUtf8(text, i, c);
    if (len == 0) return false;
    multi = multi || len > 1;
    i += len;
  }
  if (multiByte != nullptr) *multiByte = multi;
  return true;
}

std::string DescribeCharacter(char32_t c) {
  char number[16];
  std::snprintf(number, sizeof number, "U+%04X", static_cast<unsigned>(c));
  const bool control = c < 0x20 || (c >= 0x7F && c <= 0x9F);
  if (control || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return number;
  std::string text = "'";
  AppendUtf8(text, c);
  text += "' (";
  text += number;
  text += ")";
  return text;
}

std::string Cp1251Encoding::Describe() const {
  if (ok) return {};
  if (invalidUtf8) {
    char text[64];
    std::snprintf(text, sizeof text, "байт 0x%02X, не образующий текст UTF-8", static_cast<unsigned>(errorChar));
    return text;
  }
  return "символ " + DescribeCharacter(errorChar) + ", которого нет в windows-1251";
}

}  // namespace vesk
