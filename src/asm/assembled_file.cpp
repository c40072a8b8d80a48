#include "asm/assembled_file.h"

#include "asm/source_text.h"
#include "util/cp1251.h"

namespace vesk {

namespace {
// The assembler refused comments windows-1251 cannot hold, so every comment
// converts; one that did not would be left out rather than written wrongly.
std::string RowFileBytes(const std::vector<AssembledWord>& words, std::size_t first) {
  std::string out;
  out.reserve((words.size() - first) * 8);
  for (std::size_t a = first; a < words.size(); ++a) {
    out += HexText(words[a].word, 4);
    AppendUtf8AsCp1251(out, words[a].comment);
    out += "\r\n";
  }
  return out;
}
}  // namespace

std::string DumpFileBytes(const ProgramAssembly& assembly) { return RowFileBytes(assembly.words, 0); }

std::string MicroProgramFileBytes(const MicroAssembly& assembly) { return RowFileBytes(assembly.rows, 1); }

}  // namespace vesk
