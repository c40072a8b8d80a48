// The micro-assembler on arbitrary text. Checks that the error list is
// bounded and every error points into the source with a message; that a
// micro-program without errors keeps only comments a file can hold; and that
// the micro-memory it makes, and one made of the input bytes, come back
// exactly through the disassembler, as do the input's words one by one.
#include <cstddef>
#include <cstdint>
#include <string>

#include "asm_fuzz_checks.h"
#include "asm/disassembler.h"
#include "asm/listing.h"
#include "asm/micro_operation.h"
#include "asm/source_text.h"
#include "fuzz_support.h"
#include "util/cp1251.h"

using namespace vesk;
using vesk::fuzz::Require;

namespace {

void RequireRoundTrip(const MicroImage& image) {
  const MicroAssembly back = AssembleMicroProgram(DisassembleMicroProgram(image));
  Require(back.ok(), "a disassembly assembles");
  const MicroImage again = ImageOf(back, MicroImage(), true);
  for (std::size_t a = 1; a < image.words.size(); ++a)
    Require(again.words[a] == image.words[a] && again.comments[a] == image.comments[a],
            "a disassembly gives the micro-memory back");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view source(reinterpret_cast<const char*>(data), size);
  const MicroAssembly p = AssembleMicroProgram(source);
  const std::size_t lines = SourceLines(source).size();

  fuzz::RequireSoundErrors(p.errors, lines);
  Require(MicroListingRows(p, source).size() == lines, "the listing has a row per line");

  // Every word of the input has a text that assembles back to it.
  for (std::size_t i = 0; i + 1 < size && i < 512; i += 2) {
    const auto word = static_cast<std::uint16_t>(data[i] << 8 | data[i + 1]);
    const std::string text = MicroOperationText(word);
    AsmErrorList errors;
    const auto back = ParseMicroOperation(SourceSpan{1, text, 0, text.size()}, {}, errors);
    Require(back && *back == word, "a word's text assembles back to the word");
  }

  if (p.ok()) {
    Require(p.rows[0].word == 0 && !p.rows[0].used, "there is no micro-address 00");
    for (const AssembledWord& w : p.rows)
      Require(IsCp1251Representable(w.comment) && w.comment.find_first_of("\r\n") == std::string::npos,
              "comments fit a micro-program file");
    RequireRoundTrip(ImageOf(p, MicroImage(), true));
  }

  MicroImage raw;
  for (std::size_t i = 0; i + 1 < size && i / 2 + 1 < raw.words.size(); i += 2)
    raw.words[i / 2 + 1] = static_cast<std::uint16_t>(data[i] << 8 | data[i + 1]);
  fuzz::CommentsFromBytes(data, size, raw.comments, 1);
  RequireRoundTrip(raw);
  return 0;
}
