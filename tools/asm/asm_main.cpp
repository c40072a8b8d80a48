// vesk-asm: assembles a program source into a memory dump.
//
//   vesk-asm SOURCE -o FILE       write the memory dump
//   vesk-asm SOURCE --check FILE  exit 0 when FILE holds exactly what SOURCE
//                                 assembles to, 1 when it differs
//   vesk-asm SOURCE --labels      print every label and its address
#include <cstdio>
#include <iostream>
#include <string>

#include "asm/program_assembler.h"
#include "common/file_io.h"

namespace {

int Usage() {
  std::cerr << "usage: vesk-asm SOURCE (-o FILE | --check FILE | --labels)\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace vesk;
  if (argc < 3) return Usage();
  const std::string sourcePath = argv[1];
  const std::string mode = argv[2];
  if (mode != "-o" && mode != "--check" && mode != "--labels") return Usage();
  if ((mode == "--labels") != (argc == 3) || argc > 4) return Usage();

  const auto source = tools::ReadWholeFile(sourcePath);
  if (!source) {
    std::cerr << "vesk-asm: cannot read " << sourcePath << "\n";
    return 2;
  }
  asmr::Program program;
  try {
    program = asmr::AssembleProgram(*source);
  } catch (const asmr::ProgramError& e) {
    for (const auto& m : e.messages()) std::cerr << sourcePath << ": " << m << "\n";
    return 1;
  }
  if (mode == "--labels") {
    for (const auto& [label, address] : program.labels) std::printf("%03X  %s\n", address, label.c_str());
    return 0;
  }
  const std::string bytes = asmr::DumpFileBytes(program);
  const std::string target = argv[3];
  if (mode == "-o") {
    if (const std::string error = tools::WriteWholeFile(target, bytes); !error.empty()) {
      std::cerr << "vesk-asm: " << error << "\n";
      return 2;
    }
    return 0;
  }
  const auto existing = tools::ReadWholeFile(target);
  if (!existing) {
    std::cerr << "vesk-asm: cannot read " << target << "\n";
    return 1;
  }
  const std::string difference = tools::FirstDifference(bytes, *existing);
  if (!difference.empty()) {
    std::cerr << "vesk-asm: " << target << " is not what " << sourcePath << " assembles to: " << difference << "\n";
    return 1;
  }
  return 0;
}
