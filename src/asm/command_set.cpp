#include "asm/command_set.h"

#include <iterator>

namespace vesk {

namespace {

constexpr CommandInfo kCommands[] = {
    {"ISZ", OperandKind::kAddress, 0x0000},    {"AND", OperandKind::kAddress, 0x1000},
    {"JSR", OperandKind::kAddress, 0x2000},    {"MOV", OperandKind::kAddress, 0x3000},
    {"ADD", OperandKind::kAddress, 0x4000},    {"ADC", OperandKind::kAddress, 0x5000},
    {"SUB", OperandKind::kAddress, 0x6000},    {"BCS", OperandKind::kAddress, 0x8000},
    {"BPL", OperandKind::kAddress, 0x9000},    {"BMI", OperandKind::kAddress, 0xA000},
    {"BEQ", OperandKind::kAddress, 0xB000},    {"BR", OperandKind::kAddress, 0xC000},
    {"CLF", OperandKind::kController, 0xE000}, {"TSF", OperandKind::kController, 0xE100},
    {"IN", OperandKind::kController, 0xE200},  {"OUT", OperandKind::kController, 0xE300},
    {"HLT", OperandKind::kNone, 0xF000},       {"NOP", OperandKind::kNone, 0xF100},
    {"CLA", OperandKind::kNone, 0xF200},       {"CLC", OperandKind::kNone, 0xF300},
    {"CMA", OperandKind::kNone, 0xF400},       {"CMC", OperandKind::kNone, 0xF500},
    {"ROL", OperandKind::kNone, 0xF600},       {"ROR", OperandKind::kNone, 0xF700},
    {"INC", OperandKind::kNone, 0xF800},       {"DEC", OperandKind::kNone, 0xF900},
    {"EI", OperandKind::kNone, 0xFA00},        {"DI", OperandKind::kNone, 0xFB00},
};

// Index into kCommands by opcode for the address commands.
constexpr int kAddressCommandByOpcode[16] = {0, 1, 2, 3, 4, 5, 6, -1, 7, 8, 9, 10, 11, -1, -1, -1};

}  // namespace

const CommandInfo* FindCommand(std::string_view upperMnemonic) {
  for (const CommandInfo& c : kCommands)
    if (upperMnemonic == c.mnemonic) return &c;
  return nullptr;
}

std::optional<DecodedCommand> DecodeCommand(std::uint16_t word) {
  const int opcode = word >> 12;
  if (const int i = kAddressCommandByOpcode[opcode]; i >= 0)
    return DecodedCommand{&kCommands[i], (word & 0x0800) != 0, word & 0x07FF};
  if (opcode == 0xE) {
    const int order = (word >> 8) & 0xF;
    if (order > 3) return std::nullopt;
    return DecodedCommand{&kCommands[12 + order], false, word & 0xFF};
  }
  if (opcode == 0xF && (word & 0xFF) == 0) {
    const int order = (word >> 8) & 0xF;
    if (order > 0xB) return std::nullopt;
    return DecodedCommand{&kCommands[16 + order], false, 0};
  }
  return std::nullopt;
}

const CommandInfo* AllCommands(std::size_t& count) {
  count = std::size(kCommands);
  return kCommands;
}

}  // namespace vesk
