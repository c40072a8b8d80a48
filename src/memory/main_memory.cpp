#include "memory/main_memory.h"

#include "format/bit_string.h"
#include "format/number_text.h"
#include "format/mnemonics.h"
#include "trace/command_trace.h"
#include "memory/storable_comment.h"
#include "util/machine_error.h"

namespace vesk {

namespace {

constexpr std::string_view kZero16 = "0000000000000000";

std::string GroupedFive(std::uint32_t v) { return GroupDigits(FitWidth(NumToDec(v), 5), 3, ".").str(); }

}  // namespace

std::string MemoryDecimalText(std::string_view value) {
  const auto v = static_cast<std::uint32_t>(HexToNum(BinToHex(value)));
  std::string text = GroupedFive(v);
  if (GetBit(value, 15) == 1) {
    text += "  ( -";
    text += GroupedFive(65536u - v);
    text += ")";
  }
  return text;
}

MainMemory::MainMemory() {
  for (auto& w : words_) w = kZero16;
}

std::size_t MainMemory::index(int address) {
  if (address < 0 || address >= kWords)
    throw MachineError(error_number::kOutOfRange, "Индекс вне диапазона: в памяти нет слова " + std::to_string(address));
  return static_cast<std::size_t>(address);
}

std::optional<int> MainMemory::ParseAddress(std::string_view hex) { return ParseHexBelow(hex, kWords); }

int MainMemory::requireAddress(std::string_view hex) const {
  const auto a = ParseAddress(hex);
  if (!a) throw MachineError(error_number::kOutOfRange, "Индекс вне диапазона: в памяти нет адреса '" + std::string(hex) + "'");
  return *a;
}

void MainMemory::select(int address) {
  selected_ = address;
  listeners_.each([address](MainMemoryListener& l) { l.memorySelectionChanged(address); });
}

const Word& MainMemory::Mem_ReadMem(std::string_view address) {
  const int a = requireAddress(address);
  select(a);
  return words_[static_cast<std::size_t>(a)];
}

void MainMemory::Mem_WriteMem(std::string_view address, std::string_view value) {
  const int a = requireAddress(address);
  if (!IsBitString(value, 16))
    throw MachineError(error_number::kTypeMismatch, "Несоответствие типа: слово памяти должно состоять из 16 разрядов, а не '" + std::string(value) + "'");
  select(a);
  words_[static_cast<std::size_t>(a)] = value;
  written_.set(static_cast<std::size_t>(a));
  listeners_.each([a](MainMemoryListener& l) { l.memoryRowChanged(a); });
  if (trace_ != nullptr) {
    std::string effect = "(W) ";
    effect += address;
    trace_->set_EFFECT_ADDR(effect);
    trace_->set_EFFECT_VAL(BinToHex(value));
  }
}

void MainMemory::Mem_Clear() {
  for (auto& w : words_) w = kZero16;
  for (auto& c : comments_) c.clear();
  written_.reset();
  selected_ = -1;
  listeners_.each([](MainMemoryListener& l) { l.memoryCleared(); });
}

void MainMemory::SetRow(int address, std::string_view value, std::string_view comment) {
  const std::size_t i = index(address);
  if (!IsBitString(value, 16))
    throw MachineError(error_number::kTypeMismatch, "Несоответствие типа: слово памяти должно состоять из 16 разрядов, а не '" + std::string(value) + "'");
  RequireStorableComment(comment);
  words_[i] = value;
  comments_[i] = comment;
  written_.set(i);
  listeners_.each([address](MainMemoryListener& l) { l.memoryRowChanged(address); });
}

void MainMemory::SetComment(int address, std::string_view comment) {
  RequireStorableComment(comment);
  comments_[index(address)] = comment;
  listeners_.each([address](MainMemoryListener& l) { l.memoryRowChanged(address); });
}

void MainMemory::RestoreWord(int address, std::string_view value, bool written) {
  const std::size_t i = index(address);
  if (!IsBitString(value, 16)) return;
  words_[i] = value;
  written_.set(i, written);
  listeners_.each([address](MainMemoryListener& l) { l.memoryRowChanged(address); });
}

void MainMemory::RestoreSelection(int address) {
  if (address < -1 || address >= kWords || address == selected_) return;
  select(address);
}

std::string MainMemory::AddressText(int address) {
  return FitWidth(NumToHex(static_cast<std::uint32_t>(address)), 3).str();
}

std::string MainMemory::HexText(int address) const { return BinToHex(Value(address)).str(); }
std::string MainMemory::DecText(int address) const { return MemoryDecimalText(Value(address)); }
std::string MainMemory::BinText(int address) const { return GroupDigits(Value(address), 4, ".").str(); }
std::string MainMemory::AsmText(int address) const {
  if (!Written(address)) return {};
  return CodeToMnemonic(BinToHex(Value(address))).str();
}

}  // namespace vesk
