// The controllers window's editing row: what a typed value writes to a data
// register, and what the value field shows for a row, in each display mode.
#pragma once

#include <string>
#include <string_view>

#include "widgets/editor_input.h"

namespace vesk {

class Controllers;

inline constexpr std::string_view kControllerModes[] = {"Hex", "Dec", "Bin"};

// The 8-bit data register a typed value stands for.
//   Hex: the last two characters; characters that are not hex digits give no bits.
//   Dec: dots removed, the leading number (0 when there is none) rounded with
//        halves to even, modulo 256 (negatives in two's complement).
//   Bin: dots removed, the last 8 characters; anything but 0 and 1 is refused.
EditorValue ControllerValueFromText(std::string_view mode, std::string_view text);

// What the value field shows for a row: two hex digits, the decimal value
// without leading zeros, or the 8 bits without a point.
std::string ControllerEditorText(const Controllers& controllers, int row, std::string_view mode);

}  // namespace vesk
