#include "golden/golden_records.h"

#include <zlib.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "golden/machine_cases.h"
#include "golden/runner_cases.h"

namespace vesk::golden {

namespace {

constexpr std::string_view kHeader = "vesk recorded machine cases 1\n";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  while (from < text.size()) {
    std::size_t end = text.find('\n', from);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(from, end - from);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    from = end + 1;
  }
  return lines;
}

}  // namespace

std::string RecordCase(int index, const std::string& folder) {
  return index < kRunnerCases ? RecordRunnerCase(index, folder) : RecordMachineCase(index - kRunnerCases, folder);
}

std::string WriteRecords(const std::string& path, const std::map<int, std::string>& records) {
  std::string out(kHeader);
  for (const auto& [index, text] : records) {
    uLongf packedSize = compressBound(text.size());
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(text.data()),
                  text.size(), 9) != Z_OK)
      return "cannot compress case " + std::to_string(index);
    packed.resize(packedSize);
    out += "case " + std::to_string(index) + " " + std::to_string(text.size()) + " " + std::to_string(packed.size()) + "\n";
    out += packed;
  }
  const std::string temporary = path + ".new";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file << out;
    if (!file.flush()) return "cannot write " + temporary;
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) return "cannot replace " + path;
  return {};
}

std::string ReadRecords(const std::string& path, std::map<int, std::string>& records) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return "cannot read " + path;
  std::ostringstream s;
  s << file.rdbuf();
  const std::string bytes = s.str();
  if (bytes.compare(0, kHeader.size(), kHeader) != 0) return path + " is not a file of recorded cases";
  std::size_t at = kHeader.size();
  while (at < bytes.size()) {
    const std::size_t end = bytes.find('\n', at);
    if (end == std::string::npos) return "truncated case header in " + path;
    std::istringstream header(bytes.substr(at, end - at));
    std::string word;
    int index = -1;
    std::size_t raw = 0, packed = 0;
    if (!(header >> word >> index >> raw >> packed) || word != "case") return "bad case header in " + path;
    at = end + 1;
    if (packed > bytes.size() - at) return "truncated case " + std::to_string(index) + " in " + path;
    std::string text(raw, '\0');
    uLongf size = raw;
    if (uncompress(reinterpret_cast<Bytef*>(text.data()), &size, reinterpret_cast<const Bytef*>(bytes.data() + at),
                   packed) != Z_OK ||
        size != raw)
      return "case " + std::to_string(index) + " in " + path + " does not decompress";
    records[index] = std::move(text);
    at += packed;
  }
  return {};
}

std::string DescribeDifference(const std::string& expected, const std::string& actual) {
  const std::vector<std::string> a = Lines(expected), b = Lines(actual);
  std::size_t first = 0;
  while (first < a.size() && first < b.size() && a[first] == b[first]) ++first;
  std::string section = "(start)";
  for (std::size_t i = 0; i < first && i < a.size(); ++i)
    if (a[i].rfind("## ", 0) == 0) section = a[i];
  std::ostringstream out;
  out << "records part at line " << first + 1 << " (expected " << a.size() << " lines, got " << b.size()
      << "), in section " << section << ":\n";
  const std::size_t from = first >= 3 ? first - 3 : 0;
  for (std::size_t i = from; i < first; ++i) out << "    " << a[i] << "\n";
  for (std::size_t i = first; i < first + 6 && i < a.size(); ++i) out << "  - " << a[i] << "\n";
  for (std::size_t i = first; i < first + 6 && i < b.size(); ++i) out << "  + " << b[i] << "\n";
  // How many lines differ in all, compared line by line from the end too.
  std::size_t tail = 0;
  while (tail < a.size() - first && tail < b.size() - first && a[a.size() - 1 - tail] == b[b.size() - 1 - tail]) ++tail;
  out << "  (" << a.size() - first - tail << " expected lines and " << b.size() - first - tail
      << " new lines differ before the common end)\n";
  return out.str();
}

}  // namespace vesk::golden
