// The memory dump reader on arbitrary files. Checks that every word stays 16
// bits of '0'/'1', that nothing beyond the lines read (and never beyond 2048
// words) changes, that a failed load changes nothing, that each loaded row is
// what its line says, and that a loaded memory saves and loads back unchanged.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "format/bit_string.h"
#include "fuzz_support.h"
#include "memory/dump_file.h"
#include "memory/row_file.h"
#include "util/cp1251.h"
#include "util/text_file.h"

using namespace vesk;
using vesk::fuzz::Require;

namespace {

// Distinct words and comments, so that any row the load touches shows.
Word PatternWord(int a) { return NumToBits(static_cast<std::uint32_t>(a * 37 + 5), 16); }

void FillPattern(MainMemory& m) {
  for (int a = 0; a < MainMemory::kWords; ++a) m.SetRow(a, PatternWord(a), "keep " + std::to_string(a));
}

bool HoldsPattern(const MainMemory& m, int a) {
  return m.Value(a) == PatternWord(a) && m.Comment(a) == "keep " + std::to_string(a);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = fuzz::ScratchPath("in.vdmp");
  static const std::string copy = fuzz::ScratchPath("copy.vdmp");
  fuzz::WriteScratchFile(path, data, size);

  // One memory for all runs, put back to the pattern after each: refilling
  // 2048 rows every time would halve the fuzzer's speed.
  static MainMemory m = [] {
    MainMemory fresh;
    FillPattern(fresh);
    return fresh;
  }();
  const FileResult r = Mem_LoadDump(m, path);
  struct Restore {
    MainMemory& m;
    int rows;
    ~Restore() {
      for (int a = 0; a < rows; ++a) m.SetRow(a, PatternWord(a), "keep " + std::to_string(a));
    }
  } restore{m, r.lines};

  for (int a = 0; a < MainMemory::kWords; ++a) Require(IsBitString(m.Value(a), 16), "every word is 16 bits");
  if (!r.ok) {
    Require(!r.error.empty() && r.lines == 0, "a failed load says why and loads nothing");
    Require(!FileTextToCp1251(std::string(reinterpret_cast<const char*>(data), size)).ok,
            "a load fails only for a text that cannot be decoded");
    for (int a = 0; a < MainMemory::kWords; ++a) Require(HoldsPattern(m, a), "a failed load changes nothing");
    return 0;
  }
  Require(r.lines >= 0 && r.lines <= MainMemory::kWords, "at most 2048 rows are loaded");
  for (int a = r.lines; a < MainMemory::kWords; ++a) Require(HoldsPattern(m, a), "rows after the last line stay");

  // The whole text, split at once, is the reference for the reader's pieces.
  const DecodedText text = FileTextToCp1251(std::string(reinterpret_cast<const char*>(data), size));
  Require(text.ok, "the file reads as it did for the load");
  const std::vector<TextLine> lines = SplitLines(text.bytes);
  const auto lineAt = [&](int i) {
    return std::string_view(text.bytes).substr(lines[static_cast<std::size_t>(i)].begin,
                                               lines[static_cast<std::size_t>(i)].length);
  };
  Require(r.lines == static_cast<int>(std::min<std::size_t>(lines.size(), MainMemory::kWords)), "one row per line");
  if (lines.size() > MainMemory::kWords)
    Require(!r.warnings.empty() && r.warnings.back().find("Строк в файле: " + std::to_string(lines.size()) + ";") == 0,
            "the lines passed over are counted");
  for (int a = 0; a < r.lines; ++a) {
    const std::string_view line = lineAt(a);
    const std::string_view field = line.substr(0, 4);
    if (field.size() == 4 && IsHexDigits(field))
      Require(BinToHex(m.Value(a)) == UpperAscii(field), "four hex digits are the word");
    Require(m.Comment(a) == Cp1251ToUtf8(line.substr(field.size())), "the rest of the line is the comment");
    Require(IsCp1251Representable(m.Comment(a)), "a loaded comment can be saved");
  }

  // The save and reload of 2048 rows costs more than the rest together, and
  // the micro-program fuzzer runs the same writer and reader code on every
  // input; here one input in eight is enough.
  if (std::hash<std::string_view>()(std::string_view(reinterpret_cast<const char*>(data), size)) % 8 != 0) return 0;
  const FileResult saved = Mem_SaveDump(m, copy);
  Require(saved.ok && saved.lines == MainMemory::kWords, "a loaded memory saves");
  MainMemory again;
  const FileResult reloaded = Mem_LoadDump(again, copy);
  Require(reloaded.ok && reloaded.warnings.empty() && reloaded.lines == MainMemory::kWords, "a saved dump loads cleanly");
  for (int a = 0; a < MainMemory::kWords; ++a)
    Require(again.Value(a) == m.Value(a) && again.Comment(a) == m.Comment(a), "save and load round-trip");
  return 0;
}
