#include "memory/row_file.h"

#include <algorithm>

#include "format/bit_string.h"
#include "util/cp1251.h"
#include "util/text_file.h"
#include "util/text_line_reader.h"

namespace vesk {

std::string UpperAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

bool IsHexDigits(std::string_view s) {
  if (s.empty()) return false;
  for (const char c : s) {
    const bool hex = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    if (!hex) return false;
  }
  return true;
}

std::string BadWordWarning(int line, std::string_view field, const Word& value) {
  // Control characters would garble the message; show them as '?'.
  std::string shown(field);
  for (char& c : shown)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return "Строка " + std::to_string(line) + ": '" + Cp1251ToUtf8(shown) + "' - не шестнадцатеричное слово; записано " +
         BinToHex(value).str();
}

FileResult ReadRowFile(const std::string& path, int maxRows, const RowParser& parse, std::vector<RowLine>& rows) {
  FileResult r;
  rows.clear();
  // Line by line: only the rows kept are held, however long the file.
  TextLineReader file;
  std::string line;
  if (file.Open(path)) {
    while (static_cast<int>(rows.size()) < maxRows && file.Next(line))
      rows.push_back(parse(line, static_cast<int>(rows.size() + 1), r.warnings));
  }
  std::uint64_t extra = 0;
  if (file.failed() || !file.Skip(extra)) {
    rows.clear();
    r.warnings.clear();
    r.error = file.error();
    return r;
  }
  if (extra > 0) {
    r.warnings.push_back("Строк в файле: " + std::to_string(rows.size() + extra) + "; прочитаны первые " +
                         std::to_string(maxRows) + ", остальные (" + std::to_string(extra) + ") пропущены");
  }
  r.ok = true;
  r.lines = static_cast<int>(rows.size());
  return r;
}

bool RowFileBytes(const std::string& path, int count, const RowSource& row,
                  const std::function<std::string(int)>& rowName, std::string& text, std::string& error) {
  text.clear();
  text.reserve(static_cast<std::size_t>(count) * 8);
  for (int i = 0; i < count; ++i) {
    const auto [value, comment] = row(i);
    const auto refuse = [&](const std::string& why) {
      error = "Не удаётся сохранить '" + path + "': в комментарии " + rowName(i) + " есть " + why;
      text.clear();
      return false;
    };
    if (comment.find_first_of("\r\n") != std::string::npos) return refuse("перевод строки");
    const Cp1251Encoding enc = Utf8ToCp1251(comment);
    if (!enc.ok) return refuse(enc.Describe());
    text += BinToHex(value).view();
    text += enc.bytes;
    text += "\r\n";
  }
  return true;
}

FileResult WriteRowFile(const std::string& path, int count, const RowSource& row,
                        const std::function<std::string(int)>& rowName) {
  FileResult r;
  std::string text;
  if (!RowFileBytes(path, count, row, rowName, text, r.error)) return r;
  r.error = SaveTextFileAtomically(path, text);
  r.ok = r.error.empty();
  if (r.ok) r.lines = count;
  return r;
}

}  // namespace vesk
