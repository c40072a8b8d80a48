#include "memory/micro_memory.h"

#include "core/micro_command.h"
#include "format/bit_string.h"
#include "format/number_text.h"
#include "memory/storable_comment.h"
#include "util/machine_error.h"

namespace vesk {

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
  keys_[index(0x01)] = kKeyNewCommand;
  keys_[index(0x02)] = kKeyCommandAddress;
  keys_[index(0x06)] = kKeyCommandInCR;
  for (std::size_t i = 0; i < keys_.size(); ++i) rowKeys_[i] = RowKeyOf(keys_[i]);
}

void MicroMemory::noAddress(int address) {
  throw MachineError(error_number::kOutOfRange,
                       "Индекс вне диапазона: в микропамяти нет адреса " + std::to_string(address));
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

Word MicroMemory::Micro_ReadMem(std::string_view address) {
  const int a = requireAddress(address);
  select(a);
  return Value(a);
}

std::uint16_t MicroMemory::ReadAt(int address) {
  const std::size_t i = index(address);
  select(address);
  return words_[i];
}

void MicroMemory::store(int address, std::uint16_t value) { words_[index(address)] = value; }

const std::string& MicroMemory::Micro_ReadKey(std::string_view address) const {
  return keys_[index(requireAddress(address))];
}

void MicroMemory::Micro_WriteMem(std::string_view address, std::string_view value) {
  const int a = requireAddress(address);
  if (!IsBitString(value, 16))
    throw MachineError(error_number::kTypeMismatch,
                       "Несоответствие типа: микрокоманда должна состоять из 16 разрядов, а не '" + std::string(value) + "'");
  select(a);
  store(a, static_cast<std::uint16_t>(BitsValue(value)));
  listeners_.each([a](MicroMemoryListener& l) { l.microRowChanged(a); });
  rowListeners_.each([a](MicroMemoryListener& l) { l.microRowChanged(a); });
}

void MicroMemory::SetRow(int address, std::string_view value, std::string_view comment) {
  const std::size_t i = index(address);
  if (!IsBitString(value, 16))
    throw MachineError(error_number::kTypeMismatch,
                       "Несоответствие типа: микрокоманда должна состоять из 16 разрядов, а не '" + std::string(value) + "'");
  RequireStorableComment(comment);
  store(address, static_cast<std::uint16_t>(BitsValue(value)));
  comments_[i] = comment;
  ++commentsVersion_;
}

void MicroMemory::SetComment(int address, std::string_view comment) {
  RequireStorableComment(comment);
  comments_[index(address)] = comment;
  ++commentsVersion_;
  listeners_.each([address](MicroMemoryListener& l) { l.microRowChanged(address); });
  rowListeners_.each([address](MicroMemoryListener& l) { l.microRowChanged(address); });
}

void MicroMemory::notifyRowsChanged() {
  listeners_.each([](MicroMemoryListener& l) { l.microRowsChanged(); });
  rowListeners_.each([](MicroMemoryListener& l) { l.microRowsChanged(); });
}

std::string MicroMemory::AddressText(int address) {
  return FitWidth(NumToHex(static_cast<std::uint32_t>(address)), 2).str();
}

std::string MicroMemory::HorizontalText(int address) const { return MicroHorizontalText(Value(address)); }
std::string MicroMemory::VerticalText(int address) const { return MicroVerticalText(Value(address)); }

}  // namespace vesk
