#include "memory/micro_editor_rules.h"

#include "format/bit_string.h"
#include "format/number_text.h"
#include "memory/micro_memory.h"

namespace vesk {

EditorValue MicroValueFromText(std::string_view mode, std::string_view text) {
  if (mode == "v-Hex") {
    const std::string_view t = Trim(text);
    if (!IsHexText(t)) return EditorValue::Error("v-Hex: допустимы только цифры 0-9 и буквы A-F");
    return EditorValue::Value(HexToBin(UpperAscii(FitWidth(t, 4))));
  }
  if (mode == "v-Bin") {
    const Word stripped = StripDots(text);
    const std::string_view t = Trim(stripped);
    if (!IsBinaryText(t)) return EditorValue::Error("v-Bin: допустимы только 0, 1 и точки");
    return EditorValue::Value(FitWidth(t, 16));
  }
  return EditorValue::Value(Word());
}

std::optional<std::string> MicroEditorText(const MicroMemory& memory, int address, std::string_view mode) {
  if (mode == "v-Hex") return BinToHex(memory.Value(address)).str();
  if (mode == "v-Bin") return GroupDigits(memory.Value(address), 4, ".").str();
  if (mode == "h-Hex" || mode == "h-Bin") return std::nullopt;
  return std::string();
}

}  // namespace vesk
