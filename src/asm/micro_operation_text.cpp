// The way from a vertical micro-command to its text.
#include <string>
#include <vector>

#include "asm/micro_operation.h"
#include "asm/source_text.h"

namespace vesk {

namespace {

constexpr const char* kLeftInputs[] = {"", "А", "РС", "КР"};
constexpr const char* kRightInputs[] = {"", "РД", "РК", "СК"};
constexpr const char* kJumpRegisters[] = {"РС", "РД", "РК", "А"};
constexpr const char* kDestinations[] = {"", "РА := БР", "РД := БР", "РК := БР", "СК := БР", "А := БР", "",
                                         "РА := БР, РД := БР, РК := БР, А := БР"};
constexpr const char* kCarries[] = {"", "С := БР.16", "С := 0", "С := 1"};

std::string Join(const std::vector<std::string>& parts, const char* separator) {
  std::string out;
  for (const std::string& p : parts) {
    if (!out.empty()) out += separator;
    out += p;
  }
  return out;
}

// The adder's expression of a group-0 word without rotation; empty when the
// adder takes nothing.
std::string AdderExpression(int left, int right, int invert, int operation) {
  auto term = [invert](const char* name, int side) {
    const bool inverted = invert == side;
    if (*name) return std::string(inverted ? "~" : "") + name;
    return std::string(inverted ? "~0" : "");
  };
  const std::string l = term(kLeftInputs[left], 1);
  const std::string r = term(kRightInputs[right], 2);
  if (operation == 2) return (l.empty() ? "0" : l) + " & " + (r.empty() ? "0" : r);
  std::vector<std::string> terms;
  // An inverted empty right input next to an empty left one needs the left
  // "0" written out, or it would read as the left input.
  if (!l.empty()) terms.push_back(l);
  else if (r == "~0") terms.push_back("0");
  if (!r.empty()) terms.push_back(r);
  if (operation == 1) terms.push_back("1");
  return Join(terms, " + ");
}

std::string ControlText(std::uint16_t w, const JumpTargetNamer& name) {
  const int address = w & 0xFF;
  std::string target = name ? name(address) : std::string();
  if (target.empty()) target = HexText(address, 2);
  const int reg = (w >> 12) & 3, bit = (w >> 8) & 15, value = (w >> 14) & 1;
  if (reg == 0 && bit == 3 && value == 0) return "GOTO " + target;
  return std::string("IF ") + kJumpRegisters[reg] + "." + std::to_string(bit) + " = " + std::to_string(value) +
         " GOTO " + target;
}

std::string TransferText(std::uint16_t w) {
  if (w & 0x0008) return "HLT";
  std::vector<std::string> parts;
  if (const char* d = kDestinations[w & 7]; *d) parts.emplace_back(d);
  if (const char* c = kCarries[(w >> 6) & 3]; *c) parts.emplace_back(c);
  if (w & 0x0020) parts.emplace_back("N := БР.15");
  if (w & 0x0010) parts.emplace_back("Z := БР=0");
  if (w & 0x0100) parts.emplace_back("IO");
  if (w & 0x0200) parts.emplace_back("CLRFLAGS");
  if (w & 0x0400) parts.emplace_back("DI");
  if (w & 0x0800) parts.emplace_back("EI");
  return Join(parts, ", ");
}

std::string AdderText(std::uint16_t w) {
  if (w == 0) return "NOP";
  const int rotation = (w >> 2) & 3, memory = w & 3;
  std::vector<std::string> parts;
  if (rotation == 1) parts.emplace_back("БР := ROR");
  else if (rotation == 2) parts.emplace_back("БР := ROL");
  else if (std::string e = AdderExpression((w >> 12) & 3, (w >> 8) & 3, (w >> 6) & 3, (w >> 4) & 3); !e.empty())
    parts.push_back("БР := " + e);
  if (memory == 1) parts.emplace_back("READ");
  if (memory == 2) parts.emplace_back("WRITE");
  return Join(parts, ", ");
}

}  // namespace

std::uint16_t CanonicalMicroWord(std::uint16_t w) {
  if (w & 0x8000) return w;
  if (w & 0x4000) {
    if (w & 0x0008) return 0x4008;  // HLT keeps every transfer from happening
    std::uint16_t c = w & ~0x3000;  // bits 13-12 are not used
    if ((c & 7) == 6) c &= ~7;      // destination 6 is none
    return c == 0x4000 ? 0x0000 : c;
  }
  int left = (w >> 12) & 3, right = (w >> 8) & 3, invert = (w >> 6) & 3, operation = (w >> 4) & 3;
  int rotation = (w >> 2) & 3, memory = w & 3;  // bits 11-10 are not used
  if (invert == 3) invert = 0;
  if (operation == 3) operation = 0;
  if (rotation == 3) rotation = 0;
  if (memory == 3) memory = 0;
  if (rotation != 0) left = right = invert = operation = 0;  // the rotation replaces the sum
  return static_cast<std::uint16_t>((left << 12) | (right << 8) | (invert << 6) | (operation << 4) | (rotation << 2) |
                                    memory);
}

std::string MicroOperationText(std::uint16_t word, const JumpTargetNamer& name) {
  if (word & 0x8000) return ControlText(word, name);
  const std::uint16_t canonical = CanonicalMicroWord(word);
  std::string text = canonical & 0x4000 ? TransferText(canonical) : AdderText(canonical);
  if (canonical != word) text += " [" + HexText(word, 4) + "]";
  return text;
}

}  // namespace vesk
