// The cfg.ini reader and writer on arbitrary files. Checks that a value read
// is valid UTF-8 of at most 254 windows-1251 characters and does not depend on
// the ASCII case of the names; that a write either fails and leaves the file
// as it was, or reads back as written while every other value stays and every
// other line of the file stays byte for byte. The trace limits read from any
// file are within their range, and a note of a refused value is UTF-8.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/trace_limits.h"
#include "debug/history.h"
#include "util/ini_file.h"
#include "format/number_text.h"
#include "fuzz_support.h"
#include "util/cp1251.h"
#include "util/text_file.h"

using namespace vesk;
using vesk::fuzz::Require;

namespace {

// No value read can hold a line break, so this can only be the default.
const std::string kMissing = "\n(missing)";

using Name = std::pair<std::string, std::string>;

std::string Fold(std::string_view s) {
  std::string out(Trim(s));
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

bool SameKey(const Name& a, const Name& b) { return Fold(a.first) == Fold(b.first) && Fold(a.second) == Fold(b.second); }

// Names the fuzz input itself uses: the first "[...]" and the first "...=".
Name NamesFromInput(std::string_view input) {
  Name n{"General", "Mode"};
  const std::size_t open = input.find('[');
  if (open != std::string_view::npos) {
    const std::size_t close = input.find(']', open);
    if (close != std::string_view::npos && close - open <= 24) n.first = Cp1251ToUtf8(input.substr(open + 1, close - open - 1));
  }
  const std::size_t eq = input.find('=');
  if (eq != std::string_view::npos) {
    const std::size_t start = input.find_last_of("\r\n]", eq);
    const std::size_t from = start == std::string_view::npos ? 0 : start + 1;
    if (eq - from <= 24) n.second = Cp1251ToUtf8(input.substr(from, eq - from));
  }
  return n;
}

std::map<std::string, int> LineCounts(const std::string& bytes) {
  std::map<std::string, int> counts;
  for (const TextLine& l : SplitLines(bytes)) ++counts[bytes.substr(l.begin, l.length)];
  return counts;
}

// What a written value reads back as.
std::string ExpectedReadBack(std::string value) {
  for (char& c : value)
    if (c == '\r' || c == '\n') c = ' ';
  const Cp1251Encoding enc = Utf8ToCp1251(value);
  return Cp1251ToUtf8(Trim(enc.bytes).substr(0, kIniValueLimit));
}

void CheckWrite(const std::string& path, const std::vector<Name>& names, const Name& target, const std::string& value) {
  std::vector<std::string> before;
  for (const Name& n : names) before.push_back(ReadIni(path, n.first, n.second, kMissing));
  const std::string oldBytes = fuzz::ReadScratchFile(path);

  const bool written = WriteIni(path, target.first, target.second, value);
  const std::string newBytes = fuzz::ReadScratchFile(path);
  if (!written) {
    Require(newBytes == oldBytes, "a failed write leaves the file as it was");
    return;
  }
  Require(ReadIni(path, target.first, target.second, kMissing) == ExpectedReadBack(value), "a written value reads back");
  for (std::size_t i = 0; i < names.size(); ++i)
    if (!SameKey(names[i], target))
      Require(ReadIni(path, names[i].first, names[i].second, kMissing) == before[i], "other values stay");

  // Line by line in windows-1251, whichever encoding each file was in.
  const DecodedText oldText = FileTextToCp1251(oldBytes);
  const DecodedText newText = FileTextToCp1251(newBytes);
  Require(oldText.ok && newText.ok, "a file that was written reads");
  std::map<std::string, int> lost = LineCounts(oldText.bytes);
  for (const auto& [line, count] : LineCounts(newText.bytes)) {
    auto it = lost.find(line);
    if (it != lost.end()) it->second -= std::min(it->second, count);
  }
  int changed = 0;
  for (const auto& [line, count] : lost) changed += count;
  Require(changed <= 1, "a write changes at most the key's own line");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = fuzz::ScratchPath("cfg.ini");
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  fuzz::WriteScratchFile(path, data, size);

  const Name fromInput = NamesFromInput(input);
  const std::vector<Name> names = {{"General", "Mode"},       {"General", "Interval1"}, {"General", "Microprogram"},
                                   {"Windows", "MDIMainLeft"}, {"Windows", "MemTop"},    fromInput};
  for (const Name& n : names) {
    const std::string v = ReadIni(path, n.first, n.second, kMissing);
    if (v == kMissing) continue;
    Require(IsValidUtf8(v), "a value read is UTF-8");
    const Cp1251Encoding enc = Utf8ToCp1251(v);
    Require(enc.ok && enc.bytes.size() <= kIniValueLimit, "a value read is at most 254 characters");
    Require(ReadIni(path, Fold(n.first), n.second, kMissing) == v, "section names ignore ASCII case");
  }

  const TraceLimits limits = ReadTraceLimits(path);
  for (const std::int64_t lines : {limits.commandLines, limits.microLines})
    Require(lines >= 1 && lines <= kMaxTraceLines, "a trace limit is within its range");
  Require(limits.historyDepth >= History::kDefaultDepth && limits.historyDepth <= kMaxHistoryDepth,
          "the history depth is within its range");
  Require(IsValidUtf8(limits.note), "a note of a refused limit is UTF-8");
  Require(ParseTraceLines(input) == std::nullopt || ParseTraceLines(input) <= kMaxTraceLines, "a limit parsed is in range");

  // The value to write: the input's last bytes, line breaks and all.
  const std::string value = Cp1251ToUtf8(input.substr(input.size() > 300 ? input.size() - 300 : 0));
  CheckWrite(path, names, {"General", "Mode"}, value);
  CheckWrite(path, names, fromInput, value.substr(0, value.size() / 2));
  CheckWrite(path, names, {"New section", "Key"}, "v");
  return 0;
}
