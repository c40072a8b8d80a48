// A small hand-written micro-program for run-control and trace tests.
//
// Fetch 01..07 (СК->РА at 02, РК at 05, СК + 1 by 07), then by the command:
//   bit 15 set  -> HLT (10, 11)
//   bit 14 set  -> write РД to the operand address, then to the next one (20..26)
//   otherwise   -> А := А + 1 (09..0B)
// Micro-commands per command: 12 for an increment, 10 for HLT, 16 for a write.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "format/bit_string.h"
#include "memory/main_memory.h"
#include "memory/micro_memory.h"

namespace vesk::testing {

inline const std::vector<std::pair<int, std::pair<const char*, const char*>>>& TinyMicroProgramRows() {
  static const std::vector<std::pair<int, std::pair<const char*, const char*>>> rows = {
      {0x01, {"0300", "СК->БР"}},        {0x02, {"4001", "БР->РА"}},
      {0x03, {"0001", "Чтение памяти"}},  {0x04, {"0100", "РД->БР"}},
      {0x05, {"4003", "БР->РК"}},        {0x06, {"0310", "СК + 1->БР"}},
      {0x07, {"4004", "БР->СК"}},        {0x08, {"EF10", "РК.15 = 1?->10"}},
      {0x09, {"EE20", "РК.14 = 1?->20"}}, {0x0A, {"1010", "А + 1->БР"}},
      {0x0B, {"4005", "БР->А"}},         {0x0C, {"8301", "-> 01"}},
      {0x10, {"4008", "HLT"}},            {0x11, {"8301", "-> 01"}},
      {0x20, {"0200", "РК->БР"}},        {0x21, {"4001", "БР->РА"}},
      {0x22, {"0002", "Запись <первая> & ещё"}}, {0x23, {"0210", "РК + 1->БР"}},
      {0x24, {"4001", "БР->РА"}},        {0x25, {"0002", "Запись вторая"}},
      {0x26, {"8301", "-> 01"}},
  };
  return rows;
}

inline void LoadTinyMicroProgram(MicroMemory& micro) {
  for (const auto& [address, row] : TinyMicroProgramRows())
    micro.SetRow(address, FitWidth(HexToBin(row.first), 16), row.second);
  micro.notifyRowsChanged();
}

// Puts hex words at consecutive addresses from `first`.
inline void Poke(MainMemory& memory, int first, const std::vector<const char*>& words) {
  for (const char* w : words) memory.SetRow(first++, FitWidth(HexToBin(w), 16), "");
}

}  // namespace vesk::testing
