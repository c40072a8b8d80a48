#include "util/text_file.h"

#include "util/atomic_file.h"
#include "util/cp1251.h"

namespace vesk {

std::vector<TextLine> SplitLines(std::string_view text) {
  std::vector<TextLine> lines;
  const std::size_t n = text.size();
  std::size_t begin = 0;
  while (begin < n) {
    // Scanning with find_first_of keeps one pass over the text, however long a line is.
    const std::size_t end = text.find_first_of("\r\n", begin);
    if (end == std::string_view::npos) {
      lines.push_back({begin, n - begin, 0});
      break;
    }
    std::size_t endLength = 1;
    if (text[end] == '\r' && end + 1 < n && text[end + 1] == '\n') endLength = 2;
    lines.push_back({begin, end - begin, endLength});
    begin = end + endLength;
  }
  return lines;
}

DecodedText FileTextToCp1251(std::string raw) {
  DecodedText r;
  constexpr std::string_view kMark = "\xEF\xBB\xBF";
  if (std::string_view(raw).substr(0, kMark.size()) != kMark) {
    r.ok = true;
    r.bytes = std::move(raw);
    return r;
  }
  r.wasUtf8 = true;
  const std::string_view text = std::string_view(raw).substr(kMark.size());
  Cp1251Encoding enc = Utf8ToCp1251(text);
  if (!enc.ok) {
    std::size_t line = 1;
    for (const TextLine& l : SplitLines(text)) {
      if (enc.errorOffset < l.begin + l.length + l.endLength) break;
      ++line;
    }
    r.error = "line " + std::to_string(line) + " holds " + enc.Describe();
    return r;
  }
  r.ok = true;
  r.bytes = std::move(enc.bytes);
  return r;
}

std::string SaveTextFileAtomically(const std::string& path, std::string_view bytes) {
  AtomicFileWriter file;
  if (std::string error = file.Open(path); !error.empty()) return error;
  file.Write(bytes);
  return file.Commit();
}

}  // namespace vesk
