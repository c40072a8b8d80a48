// Main memory and micro-memory as plain words and comments, the form the
// disassemblers read, and the way assembled words go into the memories.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "asm/micro_assembler.h"
#include "asm/program_assembler.h"

namespace vesk {

class MainMemory;
class MicroMemory;

struct ProgramImage {
  std::vector<std::uint16_t> words = std::vector<std::uint16_t>(ProgramAssembly::kWords);
  std::vector<std::string> comments = std::vector<std::string>(ProgramAssembly::kWords);  // UTF-8
};

struct MicroImage {  // by micro-address; index 0 unused
  std::vector<std::uint16_t> words = std::vector<std::uint16_t>(MicroAssembly::kWords + 1);
  std::vector<std::string> comments = std::vector<std::string>(MicroAssembly::kWords + 1);
};

ProgramImage ReadProgramImage(const MainMemory& memory);
MicroImage ReadMicroImage(const MicroMemory& memory);

// What the memory holds after loading an assembly: the words the source
// emitted over the memory as it was, or over zeros when clearFirst.
ProgramImage ImageOf(const ProgramAssembly& assembly, const ProgramImage& before, bool clearFirst);
MicroImage ImageOf(const MicroAssembly& assembly, const MicroImage& before, bool clearFirst);

// Puts an assembly without errors into memory: with clearFirst every other
// word becomes 0000 with an empty comment, otherwise only the emitted words
// change. Nothing is selected and the command trace hears nothing, as when a
// dump is loaded. Row keys of micro-memory stay.
void WriteProgram(const ProgramAssembly& assembly, MainMemory& memory, bool clearFirst);
void WriteMicroProgram(const MicroAssembly& assembly, MicroMemory& memory, bool clearFirst);

}  // namespace vesk
