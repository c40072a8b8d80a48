// The program assembler: a readable program source to a memory dump (2048
// words with comments).
//
// Source lines (UTF-8):
//
//     [label:] [statement] [; comment]
//
// Lines starting with '#' are remarks of the source only. The comment after
// ';' becomes the comment of the word the line emits; every emitted word must
// have one. A line with a label and no statement labels the next word.
//
// Statements:
//   ORG hhh              the next word goes to address hhh
//   WORD value           one data word
//   MNEMONIC [operand]   a command, by the mnemonics of the instruction set
//
// value / operand:
//   hex digits (1-4), a label, label+hex or label-hex
//   address commands: (x) is indirect: the I bit set, M = x ("ADD (ptr)")
//   I/O commands: the controller number, two hex digits at most
// A label must not itself read as a hex number.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "common/source_text.h"

namespace vesk::asmr {

struct ProgramWord {
  bool used = false;
  std::uint16_t word = 0;
  std::string comment;  // UTF-8
  int sourceLine = 0;
};

struct Program {
  static constexpr int kWords = 2048;
  std::array<ProgramWord, kWords> words;
  std::map<std::string, int> labels;  // label -> address
};

// Every problem of a source, one "line N: message" per entry.
using ProgramError = tools::SourceErrors;

// Assembles a whole source; throws ProgramError listing every problem.
Program AssembleProgram(std::string_view source);

// The memory dump: 2048 lines of four upper-case hex digits and the comment,
// windows-1251, CR LF after every line.
std::string DumpFileBytes(const Program& program);

}  // namespace vesk::asmr
