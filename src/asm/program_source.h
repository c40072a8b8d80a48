// The machine's side of the source windows: a program text assembled into
// main memory or written back from it, a micro-program text likewise for
// micro-memory, their listings, and which line made the word at an address.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "asm/asm_error.h"

namespace vesk {

class MainMemory;
class MicroMemory;

struct SourceOutcome {
  std::vector<AsmError> errors;  // nothing was written when there are any
  int start = 0;                 // programs: where the program starts
  std::vector<int> lines;        // by address: the 1-based line that made the word, 0 for none
};

class ProgramSource {
 public:
  explicit ProgramSource(MainMemory& memory) : memory_(memory) {}

  // Assembles text; without errors puts the words and comments into memory,
  // over zeros when clearFirst.
  SourceOutcome Assemble(std::string_view text, bool clearFirst);
  // The same without writing anything.
  SourceOutcome Check(std::string_view text) const;
  // Memory as program text, starting at start (see DisassembleProgram).
  std::string FromMemory(int start) const;
  // Each line beside the address and word it makes, as far as text assembles.
  std::string Listing(std::string_view text) const;

 private:
  MainMemory& memory_;
};

class MicroProgramSource {
 public:
  explicit MicroProgramSource(MicroMemory& memory) : memory_(memory) {}

  SourceOutcome Assemble(std::string_view text, bool clearFirst);
  SourceOutcome Check(std::string_view text) const;
  std::string FromMemory() const;
  std::string Listing(std::string_view text) const;

 private:
  MicroMemory& memory_;
};

}  // namespace vesk
