#include "format/mnemonics.h"

#include <array>

#include "format/bit_string.h"

namespace vesk {

namespace {

struct Entry {
  char code;
  const char* name;
};

// Address commands in the order the decoder compares them.
constexpr std::array<Entry, 12> kAddressCommands{{{'1', "AND"},
                                                   {'3', "MOV"},
                                                   {'4', "ADD"},
                                                   {'5', "ADC"},
                                                   {'6', "SUB"},
                                                   {'8', "BCS"},
                                                   {'9', "BPL"},
                                                   {'A', "BMI"},
                                                   {'B', "BEQ"},
                                                   {'C', "BR"},
                                                   {'0', "ISZ"},
                                                   {'2', "JSR"}}};

struct NonAddress {
  const char* tail;
  const char* name;
};

constexpr std::array<NonAddress, 12> kNonAddress{{{"200", "CLA"},
                                                  {"300", "CLC"},
                                                  {"400", "CMA"},
                                                  {"500", "CMC"},
                                                  {"600", "ROL"},
                                                  {"700", "ROR"},
                                                  {"800", "INC"},
                                                  {"900", "DEC"},
                                                  {"000", "HLT"},
                                                  {"100", "NOP"},
                                                  {"A00", "EI"},
                                                  {"B00", "DI"}}};

Word Upper(Word w) {
  for (std::size_t k = 0; k < w.size(); ++k)
    if (w[k] >= 'a' && w[k] <= 'z') w[k] = static_cast<char>(w[k] - 'a' + 'A');
  return w;
}

}  // namespace

Word CodeToMnemonic(std::string_view hexText) {
  const Word padded = hexText.size() < 4 ? FitWidth(hexText, 4) : Word(hexText);
  const char op = padded[0];
  const std::string_view rest = padded.view().substr(padded.size() - 3);
  for (const Entry& e : kAddressCommands) {
    if (op == e.code) {
      Word r(e.name);
      r.push_back(' ');
      r.append(rest);
      return r;
    }
  }
  if (op == 'F') return NonAddressCodeToMnemonic(padded);
  if (op == 'E') return IOCodeToMnemonic(padded);
  return Word();
}

Word NonAddressCodeToMnemonic(std::string_view hexText) {
  if (hexText.size() < 3) return Word();
  const std::string_view tail = hexText.substr(hexText.size() - 3);
  for (const NonAddress& e : kNonAddress)
    if (tail == e.tail) return Word(e.name);
  return Word();
}

Word IOCodeToMnemonic(std::string_view hexText) {
  if (hexText.size() < 2) return Word();
  static constexpr std::array<const char*, 4> kOrders{"CLF", "TSF", "IN", "OUT"};
  const char order = hexText[1];
  if (order < '0' || order > '3') return Word();
  Word r(kOrders[static_cast<std::size_t>(order - '0')]);
  r.push_back(' ');
  r.append(hexText.substr(hexText.size() - 2));
  return r;
}

Word ExtractOperand(std::string_view lineText, int width) {
  if (width < 0) width = 0;
  const std::size_t space = lineText.find(' ');
  if (space == std::string_view::npos) return Word(static_cast<std::size_t>(width), '0');
  const std::string_view after = lineText.substr(space + 1);
  return FitWidth(after.substr(0, static_cast<std::size_t>(width)), width);
}

Word MnemonicToCode(std::string_view lineText) {
  const std::string_view prefix2 = lineText.size() >= 2 ? lineText.substr(0, 2) : std::string_view();
  const std::string_view prefix3 = lineText.size() >= 3 ? lineText.substr(0, 3) : std::string_view();
  const Word operand3 = ExtractOperand(lineText, 3);
  auto address = [&](char code) {
    Word r(1, code);
    r.append(operand3);
    return Upper(r);
  };
  static constexpr std::array<Entry, 9> kThreeLetter{{{'1', "AND"},
                                                      {'3', "MOV"},
                                                      {'4', "ADD"},
                                                      {'5', "ADC"},
                                                      {'6', "SUB"},
                                                      {'8', "BCS"},
                                                      {'9', "BPL"},
                                                      {'A', "BMI"},
                                                      {'B', "BEQ"}}};
  for (const Entry& e : kThreeLetter)
    if (prefix3 == e.name) return address(e.code);
  if (prefix2 == "BR") return address('C');
  if (prefix3 == "ISZ") return address('0');
  if (prefix3 == "JSR") return address('2');
  static constexpr std::array<NonAddress, 10> kBare{{{"F200", "CLA"},
                                                     {"F300", "CLC"},
                                                     {"F400", "CMA"},
                                                     {"F500", "CMC"},
                                                     {"F600", "ROL"},
                                                     {"F700", "ROR"},
                                                     {"F800", "INC"},
                                                     {"F900", "DEC"},
                                                     {"F000", "HLT"},
                                                     {"F100", "NOP"}}};
  for (const NonAddress& e : kBare)
    if (prefix3 == e.name) return Word(e.tail);
  if (prefix2 == "EI") return Word("FA00");
  if (prefix2 == "DI") return Word("FB00");
  auto io = [&](const char* code) {
    Word r(code);
    r.append(ExtractOperand(lineText, 2));
    return Upper(r);
  };
  if (prefix3 == "CLF") return io("E0");
  if (prefix3 == "TSF") return io("E1");
  if (prefix2 == "IN") return io("E2");
  if (prefix3 == "OUT") return io("E3");
  return Word();
}

}  // namespace vesk
