// The micro-memory window's editing row: what a typed value stores, and what
// the value field shows for a row, in each display mode.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "widgets/editor_input.h"

namespace vesk {

class MicroMemory;

// The selector's items. "h-Hex" and "h-Bin" are views of the horizontal form,
// which cannot be edited; the editor recognises them but does not offer them.
inline constexpr std::string_view kMicroModes[] = {"v-Hex", "v-Bin"};

// The vertical micro-command a typed value stands for. "h-Hex", "h-Bin" and
// unknown modes give ok with empty bits: no value is written.
EditorValue MicroValueFromText(std::string_view mode, std::string_view text);

// What the value field shows for a row; nothing when the field keeps its text
// ("h-Hex", "h-Bin").
std::optional<std::string> MicroEditorText(const MicroMemory& memory, int address, std::string_view mode);

}  // namespace vesk
