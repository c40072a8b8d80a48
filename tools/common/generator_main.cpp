#include "common/generator_main.h"

#include <iostream>

#include "common/file_io.h"
#include "common/source_text.h"

namespace vesk::tools {

int GeneratorMain(int argc, char** argv, const std::string& tool, const std::string& listOption,
                  const std::function<Generated(const std::string& source)>& assemble) {
  const std::string mode = argc > 2 ? argv[2] : "";
  const bool withFile = mode == "-o" || mode == "--check";
  if (!((withFile && argc == 4) || (mode == listOption && argc == 3))) {
    std::cerr << "usage: " << tool << " SOURCE (-o FILE | --check FILE | " << listOption << ")\n";
    return 2;
  }
  const std::string sourcePath = argv[1];
  const auto source = ReadWholeFile(sourcePath);
  if (!source) {
    std::cerr << tool << ": cannot read " << sourcePath << "\n";
    return 2;
  }
  Generated generated;
  try {
    generated = assemble(*source);
  } catch (const SourceErrors& e) {
    for (const auto& m : e.messages()) std::cerr << sourcePath << ": " << m << "\n";
    return 1;
  }
  if (mode == listOption) {
    std::cout << generated.listing;
    return 0;
  }
  return WriteOrCheck(tool, sourcePath, mode == "--check", argv[3], generated.bytes, std::cerr);
}

}  // namespace vesk::tools
