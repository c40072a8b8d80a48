// The windows-1251 conversion and the file-encoding choice on arbitrary bytes:
// decoding always gives valid UTF-8 that encodes back to the same bytes;
// encoding never crashes, succeeds exactly for representable text, and what it
// gives decodes back to the input.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "util/cp1251.h"
#include "util/text_file.h"

using namespace vesk;
using vesk::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  const std::string utf8 = Cp1251ToUtf8(input);
  Require(IsValidUtf8(utf8), "decoded text is valid UTF-8");
  Require(IsCp1251Representable(utf8), "decoded text is representable");
  const Cp1251Encoding back = Utf8ToCp1251(utf8);
  Require(back.ok && back.bytes == input, "decode then encode gives the bytes back");

  const Cp1251Encoding enc = Utf8ToCp1251(input);
  Require(enc.ok == IsCp1251Representable(input), "encoding succeeds exactly for representable text");
  if (enc.ok) {
    Require(Cp1251ToUtf8(enc.bytes) == input, "encode then decode gives the text back");
  } else {
    Require(enc.errorOffset < input.size(), "the failure points into the input");
    Require(enc.bytes.empty(), "a failed encoding gives no bytes");
    Require(!enc.Describe().empty(), "a failure has a description");
  }

  const DecodedText file = FileTextToCp1251(std::string(input));
  const bool marked = input.substr(0, 3) == "\xEF\xBB\xBF";
  Require(file.wasUtf8 == marked, "UTF-8 is chosen exactly for a text that starts with the byte-order mark");
  if (!marked) Require(file.ok && file.bytes == input, "a windows-1251 file is taken as it is");
  const std::string_view withoutMark = marked ? input.substr(3) : input;
  Require(file.ok == (!marked || IsCp1251Representable(withoutMark)),
          "a UTF-8 file fails exactly for a character windows-1251 cannot hold");
  if (file.ok && marked) Require(Cp1251ToUtf8(file.bytes) == withoutMark, "a UTF-8 file loses nothing");
  if (!file.ok) Require(file.error.rfind("в строке ", 0) == 0, "the failure names the line");

  std::size_t covered = 0;
  for (const TextLine& l : SplitLines(input)) {
    Require(l.begin == covered, "lines follow each other");
    Require(input.substr(l.begin, l.length).find_first_of("\r\n") == std::string_view::npos, "no line end inside a line");
    covered = l.begin + l.length + l.endLength;
  }
  Require(covered == input.size(), "the lines cover the whole text");
  return 0;
}
