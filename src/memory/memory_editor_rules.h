// The memory window's editing row: what a typed value stores in each display
// mode, and what the value field shows for a row.
#pragma once

#include <string>
#include <string_view>

#include "widgets/editor_input.h"

namespace vesk {

class MainMemory;

inline constexpr std::string_view kMemoryModes[] = {"Hex", "Dec", "Bin", "Asm"};

// The 16-bit word a typed value stands for in `mode`. A mode the editor does
// not know gives ok with empty bits: no value is written.
EditorValue MemoryValueFromText(std::string_view mode, std::string_view text);

// What the value field shows for the row of `address` in `mode` (empty for a
// mode the editor does not know).
std::string MemoryEditorText(const MainMemory& memory, int address, std::string_view mode);

}  // namespace vesk
