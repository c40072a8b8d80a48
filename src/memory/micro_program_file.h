// The micro-program file: the 255 micro-commands with their comments as text.
//
// Line k holds address k (01..FF): four upper-case hex digits and the
// comment. windows-1251, CR LF line ends. Row keys are not part of the file.
#pragma once

#include <string>

#include "memory/micro_memory.h"
#include "util/file_result.h"

namespace vesk {

// Writes the 255 lines atomically. A comment with a line break or a character
// windows-1251 cannot hold refuses the save, naming the address.
FileResult SaveMicroProgram(const MicroMemory& memory, const std::string& fileName);

// Line k updates address k. Its first four characters with surrounding blanks
// removed, upper-cased and padded on the left with zeros give the word, so
// '1A  ' and '  1a' both load as 001A (only hex digits contribute, with a
// warning for anything else); the rest of the line, untrimmed, is the comment.
// At most 255 lines are read (the rest is ignored with a warning); row keys,
// the selection and the rows after the last line stay as they are. Listeners
// hear one notifyRowsChanged() after a successful load. The whole file is
// parsed before any word changes, so a failed read changes nothing.
FileResult LoadMicroProgram(MicroMemory& memory, const std::string& fileName);

}  // namespace vesk
