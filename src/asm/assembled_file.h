// The files an assembly makes: a memory dump and a micro-program file, byte
// for byte as the memory windows save them.
#pragma once

#include <string>

#include "asm/micro_assembler.h"
#include "asm/program_assembler.h"

namespace vesk {

// 2048 lines: four upper-case hex digits and the comment, CR LF, in the
// encoding of every file the program writes (windows-1251).
std::string DumpFileBytes(const ProgramAssembly& assembly);

// 255 lines likewise.
std::string MicroProgramFileBytes(const MicroAssembly& assembly);

}  // namespace vesk
