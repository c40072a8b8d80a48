#include "common/file_io.h"

#include <algorithm>
#include <fstream>
#include <ostream>
#include <sstream>

#include "util/atomic_file.h"

namespace vesk::tools {

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return bytes.str();
}

std::string WriteWholeFile(const std::string& path, const std::string& bytes) {
  AtomicFileWriter writer;
  if (std::string error = writer.Open(path); !error.empty()) return error;
  writer.Write(bytes);
  return writer.Commit();
}

std::string FirstDifference(const std::string& expected, const std::string& actual) {
  if (expected == actual) return {};
  std::size_t line = 1;
  const std::size_t n = std::min(expected.size(), actual.size());
  for (std::size_t i = 0; i < n; ++i) {
    if (expected[i] != actual[i]) return "line " + std::to_string(line) + " differs";
    if (expected[i] == '\n') ++line;
  }
  return "line " + std::to_string(line) + ": one file ends early (" + std::to_string(expected.size()) + " and " +
         std::to_string(actual.size()) + " bytes)";
}

int WriteOrCheck(const std::string& tool, const std::string& sourcePath, bool check, const std::string& target,
                 const std::string& bytes, std::ostream& err) {
  if (!check) {
    const std::string error = WriteWholeFile(target, bytes);
    if (error.empty()) return 0;
    err << tool << ": " << error << "\n";
    return 2;
  }
  const auto existing = ReadWholeFile(target);
  if (!existing) {
    err << tool << ": cannot read " << target << "\n";
    return 2;
  }
  const std::string difference = FirstDifference(bytes, *existing);
  if (difference.empty()) return 0;
  err << tool << ": " << target << " is not what " << sourcePath << " assembles to: " << difference << "\n";
  return 1;
}

}  // namespace vesk::tools
