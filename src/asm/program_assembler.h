// The program assembler: program source text to the words and comments of
// main memory. The language is described in docs/program-language.md.
//
// Source lines (UTF-8):
//
//     [label:] [statement] [; comment]
//
// Lines whose first non-blank character is '#' are remarks of the source
// only. The comment after ';' (one blank after it dropped, the rest kept
// exactly) becomes the comment of the word the line emits; it is optional.
//
// Statements:
//   ORG value            the next word goes to address value
//   START value          the program starts at value
//   name EQU value       name stands for value
//   WORD value           one data word
//   MNEMONIC [operand]   a command, by the mnemonics of the instruction set;
//                        "(value)" is the indirect form of an address command
//
// value: hex numbers (1-4 digits) and names joined by '+' and '-', with an
// optional sign in front ("-1E", "buf+2", "end-start").
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "asm/asm_error.h"

namespace vesk {

// One word of the memory (or micro-memory) an assembly produced.
struct AssembledWord {
  bool used = false;     // a statement of the source emitted it
  std::uint16_t word = 0;
  std::string comment;   // UTF-8, may be empty
  int line = 0;          // the source line that emitted it, 0 when unused
};

struct ProgramAssembly {
  static constexpr int kWords = 2048;

  std::vector<AssembledWord> words = std::vector<AssembledWord>(kWords);  // by address
  std::map<std::string, int> labels;  // every name: label addresses and EQU values
  // The START address; without START the address of the first command in
  // the source; without commands 000.
  int start = 0;
  std::vector<AsmError> errors;  // sorted by line and column

  bool ok() const { return errors.empty(); }
};

// Assembles a whole source. With errors, words hold what could be assembled
// and must not be used.
ProgramAssembly AssembleProgram(std::string_view source);

}  // namespace vesk
