// The way back: the contents of main memory and micro-memory as source text
// that assembles to exactly those words and comments.
#pragma once

#include <string>

#include "asm/memory_image.h"

namespace vesk {

// Program source of a memory. Commands are the cells execution reaches from
// start (see ReachedCommands); every other cell that is not 0000 without a
// comment is a WORD. Each address a command's operand names gets a label
// L_hhh. Cells that are 0000 without a comment and without a label are left
// out (ORG skips them); the source starts with START start.
std::string DisassembleProgram(const ProgramImage& image, int start);

// Micro-program source of a micro-memory: one line per micro-address whose
// word is not 0000 or whose comment is not empty, with a label L_hh at every
// address a jump names.
std::string DisassembleMicroProgram(const MicroImage& image);

}  // namespace vesk
