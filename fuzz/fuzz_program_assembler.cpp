// The program assembler on arbitrary text. Checks that the error list is
// bounded and every error points into the source with a message; that an
// assembly without errors starts inside memory and keeps only comments a dump
// can hold; that its listing has a row per line; and that the memory it makes,
// and a memory made of the input bytes, come back exactly through the
// disassembler.
#include <cstddef>
#include <cstdint>
#include <string>

#include "asm_fuzz_checks.h"
#include "asm/disassembler.h"
#include "asm/listing.h"
#include "asm/source_text.h"
#include "fuzz_support.h"
#include "util/cp1251.h"

using namespace vesk;
using vesk::fuzz::Require;

namespace {

void RequireSameImage(const ProgramImage& a, const ProgramImage& b, std::string_view what) {
  for (std::size_t i = 0; i < a.words.size(); ++i)
    Require(a.words[i] == b.words[i] && a.comments[i] == b.comments[i], what);
}

void RequireRoundTrip(const ProgramImage& image, int start) {
  const ProgramAssembly back = AssembleProgram(DisassembleProgram(image, start));
  Require(back.ok(), "a disassembly assembles");
  Require(back.start == start, "a disassembly keeps the start");
  RequireSameImage(ImageOf(back, ProgramImage(), true), image, "a disassembly gives the memory back");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view source(reinterpret_cast<const char*>(data), size);
  const ProgramAssembly p = AssembleProgram(source);
  const std::size_t lines = SourceLines(source).size();

  fuzz::RequireSoundErrors(p.errors, lines);
  Require(ProgramListingRows(p, source).size() == lines, "the listing has a row per line");
  if (!p.ok()) return 0;

  Require(p.start >= 0 && p.start < ProgramAssembly::kWords, "the program starts inside memory");
  for (const AssembledWord& w : p.words) {
    Require(!w.used || (w.line >= 1 && static_cast<std::size_t>(w.line) <= lines), "a word names its line");
    Require(w.used || (w.word == 0 && w.comment.empty()), "unused words stay empty");
    Require(IsCp1251Representable(w.comment) && w.comment.find_first_of("\r\n") == std::string::npos,
            "comments fit a dump");
  }
  RequireRoundTrip(ImageOf(p, ProgramImage(), true), p.start);

  // The input's bytes as a memory: words from pairs of bytes, comments from
  // runs of bytes between line breaks.
  ProgramImage raw;
  for (std::size_t i = 0; i + 1 < size && i / 2 < raw.words.size(); i += 2)
    raw.words[i / 2] = static_cast<std::uint16_t>(data[i] << 8 | data[i + 1]);
  fuzz::CommentsFromBytes(data, size, raw.comments, 0);
  RequireRoundTrip(raw, size > 0 ? (data[0] << 3 | (size & 7)) & 0x7FF : 0);
  return 0;
}
