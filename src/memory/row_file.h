// What the memory dump and the micro-program file share: one word per line,
// written as four upper-case hex digits followed by the word's comment.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "format/word.h"
#include "util/file_result.h"

namespace vesk {

struct RowLine {
  Word value;           // 16 characters of '0'/'1'
  std::string comment;  // UTF-8
};

// Turns line `number` (1-based, windows-1251 bytes) into a row, adding a
// warning when the line is not what the writer would have written.
using RowParser = std::function<RowLine(std::string_view line, int number, std::vector<std::string>& warnings)>;

// Reads the file and parses its first maxRows lines into rows; later lines are
// ignored with a warning. Nothing is applied here, so a caller that gets
// ok == false has nothing to undo.
FileResult ReadRowFile(const std::string& path, int maxRows, const RowParser& parse, std::vector<RowLine>& rows);

// Row i of a file to write: its value (a bit string) and comment.
using RowSource = std::function<std::pair<Word, const std::string&>(int)>;

// Writes count lines, row i giving value and comment, with CR LF ends in
// windows-1251. A comment with a line break or a character windows-1251
// cannot hold stops the save before the file is touched; rowName(i) names
// the row in that message.
FileResult WriteRowFile(const std::string& path, int count, const RowSource& row,
                        const std::function<std::string(int)>& rowName);

// The bytes WriteRowFile would write, in text; false, with the reason in
// error, when a comment cannot be saved.
bool RowFileBytes(const std::string& path, int count, const RowSource& row,
                  const std::function<std::string(int)>& rowName, std::string& text, std::string& error);

// ASCII upper-casing; other bytes stay.
std::string UpperAscii(std::string_view s);

// True when s is non-empty and made of 0-9, A-F and a-f only.
bool IsHexDigits(std::string_view s);

// "Строка 7: 'x1' - не шестнадцатеричное слово; записано 0001".
std::string BadWordWarning(int line, std::string_view field, const Word& value);

}  // namespace vesk
