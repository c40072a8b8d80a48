// Conversion between windows-1251 bytes (the code page of every file the
// program reads and writes) and UTF-8 (the program's own text).
//
// Every byte decodes: 0x98, which windows-1251 leaves undefined, decodes to
// U+0098 and encodes back to 0x98, so reading a file and writing it again
// loses nothing. Encoding fails for a character the code page cannot hold and
// for text that is not valid UTF-8; the failure says which character and where.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vesk {

// One character per byte; the result is always valid UTF-8.
std::string Cp1251ToUtf8(std::string_view bytes);

struct Cp1251Encoding {
  bool ok = false;
  std::string bytes;             // the windows-1251 text when ok
  std::size_t errorOffset = 0;   // byte offset in the UTF-8 input of the failing character
  char32_t errorChar = 0;        // the character windows-1251 cannot hold
  bool invalidUtf8 = false;      // the input is not UTF-8 at errorOffset

  // "символ '中' (U+4E2D), которого нет в windows-1251" or
  // "байт 0xFF, не образующий текст UTF-8"; messages put it after "есть".
  std::string Describe() const;
};

Cp1251Encoding Utf8ToCp1251(std::string_view utf8);

// Appends the windows-1251 bytes of utf8 to out; false (out unchanged) when
// Utf8ToCp1251 would fail. For writers that convert many short texts.
bool AppendUtf8AsCp1251(std::string& out, std::string_view utf8);

// The end of the run of ASCII bytes (below 0x80) that starts at `from`.
std::size_t AsciiRun(std::string_view text, std::size_t from);

// True when utf8 is valid UTF-8 and every character has a windows-1251 byte;
// for editors that refuse such input as it is typed.
bool IsCp1251Representable(std::string_view utf8);

// Valid UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF)?
// multiByte, when given, tells whether any character takes two or more bytes.
bool IsValidUtf8(std::string_view text, bool* multiByte = nullptr);

// A character for a message: "'Ж' (U+0416)"; a control character shows only
// its number ("U+0000").
std::string DescribeCharacter(char32_t c);

}  // namespace vesk
