#include "common/generator_main.h"

#include <iostream>

#include "asm/asm_messages.h"
#include "asm/source_file.h"
#include "common/file_io.h"
#include "util/exit_signals.h"

namespace vesk::tools {

int GeneratorMain(int argc, char** argv, const std::string& tool, const std::string& listOption,
                  const std::function<Generated(const std::string& source)>& assemble) {
  // A save in progress leaves no temporary file behind on a signal, and a
  // file-size limit is a write error, not a death.
  static const std::string stoppedBy = tool + ": stopped by";
  ExitCleanlyOnSignals(stoppedBy.c_str());
  const std::string mode = argc > 2 ? argv[2] : "";
  const bool withFile = mode == "-o" || mode == "--check";
  const bool printing = mode == listOption || mode == "--listing";
  if (!((withFile && argc == 4) || (printing && argc == 3))) {
    std::cerr << "usage: " << tool << " SOURCE (-o FILE | --check FILE | " << listOption << " | --listing)\n";
    return 2;
  }
  const std::string sourcePath = argv[1];
  if (sourcePath.empty()) {
    std::cerr << tool << ": SOURCE needs a file name, not an empty text\n";
    return 2;
  }
  if (withFile && *argv[3] == '\0') {
    std::cerr << tool << ": option " << mode << " needs a file name, not an empty text\n";
    return 2;
  }
  // As vesk-run reads a source: UTF-8, or windows-1251 from an older editor.
  const SourceText source = ReadSourceFile(sourcePath);
  if (!source.ok) {
    std::cerr << tool << ": " << source.error << "\n";
    return 2;
  }
  const Generated generated = assemble(source.text);
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
