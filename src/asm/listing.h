// Listings: each source line beside the address and word it produced.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "asm/micro_assembler.h"
#include "asm/program_assembler.h"

namespace vesk {

struct ListingRow {
  int address = -1;  // -1: the line produced no word
  std::uint16_t word = 0;
  int line = 0;  // 1-based
  std::string_view text;
};

// One row per source line (views into source).
std::vector<ListingRow> ProgramListingRows(const ProgramAssembly& assembly, std::string_view source);
std::vector<ListingRow> MicroListingRows(const MicroAssembly& assembly, std::string_view source);

// "010  F200  start:  CLA" for main memory (three address digits), "01  0300  ..."
// for micro-memory (two), blanks in place of address and word where a line
// produced none; LF after each line.
std::string ListingText(const std::vector<ListingRow>& rows, int addressDigits);

}  // namespace vesk
