#include "io/controller_editor_rules.h"

#include "format/bit_string.h"
#include "format/number_text.h"
#include "io/controllers.h"

namespace vesk {

EditorValue ControllerValueFromText(std::string_view mode, std::string_view text) {
  if (mode == "Hex") {
    const Word digits = HexToBin(UpperAscii(FitWidth(Trim(text), 2)));
    return EditorValue::Value(FitWidth(digits, 8));
  }
  if (mode == "Dec") {
    const Word stripped = StripDots(text);
    const std::string_view t = Trim(stripped);
    if (!StartsWithNumber(t)) return EditorValue::Value(Word("00000000"));
    const auto n = TypedInteger(t);
    if (!n) return EditorValue::Error("Dec: число выходит за 32 разряда");
    return EditorValue::Value(TwoComplementBits(*n, 8));
  }
  if (mode == "Bin") {
    const Word stripped = StripDots(text);
    const std::string_view t = Trim(stripped);
    if (!IsBinaryText(t)) return EditorValue::Error("Bin: допустимы только 0, 1 и точки");
    return EditorValue::Value(FitWidth(t, 8));
  }
  return EditorValue::Value(Word());
}

std::string ControllerEditorText(const Controllers& controllers, int row, std::string_view mode) {
  const Word& data = controllers.Data(row);
  if (mode == "Hex") return FitWidth(BinToHex(data), 2).str();
  if (mode == "Dec") return NumToDec(BitsValue(data)).str();
  if (mode == "Bin") return data.str();
  return {};
}

}  // namespace vesk
