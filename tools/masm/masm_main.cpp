// vesk-masm: assembles a micro-program source into a micro-program file.
//
//   vesk-masm SOURCE -o FILE       write the micro-program file
//   vesk-masm SOURCE --check FILE  exit 0 when FILE holds exactly what SOURCE
//                                  assembles to, 1 when it differs
//   vesk-masm SOURCE --map         print where each label lies
#include "common/generator_main.h"
#include "masm/micro_assembler.h"

int main(int argc, char** argv) {
  using namespace vesk;
  return tools::GeneratorMain(argc, argv, "vesk-masm", "--map", [](const std::string& source) {
    const masm::MicroProgram program = masm::AssembleMicroProgram(source);
    return tools::Generated{masm::MicroProgramFileBytes(program), masm::MicroProgramMap(program)};
  });
}
