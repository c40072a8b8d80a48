#include "memory/micro_program_file.h"

#include "format/bit_string.h"
#include "format/number_text.h"
#include "memory/row_file.h"
#include "util/cp1251.h"

namespace vesk {

FileResult SaveMicroProgram(const MicroMemory& memory, const std::string& fileName) {
  return WriteRowFile(
      fileName, MicroMemory::kWords,
      [&](int i) { return std::pair<Word, const std::string&>(memory.Value(i + 1), memory.Comment(i + 1)); },
      [](int i) { return "адреса " + MicroMemory::AddressText(i + 1); });
}

FileResult LoadMicroProgram(MicroMemory& memory, const std::string& fileName) {
  std::vector<RowLine> rows;
  FileResult r = ReadRowFile(
      fileName, MicroMemory::kWords,
      [](std::string_view line, int number, std::vector<std::string>& warnings) {
        const std::string_view field = line.substr(0, 4);
        const std::string digits = UpperAscii(Trim(field));
        RowLine row{FitWidth(HexToBin(FitWidth(digits, 4)), 16), Cp1251ToUtf8(line.substr(field.size()))};
        // A field of blanks alone is a padded zero; anything else must be hex digits.
        const bool good = field.size() == 4 && (digits.empty() || IsHexDigits(digits));
        if (!good) warnings.push_back(BadWordWarning(number, field, row.value));
        return row;
      },
      rows);
  if (!r.ok) return r;
  // Each comment read is let go once stored, so the largest comments are held once, not twice.
  for (std::size_t i = 0; i < rows.size(); ++i) {
    memory.SetRow(static_cast<int>(i + 1), rows[i].value, rows[i].comment);
    std::string().swap(rows[i].comment);
  }
  memory.notifyRowsChanged();
  return r;
}

}  // namespace vesk
