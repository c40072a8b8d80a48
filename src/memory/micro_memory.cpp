#include "memory/micro_memory.h"

#include "core/micro_command.h"
#include "format/bit_string.h"
#include "format/number_text.h"
#include "memory/storable_comment.h"
#include "util/machine_error.h"

namespace vesk {

namespace {

constexpr std::string_view kZero16 = "0000000000000000";

}  // namespace

std::string MicroHorizontalText(std::string_view vertical) {
  const Word h = ExpandMicroCommand(vertical);
  std::string text = HorizontalBinText(h);
  text += " | ";
  text += GroupDigits(BinToHex(h), 4, " ").view();
  return text;
}

std::string MicroVerticalText(std::string_view vertical) {
  std::string text = GroupDigits(vertical, 4, ".").str();
  text += " | ";
  text += BinToHex(vertical).view();
  return text;
}

MicroMemory::MicroMemory() {
  for (auto& w : words_) w = kZero16;
  keys_[index(0x01)] = kKeyNewCommand;
  keys_[index(0x02)] = kKeyCommandAddress;
  keys_[index(0x06)] = kKeyCommandInCR;
}

std::size_t MicroMemory::index(int address) {
  if (address < 1 || address > kWords)
    throw MachineError(error_number::kOutOfRange,
                       "Индекс вне диапазона: в микропамяти нет адреса " + std::to_string(address));
  return static_cast<std::size_t>(address - 1);
}

std::optional<int> MicroMemory::ParseAddress(std::string_view hex) {
  const auto a = ParseHexBelow(hex, kWords + 1);
  if (a && *a == 0) return std::nullopt;  // micro-memory has no address 00
  return a;
}

int MicroMemory::requireAddress(std::string_view hex) const {
  const auto a = ParseAddress(hex);
  if (!a)
    throw MachineError(error_number::kOutOfRange,
                       "Индекс вне диапазона: в микропамяти нет адреса '" + std::string(hex) + "'");
  return *a;
}

void MicroMemory::RestoreSelection(int address) {
  if (address < -1 || address > kWords || address == 0 || address == selected_) return;
  select(address);
}

void MicroMemory::select(int address) {
  selected_ = address;
  listeners_.each([address](MicroMemoryListener& l) { l.microSelectionChanged(address); });
}

const Word& MicroMemory::Micro_ReadMem(std::string_view address) {
  const int a = requireAddress(address);
  select(a);
  return words_[index(a)];
}

const std::string& MicroMemory::Micro_ReadKey(std::string_view address) const {
  return keys_[index(requireAddress(address))];
}

void MicroMemory::Micro_WriteMem(std::string_view address, std::string_view value) {
  const int a = requireAddress(address);
  if (!IsBitString(value, 16))
    throw MachineError(error_number::kTypeMismatch,
                       "Несоответствие типа: микрокоманда должна состоять из 16 разрядов, а не '" + std::string(value) + "'");
  select(a);
  words_[index(a)] = value;
  listeners_.each([a](MicroMemoryListener& l) { l.microRowChanged(a); });
}

void MicroMemory::SetRow(int address, std::string_view value, std::string_view comment) {
  const std::size_t i = index(address);
  if (!IsBitString(value, 16))
    throw MachineError(error_number::kTypeMismatch,
                       "Несоответствие типа: микрокоманда должна состоять из 16 разрядов, а не '" + std::string(value) + "'");
  RequireStorableComment(comment);
  words_[i] = value;
  comments_[i] = comment;
}

void MicroMemory::SetComment(int address, std::string_view comment) {
  RequireStorableComment(comment);
  comments_[index(address)] = comment;
  listeners_.each([address](MicroMemoryListener& l) { l.microRowChanged(address); });
}

void MicroMemory::notifyRowsChanged() {
  listeners_.each([](MicroMemoryListener& l) { l.microRowsChanged(); });
}

std::string MicroMemory::AddressText(int address) {
  return FitWidth(NumToHex(static_cast<std::uint32_t>(address)), 2).str();
}

std::string MicroMemory::HorizontalText(int address) const { return MicroHorizontalText(Value(address)); }
std::string MicroMemory::VerticalText(int address) const { return MicroVerticalText(Value(address)); }

}  // namespace vesk
