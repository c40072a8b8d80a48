// vesk-asm: assembles a program source into a memory dump.
//
//   vesk-asm SOURCE -o FILE       write the memory dump
//   vesk-asm SOURCE --check FILE  exit 0 when FILE holds exactly what SOURCE
//                                 assembles to, 1 when it differs
//   vesk-asm SOURCE --labels      print every label and its address
#include "asm/program_assembler.h"
#include "common/generator_main.h"

int main(int argc, char** argv) {
  using namespace vesk;
  return tools::GeneratorMain(argc, argv, "vesk-asm", "--labels", [](const std::string& source) {
    const asmr::Program program = asmr::AssembleProgram(source);
    std::string labels;
    for (const auto& [label, address] : program.labels) labels += tools::HexText(address, 3) + "  " + label + "\n";
    return tools::Generated{asmr::DumpFileBytes(program), labels};
  });
}
