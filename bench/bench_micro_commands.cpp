// Micro-commands per second through the executor over a mix like a real
// command's: adder, transfers, micro-jumps, memory reads and writes. Two
// ways in: as run control feeds it (the vertical word and horizontal form as
// numbers), and through the text operations (bit strings), as a window or a
// test would. Usage: bench_micro_commands [count]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/machine.h"
#include "core/micro_command.h"
#include "format/bit_string.h"

using namespace vesk;

namespace {

// One command's worth: fetch (СК → БР → РА, read, БР → СК+1), decode jumps,
// an ADD with its operand read, a store, and the return to the boundary.
const char* const kMix[] = {"0300", "4001", "0001", "1310", "4004", "4003", "AF10", "AE20", "0100", "4001",
                            "0001", "1110", "4035", "4003", "0002", "1190", "4075", "0004", "8301", "C3FF"};

template <class Step>
double Measure(long count, Step step) {
  const auto start = std::chrono::steady_clock::now();
  std::size_t k = 0;
  for (long i = 0; i < count; ++i) {
    step(k);
    if (++k == std::size(kMix)) k = 0;
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const long count = argc > 1 ? std::atol(argv[1]) : 20'000'000;
  std::vector<std::uint16_t> words;
  std::vector<Word> texts;
  for (const char* hex : kMix) {
    texts.push_back(FitWidth(HexToBin(hex), 16));
    words.push_back(static_cast<std::uint16_t>(BitsValue(texts.back())));
  }

  Machine m;
  m.processor.Reg_Set_A(FitWidth(HexToBin("1234"), 16));
  double seconds = Measure(count, [&](std::size_t k) {
    m.processor.Set(Reg::MicroCommand, BitValue::Bits(words[k], 16));
    m.executor.Execute(m.processor.Horizontal(), RowKey::None);
  });
  std::printf("micro-commands as run control runs them: %ld in %.3f s = %.2f million per second\n", count, seconds,
              count / seconds / 1e6);

  Machine t;
  t.processor.Reg_Set_A(FitWidth(HexToBin("1234"), 16));
  seconds = Measure(count, [&](std::size_t k) {
    t.processor.Micro_Reg_Set_Command(texts[k]);
    const Word h = ExpandMicroCommand(t.processor.Micro_Reg_Get_Command());
    t.executor.ExecuteMicroCommand(h, "");
  });
  std::printf("micro-commands through the text operations: %ld in %.3f s = %.2f million per second\n", count, seconds,
              count / seconds / 1e6);
  return 0;
}
