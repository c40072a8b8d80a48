// What vesk-run loads into the memories: a memory dump or micro-program file
// as it is, or a source (.vasm, .masm) assembled on the way.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "util/file_result.h"

namespace vesk {

class MainMemory;
class MicroMemory;

// A path ending in .vasm is assembled into memory (cleared first); any other
// path is loaded as a memory dump. Assembler errors go to err, one
// "path:line:column: message" line each, and give ok == false with an empty
// error; a file that cannot be read gives ok == false with the reason.
// start, when given, receives the program's start address (START, or its
// first command) for a source.
FileResult LoadProgramInput(MainMemory& memory, const std::string& path, std::ostream& err,
                            std::optional<int>* start = nullptr);

// Likewise .masm sources for micro-memory, and micro-program files.
FileResult LoadMicroProgramInput(MicroMemory& memory, const std::string& path, std::ostream& err);

}  // namespace vesk
