// The micro-assembler: a readable micro-program source to the 255 vertical
// micro-commands and comments of a micro-program file.
//
// Source lines (UTF-8; blank lines and lines starting with '#' are skipped):
//
//     address | label | operation | comment
//
// address: two hex digits 01..FF, strictly rising through the file; addresses
// not listed hold 0000 with an empty comment. label: empty, or a name of
// letters, digits and '_' that jumps refer to. comment: the text the
// micro-memory window and the micro-command trace show; it must not be empty
// and must be writable in windows-1251.
//
// Operations (spaces are ignored; the Russian register names may also be
// typed with the Latin letters A, C, P, K that look the same):
//
//   Adder (group 0), parts separated by ',':
//     БР := X + Y + 1   any of the terms may be left out ("БР := СК + 1",
//                       "БР := А"); "БР := КР" gives zero
//     БР := X & Y       logical AND
//     БР := ROL | ROR   rotation of С:А one place left or right
//     READ | WRITE      memory at РА to РД, or РД to memory at РА
//     X is a left input (А, РС, КР), Y a right one (РД, РК, СК), in either
//     order; "~" before an input inverts it; "~0" is an absent input inverted
//     (all ones) on the side the other operand leaves free.
//   Transfer (group 1), parts separated by ',':
//     РА := БР, РД := БР, РК := БР, СК := БР, А := БР (one of them, or all of
//     РА, РД, РК and А together), С := БР.16 | 0 | 1, N := БР.15, Z := БР=0,
//     IO (the order in РД to the controllers), CLRFLAGS (all device flags to
//     0), DI (interrupt request and enable to 0), EI (enable to 1),
//     HLT (alone: it stops the machine at the end of the command)
//   Control:
//     IF R.n = v GOTO target   R one of РС, РД, РК, А; n 0..15; v 0 or 1
//     GOTO target              tests РС.3, which is always 0
//     target: a label, or two hex digits.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "common/source_text.h"

namespace vesk::masm {

struct MicroRow {
  bool used = false;
  std::uint16_t word = 0;
  std::string label;
  std::string operation;
  std::string comment;  // UTF-8
  int sourceLine = 0;
};

struct MicroProgram {
  static constexpr int kWords = 255;
  std::array<MicroRow, kWords + 1> rows;  // index = micro-address; row 0 unused
  std::map<std::string, int> labels;      // label -> micro-address
};

// Every problem of a source, one "line N: message" per entry.
using AssemblyError = tools::SourceErrors;

// Label (or two hex digits) to a micro-address, or nothing.
using TargetResolver = std::function<std::optional<int>(std::string_view)>;

// The vertical micro-command of one operation; throws std::invalid_argument
// with a message when the operation is malformed or cannot be encoded.
std::uint16_t EncodeMicroOperation(std::string_view operation, const TargetResolver& resolve);

// Assembles a whole source; throws AssemblyError listing every problem.
MicroProgram AssembleMicroProgram(std::string_view source);

// The micro-program file: 255 lines of four hex digits and the comment,
// windows-1251, CR LF after every line.
std::string MicroProgramFileBytes(const MicroProgram& program);

// "AA  label" lines, in address order: where each label of the source lies.
std::string MicroProgramMap(const MicroProgram& program);

}  // namespace vesk::masm
