// Small pieces both assemblers read their sources with.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vesk {

// A piece of a source line: bytes [offset, offset + length) of lineText.
struct SourceSpan {
  int line = 0;  // 1-based
  std::string_view lineText;
  std::size_t offset = 0;
  std::size_t length = 0;

  std::string_view text() const { return lineText.substr(offset, length); }
};

// The lines of a source, as the text files of the program split them (CR LF,
// LF or CR end a line), each without its line end.
std::vector<std::string_view> SourceLines(std::string_view source);

// 1-based character column of the byte at byteOffset of a UTF-8 line.
int CharacterColumn(std::string_view line, std::size_t byteOffset);

// Byte offset of the first byte that does not belong to valid UTF-8, or
// nothing when the whole text is UTF-8.
std::optional<std::size_t> FirstInvalidUtf8(std::string_view text);

// Blanks are spaces and tabs.
bool IsBlank(char c);
std::size_t SkipBlanks(std::string_view s, std::size_t from);

// ASCII letters, digits and '_', not starting with a digit.
bool IsLabelName(std::string_view s);
bool IsNameCharacter(char c);

// True when s is 1 or more hex digits (either case).
bool IsHexNumber(std::string_view s);
// The value of 1 to maxDigits hex digits (either case), or nothing.
std::optional<int> HexValue(std::string_view s, std::size_t maxDigits);

// "%0*X": upper-case hex, left-padded with zeros to digits.
std::string HexText(int value, int digits);

// ASCII upper-casing; other bytes stay.
std::string AsciiUpper(std::string_view s);

// The comment after its separator: one blank right after it is dropped, the
// rest is kept exactly as written.
std::string_view CommentAfterSeparator(std::string_view rest);

}  // namespace vesk
