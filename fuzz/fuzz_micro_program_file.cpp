// The micro-program reader on arbitrary files. Checks that every word stays
// 16 bits of '0'/'1', that nothing beyond the lines read (and never beyond 255
// words) changes, that row keys never change, that a failed load changes
// nothing and tells no listener, that each loaded row is what its line says,
// and that a loaded micro-program saves and loads back unchanged.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "format/bit_string.h"
#include "format/number_text.h"
#include "fuzz_support.h"
#include "memory/micro_program_file.h"
#include "memory/row_file.h"
#include "util/cp1251.h"
#include "util/text_file.h"

using namespace vesk;
using vesk::fuzz::Require;

namespace {

struct CountingListener : MicroMemoryListener {
  int bulk = 0;
  void microRowsChanged() override { ++bulk; }
};

Word PatternWord(int a) { return NumToBits(static_cast<std::uint32_t>(a * 251 + 3), 16); }

void FillPattern(MicroMemory& m) {
  for (int a = 1; a <= MicroMemory::kWords; ++a) m.SetRow(a, PatternWord(a), "keep " + std::to_string(a));
}

bool HoldsPattern(const MicroMemory& m, int a) {
  return m.Value(a) == PatternWord(a) && m.Comment(a) == "keep " + std::to_string(a);
}

void RequireKeys(const MicroMemory& m) {
  for (int a = 1; a <= MicroMemory::kWords; ++a) {
    const std::string& key = m.Key(a);
    const char* expected = a == 1 ? "new_cmd" : a == 2 ? "curr_cmd_addr_to_ar" : a == 6 ? "curr_cmd_in_cr" : "";
    Require(key == expected, "row keys never change");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = fuzz::ScratchPath("in.mpdmp");
  static const std::string copy = fuzz::ScratchPath("copy.mpdmp");
  fuzz::WriteScratchFile(path, data, size);

  MicroMemory m;
  FillPattern(m);
  CountingListener listener;
  m.listeners().add(&listener);
  const FileResult r = LoadMicroProgram(m, path);

  for (int a = 1; a <= MicroMemory::kWords; ++a) Require(IsBitString(m.Value(a), 16), "every word is 16 bits");
  RequireKeys(m);
  Require(m.Selected() == -1, "loading selects nothing");
  if (!r.ok) {
    Require(!r.error.empty() && r.lines == 0, "a failed load says why and loads nothing");
    Require(!FileTextToCp1251(std::string(reinterpret_cast<const char*>(data), size)).ok,
            "a load fails only for a text that cannot be decoded");
    Require(listener.bulk == 0, "a failed load tells no listener");
    for (int a = 1; a <= MicroMemory::kWords; ++a) Require(HoldsPattern(m, a), "a failed load changes nothing");
    return 0;
  }
  Require(listener.bulk == 1, "listeners hear of a load once");
  Require(r.lines >= 0 && r.lines <= MicroMemory::kWords, "at most 255 rows are loaded");
  for (int a = r.lines + 1; a <= MicroMemory::kWords; ++a) Require(HoldsPattern(m, a), "rows after the last line stay");

  // The whole text, split at once, is the reference for the reader's pieces.
  const DecodedText text = FileTextToCp1251(std::string(reinterpret_cast<const char*>(data), size));
  Require(text.ok, "the file reads as it did for the load");
  const std::vector<TextLine> lines = SplitLines(text.bytes);
  const auto lineAt = [&](int i) {
    return std::string_view(text.bytes).substr(lines[static_cast<std::size_t>(i)].begin,
                                               lines[static_cast<std::size_t>(i)].length);
  };
  Require(r.lines == static_cast<int>(std::min<std::size_t>(lines.size(), MicroMemory::kWords)), "one row per line");
  if (lines.size() > MicroMemory::kWords)
    Require(!r.warnings.empty() && r.warnings.back().find("Строк в файле: " + std::to_string(lines.size()) + ";") == 0,
            "the lines passed over are counted");
  for (int a = 1; a <= r.lines; ++a) {
    const std::string_view line = lineAt(a - 1);
    const std::string_view field = line.substr(0, 4);
    const std::string_view digits = Trim(field);
    if (field.size() == 4 && IsHexDigits(digits))
      Require(BinToHex(m.Value(a)) == FitWidth(UpperAscii(digits), 4), "the trimmed hex digits are the word");
    Require(m.Comment(a) == Cp1251ToUtf8(line.substr(field.size())), "the rest of the line is the comment");
  }

  const FileResult saved = SaveMicroProgram(m, copy);
  Require(saved.ok && saved.lines == MicroMemory::kWords, "a loaded micro-program saves");
  MicroMemory again;
  const FileResult reloaded = LoadMicroProgram(again, copy);
  Require(reloaded.ok && reloaded.warnings.empty() && reloaded.lines == MicroMemory::kWords,
          "a saved micro-program loads cleanly");
  for (int a = 1; a <= MicroMemory::kWords; ++a)
    Require(again.Value(a) == m.Value(a) && again.Comment(a) == m.Comment(a), "save and load round-trip");
  return 0;
}
