#include "memory/main_memory.h"

#include "format/bit_string.h"
#include "format/number_text.h"
#include "format/mnemonics.h"
#include "trace/command_trace.h"
#include "memory/storable_comment.h"
#include "util/machine_error.h"

namespace vesk {

namespace {

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

MainMemory::MainMemory() = default;

void MainMemory::noAddress(int address) {
  throw MachineError(error_number::kOutOfRange, "Индекс вне диапазона: в памяти нет слова " + std::to_string(address));
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

Word MainMemory::Mem_ReadMem(std::string_view address) {
  const int a = requireAddress(address);
  select(a);
  return Value(a);
}

std::uint16_t MainMemory::ReadAt(int address) {
  select(address);
  return words_[index(address)];
}

void MainMemory::store(int address, std::uint16_t value, std::string_view effect) {
  const std::size_t i = index(address);
  words_[i] = value;
  written_.set(i);
  listeners_.each([address](MainMemoryListener& l) { l.memoryRowChanged(address); });
  if (trace_ != nullptr && !effect.empty()) {
    trace_->set_EFFECT_ADDR(effect);
    trace_->set_EFFECT_VAL(FitWidth(NumToHex(value), 4));
  }
}

void MainMemory::Mem_WriteMem(std::string_view address, std::string_view value) {
  const int a = requireAddress(address);
  if (!IsBitString(value, 16))
    throw MachineError(error_number::kTypeMismatch, "Несоответствие типа: слово памяти должно состоять из 16 разрядов, а не '" + std::string(value) + "'");
  select(a);
  Word effect("(W) ");
  effect.append(address);
  store(a, static_cast<std::uint16_t>(BitsValue(value)), effect);
}

void MainMemory::WriteAt(int address, std::uint16_t value) {
  select(address);
  Word effect("(W) ");
  effect.append(FitWidth(NumToHex(static_cast<std::uint32_t>(address)), 4));
  store(address, value, effect);
}

void MainMemory::Mem_Clear() {
  words_.fill(0);
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
  comments_[i] = comment;
  store(address, static_cast<std::uint16_t>(BitsValue(value)), {});
}

void MainMemory::SetComment(int address, std::string_view comment) {
  RequireStorableComment(comment);
  comments_[index(address)] = comment;
  listeners_.each([address](MainMemoryListener& l) { l.memoryRowChanged(address); });
}

void MainMemory::RestoreWord(int address, std::string_view value, bool written) {
  const std::size_t i = index(address);
  if (!IsBitString(value, 16)) return;
  words_[i] = static_cast<std::uint16_t>(BitsValue(value));
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
