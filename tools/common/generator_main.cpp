#include "common/generator_main.h"

#include <iostream>

#include "asm/asm_messages.h"
#include "common/file_io.h"

namespace vesk::tools {

int GeneratorMain(int argc, char** argv, const std::string& tool, const std::string& listOption,
                  const std::function<Generated(const std::string& source)>& assemble) {
  const std::string mode = argc > 2 ? argv[2] : "";
  const bool withFile = mode == "-o" || mode == "--check";
  const bool printing = mode == listOption || mode == "--listing";
  if (!((withFile && argc == 4) || (printing && argc == 3))) {
    std::cerr << "usage: " << tool << " SOURCE (-o FILE | --check FILE | " << listOption << " | --listing)\n";
    return 2;
  }
  const std::string sourcePath = argv[1];
  const auto source = ReadWholeFile(sourcePath);
  if (!source) {
    std::cerr << tool << ": cannot read " << sourcePath << "\n";
    return 2;
  }
  const Generated generated = assemble(*source);
  if (!generated.errors.empty()) {
    for (const AsmError& e : generated.errors) std::cerr << AsmErrorLine(sourcePath, e) << "\n";
    return 1;
  }
  if (mode == listOption) {
    std::cout << generated.labels;
    return 0;
  }
  if (mode == "--listing") {
    std::cout << generated.listing;
    return 0;
  }
  return WriteOrCheck(tool, sourcePath, mode == "--check", argv[3], generated.bytes, std::cerr);
}

}  // namespace vesk::tools
