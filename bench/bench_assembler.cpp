// Speed of the assemblers: a 2,048-word program and a 255-line micro-program,
// each assembled many times; prints the median and the slowest run (the
// target is under 20 ms each), and the disassemblers' times for the same.
// Usage: bench_assembler [rounds]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "asm/command_set.h"
#include "asm/disassembler.h"
#include "asm/source_text.h"

using namespace vesk;

namespace {

// A program that fills all of memory: commands with label operands,
// indirect ones, I/O, data words, EQUs, and a comment on every line.
std::string ProgramSource() {
  std::size_t count = 0;
  const CommandInfo* commands = AllCommands(count);
  std::string s = "# 2048 слов\nbase EQU 100\n        START w000\n        ORG 000\n";
  for (int a = 0; a < 2048; ++a) {
    const CommandInfo& c = commands[static_cast<std::size_t>(a) % (count + 1) % count];
    s += "w" + HexText(a, 3) + ":  ";
    if (a % 7 == 6) {
      s += "WORD base+" + HexText(a, 3);
    } else {
      s += c.mnemonic;
      if (c.operand == OperandKind::kAddress)
        s += (a % 3 ? " w" : " (w") + HexText((a * 37) & 0x7FF, 3) + (a % 3 ? "" : ")");
      else if (c.operand == OperandKind::kController)
        s += " " + HexText(a & 0xFF, 2);
    }
    s += "        ; Комментарий к ячейке " + HexText(a, 3) + ": что делает эта команда\n";
  }
  return s;
}

// 255 micro-commands: the shipped kinds of operation over all addresses.
MicroImage FullMicroMemory() {
  static const std::uint16_t kWords[] = {0x0300, 0x4001, 0x0311, 0x4004, 0x0100, 0x4003, 0xEF4A, 0x1190,
                                         0x4075, 0x8501, 0x8359, 0x3012, 0x0140, 0x4402, 0x1080, 0x0001};
  MicroImage image;
  for (int a = 1; a <= 255; ++a) {
    image.words[static_cast<std::size_t>(a)] = kWords[a % 16];
    image.comments[static_cast<std::size_t>(a)] = "Микрокоманда " + HexText(a, 2) + ": пересылка и переход";
  }
  return image;
}

template <class F>
void Time(const char* what, int rounds, F&& run) {
  std::vector<double> ms;
  for (int i = 0; i < rounds; ++i) {
    const auto start = std::chrono::steady_clock::now();
    if (!run()) {
      std::printf("%s: FAILED\n", what);
      std::exit(1);
    }
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  std::printf("%-46s median %7.3f ms, slowest %7.3f ms (%d runs)\n", what, ms[ms.size() / 2], ms.back(), rounds);
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 200;
  const std::string program = ProgramSource();
  const std::string micro = DisassembleMicroProgram(FullMicroMemory());
  std::printf("program source: %zu bytes, %zu lines; micro-program source: %zu bytes, %zu lines\n", program.size(),
              SourceLines(program).size(), micro.size(), SourceLines(micro).size());

  Time("assemble the 2,048-word program", rounds, [&] {
    const ProgramAssembly p = AssembleProgram(program);
    return p.ok() && p.words[2047].used;
  });
  Time("assemble the 255-line micro-program", rounds, [&] {
    const MicroAssembly m = AssembleMicroProgram(micro);
    return m.ok() && m.rows[255].used;
  });
  const ProgramAssembly p = AssembleProgram(program);
  const ProgramImage image = ImageOf(p, ProgramImage(), true);
  Time("disassemble the 2,048-word memory", rounds, [&] { return !DisassembleProgram(image, 0).empty(); });
  const MicroImage microImage = FullMicroMemory();
  Time("disassemble the 255-word micro-memory", rounds,
       [&] { return !DisassembleMicroProgram(microImage).empty(); });
  return 0;
}
