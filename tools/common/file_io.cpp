#include "common/file_io.h"

#include <algorithm>
#include <fstream>
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

}  // namespace vesk::tools
