// The commands a program source names: mnemonic, code and operand kind, and
// the way back from a command word to its mnemonic and operand.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vesk {

enum class OperandKind {
  kAddress,     // bits 11-0: the I bit and an 11-bit address
  kController,  // bits 7-0: a controller number
  kNone,
};

struct CommandInfo {
  const char* mnemonic;
  OperandKind operand;
  std::uint16_t code;  // the word with a zero operand
};

// The command of a mnemonic in upper case, or nothing.
const CommandInfo* FindCommand(std::string_view upperMnemonic);

struct DecodedCommand {
  const CommandInfo* info = nullptr;
  bool indirect = false;  // address commands: the I bit
  int operand = 0;        // the address (000-7FF) or the controller (00-FF)
};

// What a word reads as, the way the memory window's Asm column reads it;
// nothing for words without a mnemonic.
std::optional<DecodedCommand> DecodeCommand(std::uint16_t word);

// Every mnemonic, for the editor's colouring.
const CommandInfo* AllCommands(std::size_t& count);

}  // namespace vesk
