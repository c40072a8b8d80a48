// Whole-file reading and writing for the generators in tools/.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

namespace vesk::tools {

// The bytes of a regular file (util/text_file.h's ReadFileBytes), or nothing
// when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Saves as every save of the program does (AtomicFileWriter): a regular file
// is replaced only when complete, a FIFO or a terminal is written straight
// into, anything else is refused. Returns an empty text, or the reason.
std::string WriteWholeFile(const std::string& path, const std::string& bytes);

// Empty when a and b are equal; otherwise which line (1-based, lines ended by
// LF) first differs, e.g. "line 7 differs".
std::string FirstDifference(const std::string& expected, const std::string& actual);

// What a generator does with the bytes it made from sourcePath: write them to
// target, or (check) compare them with target byte for byte (a regular file
// no larger than the readers take). Returns the exit
// status (0 done or equal, 1 different, 2 a file that cannot be read or
// written) and says why on err, prefixed with the tool's name.
int WriteOrCheck(const std::string& tool, const std::string& sourcePath, bool check, const std::string& target,
                 const std::string& bytes, std::ostream& err);

}  // namespace vesk::tools
