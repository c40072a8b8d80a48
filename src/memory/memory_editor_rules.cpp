#include "memory/memory_editor_rules.h"

#include "format/bit_string.h"
#include "format/mnemonics.h"
#include "format/number_text.h"
#include "memory/main_memory.h"

namespace vesk {

namespace {

EditorValue FromHex(std::string_view text) {
  const std::string_view t = Trim(text);
  if (!IsHexText(t)) return EditorValue::Error("Hex: допустимы только цифры 0-9 и буквы A-F");
  return EditorValue::Value(HexToBin(UpperAscii(FitWidth(t, 4))));
}

EditorValue FromDec(std::string_view text) {
  const Word stripped = StripDots(text);
  const std::string_view t = Trim(stripped);
  if (!t.empty() && t.front() == '-') {
    // The magnitude after the minus, in two's complement: invert and add one.
    const auto n = TypedInteger(t.substr(1));
    if (!n) return EditorValue::Error("Dec: после знака \"-\" нужно число");
    return EditorValue::Value(TwoComplementBits(-*n, 16));
  }
  if (!StartsWithNumber(t)) return EditorValue::Error("Dec: введите десятичное число");
  const auto n = TypedInteger(t);
  if (!n) return EditorValue::Error("Dec: число выходит за 32 разряда");
  return EditorValue::Value(TwoComplementBits(*n, 16));
}

EditorValue FromBin(std::string_view text) {
  const Word stripped = StripDots(text);
  const std::string_view t = Trim(stripped);
  if (!IsBinaryText(t)) return EditorValue::Error("Bin: допустимы только 0, 1 и точки");
  return EditorValue::Value(FitWidth(t, 16));
}

EditorValue FromAsm(std::string_view text) {
  const Word code = MnemonicToCode(Trim(text));
  const Word fitted = UpperAscii(FitWidth(Trim(code), 4));
  if (!IsHexText(fitted)) return EditorValue::Error("Asm: адрес команды должен быть шестнадцатеричным");
  if (code.empty()) return EditorValue::Value(HexToBin(fitted), "Команда не распознана: записано 0000");
  return EditorValue::Value(HexToBin(fitted));
}

}  // namespace

EditorValue MemoryValueFromText(std::string_view mode, std::string_view text) {
  if (mode == "Hex") return FromHex(text);
  if (mode == "Dec") return FromDec(text);
  if (mode == "Bin") return FromBin(text);
  if (mode == "Asm") return FromAsm(text);
  return EditorValue::Value(Word());
}

std::string MemoryEditorText(const MainMemory& memory, int address, std::string_view mode) {
  if (mode == "Hex") return memory.HexText(address);
  if (mode == "Dec") return memory.DecText(address);
  if (mode == "Bin") return memory.BinText(address);
  if (mode == "Asm") return memory.AsmText(address);
  return {};
}

}  // namespace vesk
