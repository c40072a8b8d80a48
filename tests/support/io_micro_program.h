// A small hand-written micro-program with just enough commands for programs
// that talk to devices: ADD, MOV, BR, CLA, HLT and the I/O commands, encoded
// as the mnemonics give them.
//
//   ADD a (4aaa)  А := А + memory[a]        MOV a (3aaa)  memory[a] := А
//   BR a  (Caaa)  СК := a                   CLA (F200)    А := 0
//   HLT   (F000)                            CLF/TSF/IN/OUT dd (E0dd..E3dd)
#pragma once

#include <utility>
#include <vector>

#include "format/bit_string.h"
#include "memory/micro_memory.h"

namespace vesk::testing {

inline const std::vector<std::pair<int, const char*>>& IoMicroProgramRows() {
  static const std::vector<std::pair<int, const char*>> rows = {
      // Fetch: РК := memory[СК], СК := СК + 1.
      {0x01, "0300"}, {0x02, "4001"}, {0x03, "0001"}, {0x04, "0100"},
      {0x05, "4003"}, {0x06, "0310"}, {0x07, "4004"},
      // Decode by РК.15..12.
      {0x08, "EF10"},  // РК.15 = 1 -> 10
      {0x09, "EE20"},  // РК.14 = 1 -> 20 (ADD)
      {0x0A, "EC30"},  // РК.12 = 1 -> 30 (MOV)
      {0x0B, "8301"},
      {0x10, "EE18"},  // РК.14 = 1 -> 18 (C..F)
      {0x11, "8301"},
      {0x18, "ED1C"},  // РК.13 = 1 -> 1C (E, F)
      {0x19, "0200"}, {0x1A, "4004"}, {0x1B, "8301"},  // BR: РК -> СК
      {0x1C, "EC40"},  // РК.12 = 1 -> 40 (F)
      {0x1D, "8350"},  // -> 50 (I/O)
      // ADD: РА := РК, РД := memory, А := А + РД.
      {0x20, "0200"}, {0x21, "4001"}, {0x22, "0001"}, {0x23, "1100"}, {0x24, "4005"}, {0x25, "8301"},
      // MOV: РА := РК, РД := А, memory := РД.
      {0x30, "0200"}, {0x31, "4001"}, {0x32, "1000"}, {0x33, "4002"}, {0x34, "0002"}, {0x35, "8301"},
      // F000 HLT, F200 CLA (РК.9 tells them apart).
      {0x40, "E948"}, {0x41, "4008"}, {0x42, "8301"},
      {0x48, "0020"}, {0x49, "4005"}, {0x4A, "8301"},
      // I/O: РД := РК, the I/O order from РД.
      {0x50, "0200"}, {0x51, "4002"}, {0x52, "4100"}, {0x53, "8301"},
  };
  return rows;
}

inline void LoadIoMicroProgram(MicroMemory& micro) {
  for (const auto& [address, word] : IoMicroProgramRows()) micro.SetRow(address, FitWidth(HexToBin(word), 16), "");
  micro.notifyRowsChanged();
}

}  // namespace vesk::testing
