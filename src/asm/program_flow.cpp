#include "asm/program_flow.h"

#include <string_view>

#include "asm/command_set.h"

namespace vesk {

std::vector<bool> ReachedCommands(const ProgramImage& image, int start) {
  constexpr int kMask = ProgramAssembly::kWords - 1;
  std::vector<bool> reached(ProgramAssembly::kWords);
  std::vector<int> queue{start & kMask};
  bool interruptEntry = false;
  while (!queue.empty()) {
    const int a = queue.back();
    queue.pop_back();
    if (reached[static_cast<std::size_t>(a)]) continue;
    const std::uint16_t word = image.words[static_cast<std::size_t>(a)];
    const auto command = word == 0 ? std::nullopt : DecodeCommand(word);
    if (!command) continue;
    reached[static_cast<std::size_t>(a)] = true;
    const std::string_view m = command->info->mnemonic;
    const int next = (a + 1) & kMask;
    const bool direct = command->info->operand == OperandKind::kAddress && !command->indirect;
    if (m == "HLT") continue;
    if (m == "BR") {
      if (direct) queue.push_back(command->operand);
      continue;
    }
    queue.push_back(next);
    if (m == "ISZ" || m == "TSF") queue.push_back((a + 2) & kMask);
    if ((m == "BCS" || m == "BPL" || m == "BMI" || m == "BEQ") && direct) queue.push_back(command->operand);
    if (m == "JSR" && direct) queue.push_back((command->operand + 1) & kMask);
    if (m == "EI" && !interruptEntry) {
      interruptEntry = true;
      queue.push_back(1);
    }
  }
  return reached;
}

}  // namespace vesk
