// The memory dump file: the whole main memory with its comments as text.
//
// One line per word in address order (line 1 is address 000, line 2048 is
// 7FF): the word as four upper-case hex digits immediately followed by its
// comment. windows-1251, CR LF line ends, nothing else in the file.
#pragma once

#include <string>

#include "memory/main_memory.h"
#include "util/file_result.h"

namespace vesk {

// Writes the 2048 lines (atomically: a failed save leaves the old file as it
// was). A comment with a line break or a character windows-1251 cannot hold
// refuses the save, naming the address.
FileResult Mem_SaveDump(const MainMemory& memory, const std::string& fileName);

// The bytes Mem_SaveDump writes, for a caller that writes them itself; false,
// with the reason in error (naming fileName), when a comment cannot be saved.
bool Mem_DumpBytes(const MainMemory& memory, const std::string& fileName, std::string& bytes, std::string& error);

// Line k updates the word at address k-1: its first four characters,
// upper-cased, give the word (only hex digits contribute, fitted to 16 bits);
// the rest of the line, untrimmed, is the comment. Memory is not cleared
// first, words after the last line keep their values and comments, the
// selection does not move and the command trace hears nothing. Lines after
// 2048 are ignored with a warning; a line that does not start with four hex
// digits loads what its hex digits give, with a warning. The whole file is
// parsed before any word changes, so a failed read changes nothing.
FileResult Mem_LoadDump(MainMemory& memory, const std::string& fileName);

}  // namespace vesk
