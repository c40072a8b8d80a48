// The command line both generators share:
//
//   TOOL SOURCE -o FILE         write what SOURCE assembles to
//   TOOL SOURCE --check FILE    exit 0 when FILE holds exactly that, 1 when not
//   TOOL SOURCE LIST-OPTION     print the listing (labels and addresses)
//
// Exit status 2 for bad usage or a file that cannot be read or written, 1 for
// errors in the source (each printed as "SOURCE: line N: message").
#pragma once

#include <functional>
#include <string>

namespace vesk::tools {

struct Generated {
  std::string bytes;    // the file
  std::string listing;  // what LIST-OPTION prints
};

// assemble throws SourceErrors for a faulty source.
int GeneratorMain(int argc, char** argv, const std::string& tool, const std::string& listOption,
                  const std::function<Generated(const std::string& source)>& assemble);

}  // namespace vesk::tools
