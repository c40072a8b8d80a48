#include "golden/case_record.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "util/cp1251.h"

namespace vesk::golden {

void CaseRecord::file(std::string_view name, const std::string& bytes) {
  section(name);
  text_ += Cp1251ToUtf8(bytes);
  if (!bytes.empty() && bytes.back() != '\n') text_ += '\n';
}

void CaseRecord::fileAt(std::string_view name, const std::string& path, bool fixStartTime) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    section(name);
    line("(no file)");
    return;
  }
  std::ostringstream s;
  s << in.rdbuf();
  file(name, fixStartTime ? WithFixedStartTime(s.str()) : s.str());
}

std::string WithFixedStartTime(std::string text) {
  static constexpr std::string_view kStart = " --- Program has started ";
  static constexpr std::size_t kStampLength = 22;  // mm-dd-yyyy at hh:mm:ss
  for (std::size_t at = text.find(kStart); at != std::string::npos; at = text.find(kStart, at + 1)) {
    const std::size_t stamp = at + kStart.size();
    if (stamp + kStampLength <= text.size()) text.replace(stamp, kStampLength, "MM-DD-YYYY at hh:mm:ss");
  }
  return text;
}

}  // namespace vesk::golden
