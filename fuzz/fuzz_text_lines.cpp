// The line reader on arbitrary files, read in pieces of 1 to 16 bytes so that
// every line end, UTF-8 character and failure falls across a piece boundary
// somewhere. The whole text decoded and split at once is the reference: the
// same lines, offsets and line ends, the same failure naming the same line,
// and the same count of lines passed over.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "util/text_file.h"
#include "util/text_line_reader.h"

using namespace vesk;
using vesk::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  static const std::string path = fuzz::ScratchPath("lines.txt");
  const std::size_t chunk = 1 + data[0] % 16;
  const std::size_t keep = data[1] == 255 ? TextLineReader::kWhole : data[1] % 32;
  const std::size_t readBeforeSkip = data[2] % 8;
  const std::string contents(reinterpret_cast<const char*>(data + 3), size - 3);
  fuzz::WriteScratchFile(path, data + 3, size - 3);

  const DecodedText reference = FileTextToCp1251(contents);
  const std::vector<TextLine> lines = reference.ok ? SplitLines(reference.bytes) : std::vector<TextLine>{};

  TextLineReader reader(chunk);
  Require(reader.Open(path), "a regular file opens");
  Require(reader.wasUtf8() == reference.wasUtf8, "the same encoding");
  std::string line;
  TextLineInfo info;
  std::size_t i = 0;
  const bool skipping = data[2] >= 128;
  while ((!skipping || i < readBeforeSkip) && reader.Next(line, keep, &info)) {
    if (!reference.ok) continue;
    Require(i < lines.size(), "no more lines than the reference");
    const TextLine& l = lines[i];
    Require(info.begin == l.begin && info.length == l.length && info.endLength == l.endLength,
            "the same place, length and line end");
    Require(line == std::string_view(reference.bytes).substr(l.begin, std::min(l.length, keep)), "the same characters");
    ++i;
  }
  std::uint64_t skipped = 0;
  if (skipping && !reader.failed()) reader.Skip(skipped);
  if (!reference.ok) {
    Require(reader.failed(), "a text that cannot be decoded fails");
    Require(reader.error() == "Не удаётся прочитать '" + path + "': " + reference.error, "the failure names the same line");
    return 0;
  }
  Require(!reader.failed(), "a text that decodes reads");
  Require(i + skipped == lines.size(), "every line is read or counted");
  Require(reader.lineCount() == lines.size(), "the reader counts every line");
  return 0;
}
