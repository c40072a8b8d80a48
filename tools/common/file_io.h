// Whole-file reading and writing for the generators in tools/.
#pragma once

#include <optional>
#include <string>

namespace vesk::tools {

// The bytes of a file, or nothing when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Writes to a temporary file beside the target and renames it over the
// target, so a failed write leaves the old file alone. False on failure.
bool WriteWholeFile(const std::string& path, const std::string& bytes);

// Empty when a and b are equal; otherwise which line (1-based, lines ended by
// LF) first differs, e.g. "line 7 differs".
std::string FirstDifference(const std::string& expected, const std::string& actual);

}  // namespace vesk::tools
