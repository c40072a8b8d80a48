// Micro-commands per second through ExpandMicroCommand + ExecuteMicroCommand
// over a mix like a real command's: adder, transfers, micro-jumps, memory
// reads and writes. Usage: bench_micro_commands [count]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/machine.h"
#include "core/micro_command.h"
#include "format/bit_string.h"

using namespace vesk;

int main(int argc, char** argv) {
  const long count = argc > 1 ? std::atol(argv[1]) : 20'000'000;
  Machine m;
  // One command's worth: fetch (СК → БР → РА, read, БР → СК+1), decode jumps,
  // an ADD with its operand read, a store, and the return to the boundary.
  const char* mix[] = {"0300", "4001", "0001", "1310", "4004", "4003", "AF10", "AE20",
                       "0100", "4001", "0001", "1110", "4035", "4003", "0002", "1190",
                       "4075", "0004", "8301", "C3FF"};
  std::vector<Word> vertical;
  for (const char* hex : mix) vertical.push_back(FitWidth(HexToBin(hex), 16));
  m.processor.Reg_Set_A(FitWidth(HexToBin("1234"), 16));

  const auto start = std::chrono::steady_clock::now();
  std::size_t k = 0;
  for (long i = 0; i < count; ++i) {
    m.processor.Micro_Reg_Set_Command(vertical[k]);
    const Word h = ExpandMicroCommand(m.processor.Micro_Reg_Get_Command());
    m.executor.ExecuteMicroCommand(h, "");
    if (++k == vertical.size()) k = 0;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("micro-commands: %ld in %.3f s = %.2f million per second\n", count, seconds, count / seconds / 1e6);
  return 0;
}
