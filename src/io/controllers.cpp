#include "io/controllers.h"

#include "core/processor.h"
#include "format/bit_string.h"
#include "format/number_text.h"
#include "util/machine_error.h"

namespace vesk {

std::string ControllerDataText(std::string_view bits8) {
  const Word hex = BinToHex(bits8);
  std::string text = hex.str();
  text += " | ";
  text += FitWidth(NumToDec(static_cast<std::uint32_t>(HexToNum(hex))), 3).view();
  text += " | ";
  text += GroupDigits(bits8, 4, ".").view();
  return text;
}

Controllers::Controllers(Processor& cpu) : cpu_(cpu) {}

std::optional<int> Controllers::ParseAddress(std::string_view hex) { return ParseHexBelow(hex, kCount); }

const Controllers::Entry& Controllers::entry(int row) const {
  if (row < 0 || row >= kCount)
    throw MachineError(error_number::kOutOfRange, "Индекс вне диапазона: нет строки контроллера " + std::to_string(row));
  return entries_[static_cast<std::size_t>(row)];
}

Controllers::Entry& Controllers::entry(int row) {
  return const_cast<Entry&>(static_cast<const Controllers*>(this)->entry(row));
}

int Controllers::rowOf(std::string_view addr) const {
  const auto a = ParseAddress(addr);
  if (!a) throw MachineError(error_number::kOutOfRange, "Индекс вне диапазона: нет контроллера '" + std::string(addr) + "'");
  return RowOfAddress(*a);
}

void Controllers::changed(int row) {
  listeners_.each([row](ControllersListener& l) { l.controllerChanged(row); });
}

int Controllers::Reg_Get_Flag(std::string_view addr) const { return entry(rowOf(addr)).flag; }

void Controllers::Reg_Set_Flag(std::string_view addr, int data) { SetFlagOfRow(rowOf(addr), data); }

void Controllers::SetFlagOfRow(int row, int flag) {
  entry(row).flag = flag;
  changed(row);
  listeners_.each([row](ControllersListener& l) { l.flagChanged(row); });
}

Word Controllers::Reg_Get_Data(std::string_view addr) const { return Data(rowOf(addr)); }

void Controllers::Reg_Set_Data(std::string_view addr, std::string_view data) {
  const int row = rowOf(addr);
  const Word bits = FitWidth(data, 8);
  if (!IsBitString(bits, 8))
    throw MachineError(error_number::kTypeMismatch, "Несоответствие типа: регистр данных принимает 8 разрядов, а не '" + std::string(data) + "'");
  storeData(row, static_cast<std::uint8_t>(BitsValue(bits)));
}

void Controllers::storeData(int row, std::uint8_t data) {
  entry(row).data = data;
  changed(row);
  listeners_.each([row](ControllersListener& l) { l.dataRegisterWritten(row); });
}

void Controllers::RestoreRow(int row, int flag, std::string_view data) {
  if (!IsBitString(data, 8)) return;
  Entry& e = entry(row);
  e.flag = flag;
  e.data = static_cast<std::uint8_t>(BitsValue(data));
  listeners_.each([row](ControllersListener& l) { l.rowRestored(row); });
}

void Controllers::DropAllFlag() {
  for (int row = 0; row < kCount; ++row) {
    if (entries_[static_cast<std::size_t>(row)].flag == 0) continue;
    entries_[static_cast<std::size_t>(row)].flag = 0;
    changed(row);
    listeners_.each([row](ControllersListener& l) { l.flagChanged(row); });
  }
}

void Controllers::ExecuteIOCommand(std::string_view bin_cmd) {
  Word hex = BinToHex(bin_cmd);
  if (hex.size() < 4) hex = FitWidth(hex, 4);
  const int order = HexToNum(hex.view().substr(1, 1));
  const std::string_view address = hex.view().substr(hex.size() - 2);
  switch (order) {
    case 0:
      Reg_Set_Flag(address, 0);
      break;
    case 1:
      if (Reg_Get_Flag(address) == 1) {
        bool carry = false;
        cpu_.Reg_Set_CommandCounter(AddWords(cpu_.Reg_Get_CommandCounter(), "1", carry));
      }
      break;
    case 2:
      cpu_.Reg_Set_A(Reg_Get_Data(address));
      break;
    case 3:
      Reg_Set_Data(address, cpu_.Reg_Get_A());
      break;
    default:
      break;
  }
}

void Controllers::ExecuteIO(std::uint16_t order) {
  const int row = RowOfAddress(order & 0xFFu);
  switch ((order >> 8) & 15u) {
    case 0:
      SetFlagOfRow(row, 0);
      break;
    case 1:
      if (entry(row).flag == 1) {
        const BitValue& counter = cpu_.Value(Reg::CommandCounter);
        if (counter.isBits())
          cpu_.Set(Reg::CommandCounter, BitValue::Bits(counter.value() + 1u, 16));
        else
          ExecuteIOCommand(NumToBits(order, 16));
      }
      break;
    case 2:
      cpu_.Set(Reg::A, BitValue::Bits(entry(row).data, 8));
      break;
    case 3: {
      const BitValue& a = cpu_.Value(Reg::A);
      if (a.isBits())
        storeData(row, static_cast<std::uint8_t>(a.value() & 0xFFu));
      else
        ExecuteIOCommand(NumToBits(order, 16));
      break;
    }
    default:
      break;
  }
}

std::string Controllers::AddressText(int row) {
  return FitWidth(NumToHex(static_cast<std::uint32_t>(AddressOfRow(row))), 2).str();
}

std::string Controllers::DataText(int row) const { return ControllerDataText(Data(row)); }

void Controllers::SetDevice(int row, std::string_view device) {
  entry(row).device = device;
  changed(row);
}

void Controllers::SetComment(int row, std::string_view comment) {
  entry(row).comment = comment;
  changed(row);
}

bool Controllers::IsInitial(int row) const {
  const Entry& e = entry(row);
  return e.flag == 0 && e.data == 0 && e.device == kNoDevice;
}

}  // namespace vesk
