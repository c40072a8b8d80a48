// vesk-asm: assembles a program source into a memory dump.
//
//   vesk-asm SOURCE -o FILE       write the memory dump
//   vesk-asm SOURCE --check FILE  exit 0 when FILE holds exactly what SOURCE
//                                 assembles to, 1 when it differs
//   vesk-asm SOURCE --labels      print every label and its value
//   vesk-asm SOURCE --listing     print each line beside its address and word
#include "asm/assembled_file.h"
#include "asm/listing.h"
#include "asm/source_text.h"
#include "common/generator_main.h"

int main(int argc, char** argv) {
  using namespace vesk;
  return tools::GeneratorMain(argc, argv, "vesk-asm", "--labels", [](const std::string& source) {
    const ProgramAssembly program = AssembleProgram(source);
    tools::Generated out{program.errors, {}, {}, {}};
    if (!program.ok()) return out;
    for (const auto& [label, value] : program.labels) out.labels += HexText(value & 0xFFFF, 3) + "  " + label + "\n";
    out.bytes = DumpFileBytes(program);
    out.listing = ListingText(ProgramListingRows(program, source), 3);
    return out;
  });
}
