// vesk-masm: assembles a micro-program source into a micro-program file.
//
//   vesk-masm SOURCE -o FILE       write the micro-program file
//   vesk-masm SOURCE --check FILE  exit 0 when FILE holds exactly what SOURCE
//                                  assembles to, 1 when it differs
//   vesk-masm SOURCE --map         print where each label lies
#include <iostream>
#include <string>

#include "common/file_io.h"
#include "masm/micro_assembler.h"

namespace {

int Usage() {
  std::cerr << "usage: vesk-masm SOURCE (-o FILE | --check FILE | --map)\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace vesk;
  if (argc < 3) return Usage();
  const std::string sourcePath = argv[1];
  const std::string mode = argv[2];
  if ((mode == "-o" || mode == "--check") != (argc == 4) || (mode == "--map" && argc != 3)) return Usage();
  if (mode != "-o" && mode != "--check" && mode != "--map") return Usage();

  const auto source = tools::ReadWholeFile(sourcePath);
  if (!source) {
    std::cerr << "vesk-masm: cannot read " << sourcePath << "\n";
    return 2;
  }
  masm::MicroProgram program;
  try {
    program = masm::AssembleMicroProgram(*source);
  } catch (const masm::AssemblyError& e) {
    for (const auto& m : e.messages()) std::cerr << sourcePath << ": " << m << "\n";
    return 1;
  }
  if (mode == "--map") {
    std::cout << masm::MicroProgramMap(program);
    return 0;
  }
  const std::string bytes = masm::MicroProgramFileBytes(program);
  const std::string target = argv[3];
  if (mode == "-o") {
    if (const std::string error = tools::WriteWholeFile(target, bytes); !error.empty()) {
      std::cerr << "vesk-masm: " << error << "\n";
      return 2;
    }
    return 0;
  }
  const auto existing = tools::ReadWholeFile(target);
  if (!existing) {
    std::cerr << "vesk-masm: cannot read " << target << "\n";
    return 1;
  }
  const std::string difference = tools::FirstDifference(bytes, *existing);
  if (!difference.empty()) {
    std::cerr << "vesk-masm: " << target << " is not what " << sourcePath << " assembles to: " << difference
              << "\n";
    return 1;
  }
  return 0;
}
