#include "asm/listing.h"

#include "asm/source_text.h"

namespace vesk {

namespace {
std::vector<ListingRow> Rows(const std::vector<AssembledWord>& words, std::string_view source) {
  const std::vector<std::string_view> lines = SourceLines(source);
  std::vector<ListingRow> rows(lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    rows[i].line = static_cast<int>(i) + 1;
    rows[i].text = lines[i];
  }
  for (std::size_t a = 0; a < words.size(); ++a) {
    const AssembledWord& w = words[a];
    if (!w.used || w.line < 1 || static_cast<std::size_t>(w.line) > rows.size()) continue;
    rows[static_cast<std::size_t>(w.line) - 1].address = static_cast<int>(a);
    rows[static_cast<std::size_t>(w.line) - 1].word = w.word;
  }
  return rows;
}
}  // namespace

std::vector<ListingRow> ProgramListingRows(const ProgramAssembly& assembly, std::string_view source) {
  return Rows(assembly.words, source);
}

std::vector<ListingRow> MicroListingRows(const MicroAssembly& assembly, std::string_view source) {
  return Rows(assembly.rows, source);
}

std::string ListingText(const std::vector<ListingRow>& rows, int addressDigits) {
  std::string out;
  const std::string blank(static_cast<std::size_t>(addressDigits) + 8, ' ');
  for (const ListingRow& r : rows) {
    out += r.address < 0 ? blank : HexText(r.address, addressDigits) + "  " + HexText(r.word, 4) + "  ";
    out += r.text;
    out += "\n";
  }
  return out;
}

}  // namespace vesk
