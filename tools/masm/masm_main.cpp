// vesk-masm: assembles a micro-program source into a micro-program file.
//
//   vesk-masm SOURCE -o FILE       write the micro-program file
//   vesk-masm SOURCE --check FILE  exit 0 when FILE holds exactly what SOURCE
//                                  assembles to, 1 when it differs
//   vesk-masm SOURCE --map         print where each label lies
//   vesk-masm SOURCE --listing     print each line beside its address and word
#include "asm/assembled_file.h"
#include "asm/listing.h"
#include "asm/source_text.h"
#include "common/generator_main.h"

int main(int argc, char** argv) {
  using namespace vesk;
  return tools::GeneratorMain(argc, argv, "vesk-masm", "--map", [](const std::string& source) {
    const MicroAssembly program = AssembleMicroProgram(source);
    tools::Generated out{program.errors, {}, {}, {}};
    if (!program.ok()) return out;
    for (int address = 1; address <= MicroAssembly::kWords; ++address)
      for (const auto& [label, at] : program.labels)
        if (at == address) out.labels += HexText(address, 2) + "  " + label + "\n";
    out.bytes = MicroProgramFileBytes(program);
    out.listing = ListingText(MicroListingRows(program, source), 2);
    return out;
  });
}
