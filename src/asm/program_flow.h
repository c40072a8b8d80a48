// Which cells of a program are its commands: those execution reaches.
#pragma once

#include <vector>

#include "asm/memory_image.h"

namespace vesk {

// Follows the program from start: a cell holding a word with a mnemonic
// (other than 0000, which is empty memory) is a command, and execution goes
// on to the next cell, to the one after it (ISZ, TSF skip it), to the target
// of a direct jump (BR, BCS, BPL, BMI, BEQ) and into a subroutine at the
// address after a direct JSR's operand; it stops after HLT and BR and at
// cells that are not commands. Once EI is reached, the interrupt entry 001
// is followed as well. Indirect jumps lead where the pointer says at run
// time, so they are not followed.
std::vector<bool> ReachedCommands(const ProgramImage& image, int start);

}  // namespace vesk
