#include "asm/disassembler.h"

#include "asm/command_set.h"
#include "asm/micro_operation.h"
#include "asm/program_flow.h"
#include "asm/source_text.h"

namespace vesk {

namespace {

std::size_t Characters(std::string_view s) {
  std::size_t n = 0;
  for (const char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

// s followed by blanks up to width characters (at least one blank).
void AppendPadded(std::string& out, std::string_view s, std::size_t width) {
  out += s;
  const std::size_t n = Characters(s);
  out.append(n < width ? width - n : 1, ' ');
}

std::string ProgramLabel(int address) { return "L_" + HexText(address, 3); }
std::string MicroLabel(int address) { return "L_" + HexText(address, 2); }

}  // namespace

std::string DisassembleProgram(const ProgramImage& image, int start) {
  constexpr int kWords = ProgramAssembly::kWords;
  const std::vector<bool> reached = ReachedCommands(image, start);
  std::vector<bool> labelled(kWords);
  for (int a = 0; a < kWords; ++a) {
    if (!reached[static_cast<std::size_t>(a)]) continue;
    const auto command = DecodeCommand(image.words[static_cast<std::size_t>(a)]);
    if (command->info->operand == OperandKind::kAddress) labelled[static_cast<std::size_t>(command->operand)] = true;
  }

  std::string out =
      "# Программа, восстановленная по содержимому памяти.\n"
      "# Команды - ячейки, до которых доходит выполнение с адреса START (и с адреса 001,\n"
      "# если выполняется EI); остальные ячейки записаны как WORD.\n\n";
  const int entry = start & (kWords - 1);
  out += "        START " + (labelled[static_cast<std::size_t>(entry)] ? ProgramLabel(entry) : HexText(entry, 3)) + "\n";
  int expected = -1;
  for (int a = 0; a < kWords; ++a) {
    const std::size_t i = static_cast<std::size_t>(a);
    const std::uint16_t word = image.words[i];
    const std::string& comment = image.comments[i];
    if (word == 0 && comment.empty() && !labelled[i]) continue;
    if (a != expected) out += "        ORG " + HexText(a, 3) + "\n";
    expected = a + 1;

    AppendPadded(out, labelled[i] ? ProgramLabel(a) + ":" : std::string(), 8);
    std::string statement;
    if (reached[i]) {
      const DecodedCommand c = *DecodeCommand(word);
      statement = c.info->mnemonic;
      if (c.info->operand == OperandKind::kAddress)
        statement += c.indirect ? " (" + ProgramLabel(c.operand) + ")" : " " + ProgramLabel(c.operand);
      else if (c.info->operand == OperandKind::kController)
        statement += " " + HexText(c.operand, 2);
    } else {
      statement = "WORD " + HexText(word, 4);
    }
    if (comment.empty()) {
      out += statement + "\n";
      continue;
    }
    AppendPadded(out, statement, 16);
    out += "; " + comment + "\n";
  }
  return out;
}

std::string DisassembleMicroProgram(const MicroImage& image) {
  constexpr int kWords = MicroAssembly::kWords;
  std::vector<bool> labelled(kWords + 1);
  for (int a = 1; a <= kWords; ++a) {
    const std::uint16_t w = image.words[static_cast<std::size_t>(a)];
    if ((w & 0x8000) && (w & 0xFF) != 0) labelled[w & 0xFF] = true;
  }
  const JumpTargetNamer name = [&labelled](int address) {
    return labelled[static_cast<std::size_t>(address)] ? MicroLabel(address) : std::string();
  };

  std::string out =
      "# Микропрограмма, восстановленная по содержимому микропамяти.\n"
      "# адрес | метка | операция | комментарий\n\n";
  for (int a = 1; a <= kWords; ++a) {
    const std::size_t i = static_cast<std::size_t>(a);
    const std::uint16_t word = image.words[i];
    const std::string& comment = image.comments[i];
    if (word == 0 && comment.empty() && !labelled[i]) continue;
    out += HexText(a, 2) + " | ";
    AppendPadded(out, labelled[i] ? MicroLabel(a) : std::string(), 7);
    out += "| ";
    const std::string operation = MicroOperationText(word, name);
    if (comment.empty()) {
      out += operation + "\n";
      continue;
    }
    AppendPadded(out, operation, 32);
    out += "| " + comment + "\n";
  }
  return out;
}

}  // namespace vesk
