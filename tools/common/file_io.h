// Whole-file reading and writing for the generators in tools/.
#pragma once

#include <optional>
#include <string>

namespace vesk::tools {

// The bytes of a file, or nothing when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Replaces the file atomically (AtomicFileWriter): a failed write leaves the
// old file alone. Returns an empty text, or the reason.
std::string WriteWholeFile(const std::string& path, const std::string& bytes);

// Empty when a and b are equal; otherwise which line (1-based, lines ended by
// LF) first differs, e.g. "line 7 differs".
std::string FirstDifference(const std::string& expected, const std::string& actual);

}  // namespace vesk::tools
