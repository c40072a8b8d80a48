#include "memory/dump_file.h"

#include "format/bit_string.h"
#include "memory/row_file.h"
#include "util/cp1251.h"

namespace vesk {

namespace {

RowSource Rows(const MainMemory& memory) {
  return [&memory](int a) { return std::pair<Word, const std::string&>(memory.Value(a), memory.Comment(a)); };
}

std::string RowName(int a) { return "адреса " + MainMemory::AddressText(a); }

}  // namespace

FileResult Mem_SaveDump(const MainMemory& memory, const std::string& fileName) {
  return WriteRowFile(fileName, MainMemory::kWords, Rows(memory), RowName);
}

bool Mem_DumpBytes(const MainMemory& memory, const std::string& fileName, std::string& bytes, std::string& error) {
  return RowFileBytes(fileName, MainMemory::kWords, Rows(memory), RowName, bytes, error);
}

FileResult Mem_LoadDump(MainMemory& memory, const std::string& fileName) {
  std::vector<RowLine> rows;
  FileResult r = ReadRowFile(
      fileName, MainMemory::kWords,
      [](std::string_view line, int number, std::vector<std::string>& warnings) {
        const std::string_view field = line.substr(0, 4);
        RowLine row{FitWidth(HexToBin(UpperAscii(field)), 16), Cp1251ToUtf8(line.substr(field.size()))};
        if (field.size() < 4 || !IsHexDigits(field)) warnings.push_back(BadWordWarning(number, field, row.value));
        return row;
      },
      rows);
  if (!r.ok) return r;
  // Each comment read is let go once stored, so the largest comments are held once, not twice.
  for (std::size_t i = 0; i < rows.size(); ++i) {
    memory.SetRow(static_cast<int>(i), rows[i].value, rows[i].comment);
    std::string().swap(rows[i].comment);
  }
  return r;
}

}  // namespace vesk
