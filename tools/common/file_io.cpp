#include "common/file_io.h"

#include <algorithm>
#include <ostream>

#include "util/atomic_file.h"
#include "util/text_file.h"

namespace vesk::tools {

std::optional<std::string> ReadWholeFile(const std::string& path) {
  FileBytes file = ReadFileBytes(path);
  if (!file.ok) return std::nullopt;
  return std::move(file.bytes);
}

std::string WriteWholeFile(const std::string& path, const std::string& bytes) {
  AtomicFileWriter writer;
  // A FIFO named on the command line waits for its reader, as a shell's
  // redirection would (and as vesk-run's outputs do).
  if (std::string error = writer.Open(path, true); !error.empty()) return error;
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
  const FileBytes existing = ReadFileBytes(target);
  if (!existing.ok) {
    err << tool << ": " << existing.error << "\n";
    return 2;
  }
  const std::string difference = FirstDifference(bytes, existing.bytes);
  if (difference.empty()) return 0;
  err << tool << ": " << target << " is not what " << sourcePath << " assembles to: " << difference << "\n";
  return 1;
}

}  // namespace vesk::tools
