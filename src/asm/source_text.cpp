#include "asm/source_text.h"

#include <cstdint>
#include <cstdio>

#include "util/text_file.h"

namespace vesk {

std::vector<std::string_view> SourceLines(std::string_view source) {
  std::vector<std::string_view> lines;
  for (const TextLine& l : SplitLines(source)) lines.push_back(source.substr(l.begin, l.length));
  return lines;
}

int CharacterColumn(std::string_view line, std::size_t byteOffset) {
  int column = 1;
  const std::size_t end = byteOffset < line.size() ? byteOffset : line.size();
  for (std::size_t i = 0; i < end; ++i)
    if ((static_cast<unsigned char>(line[i]) & 0xC0) != 0x80) ++column;
  return column;
}

std::optional<std::size_t> FirstInvalidUtf8(std::string_view text) {
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    std::size_t length;
    std::uint32_t cp;
    if (c >= 0xC2 && c <= 0xDF) length = 2, cp = c & 0x1F;
    else if (c >= 0xE0 && c <= 0xEF) length = 3, cp = c & 0x0F;
    else if (c >= 0xF0 && c <= 0xF4) length = 4, cp = c & 0x07;
    else return i;
    if (i + length > n) return i;
    for (std::size_t k = 1; k < length; ++k) {
      const unsigned char t = static_cast<unsigned char>(text[i + k]);
      if ((t & 0xC0) != 0x80) return i;
      cp = (cp << 6) | (t & 0x3F);
    }
    const bool overlong = (length == 3 && cp < 0x800) || (length == 4 && cp < 0x10000);
    if (overlong || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) return i;
    i += length;
  }
  return std::nullopt;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::size_t SkipBlanks(std::string_view s, std::size_t from) {
  while (from < s.size() && IsBlank(s[from])) ++from;
  return from;
}

bool IsNameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool IsLabelName(std::string_view s) {
  if (s.empty() || (s[0] >= '0' && s[0] <= '9')) return false;
  for (const char c : s)
    if (!IsNameCharacter(c)) return false;
  return true;
}

namespace {
int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}
}  // namespace

bool IsHexNumber(std::string_view s) {
  if (s.empty()) return false;
  for (const char c : s)
    if (HexDigit(c) < 0) return false;
  return true;
}

std::optional<int> HexValue(std::string_view s, std::size_t maxDigits) {
  if (s.empty() || s.size() > maxDigits || !IsHexNumber(s)) return std::nullopt;
  int v = 0;
  for (const char c : s) v = v * 16 + HexDigit(c);
  return v;
}

std::string HexText(int value, int digits) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%0*X", digits, static_cast<unsigned>(value));
  return buffer;
}

std::string AsciiUpper(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::string_view CommentAfterSeparator(std::string_view rest) {
  if (!rest.empty() && IsBlank(rest[0])) rest.remove_prefix(1);
  return rest;
}

}  // namespace vesk
