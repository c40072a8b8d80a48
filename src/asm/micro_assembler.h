// The micro-assembler: micro-program source text to the 255 vertical
// micro-commands and comments of micro-memory. The language is described in
// docs/micro-program-language.md.
//
// Source lines (UTF-8; blank lines and lines starting with '#' are skipped):
//
//     address | label | operation | comment
//
// address: one or two hex digits 01..FF, rising through the file, or empty
// for the address after the previous line's (01 on the first line). label:
// empty, or a name of letters, digits and '_' that jumps refer to.
// operation: the register-transfer text of micro_operation.h. comment: the
// text the micro-memory window and the micro-command trace show; it may be
// left out together with its '|', and one blank after the '|' is dropped.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "asm/asm_error.h"
#include "asm/program_assembler.h"

namespace vesk {

struct MicroAssembly {
  static constexpr int kWords = 255;

  std::vector<AssembledWord> rows = std::vector<AssembledWord>(kWords + 1);  // by micro-address; row 0 unused
  std::map<std::string, int> labels;                                          // label -> micro-address
  std::vector<AsmError> errors;                                               // sorted by line and column

  bool ok() const { return errors.empty(); }
};

MicroAssembly AssembleMicroProgram(std::string_view source);

}  // namespace vesk
