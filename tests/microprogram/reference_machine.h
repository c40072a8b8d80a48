// The instruction set of the shipped micro-program written directly in C++,
// from the documented contract (docs/instruction-set.md): a second, independent
// statement of what every command does, to compare the micro-program with.
#pragma once

#include <array>
#include <cstdint>

namespace vesk::testing {

struct ReferenceMachine {
  std::uint16_t a = 0;
  bool c = false, n = false, z = false, ie = false, ir = false;
  int pc = 0;  // 11 bits
  bool halted = false;
  std::array<std::uint16_t, 2048> memory{};
  std::array<int, 256> flag{};
  std::array<std::uint8_t, 256> data{};

  // One command at pc, then the interrupt check (except after HLT).
  void Step();
};

}  // namespace vesk::testing
