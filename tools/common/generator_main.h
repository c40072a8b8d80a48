// The command line both generators share:
//
//   TOOL SOURCE -o FILE         write what SOURCE assembles to
//   TOOL SOURCE --check FILE    exit 0 when FILE holds exactly that, 1 when not
//   TOOL SOURCE LIST-OPTION     print the labels and their addresses
//   TOOL SOURCE --listing       print each source line beside its address and word
//
// Exit status 2 for bad usage or a file that cannot be read or written, 1 for
// errors in the source, each printed as "SOURCE:LINE:COLUMN: message".
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "asm/asm_error.h"

namespace vesk::tools {

struct Generated {
  std::vector<AsmError> errors;
  std::string bytes;    // the file
  std::string labels;   // what LIST-OPTION prints
  std::string listing;  // what --listing prints
};

int GeneratorMain(int argc, char** argv, const std::string& tool, const std::string& listOption,
                  const std::function<Generated(const std::string& source)>& assemble);

}  // namespace vesk::tools
