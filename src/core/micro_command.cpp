#include "core/micro_command.h"

#include <new>

#include "core/processor.h"
#include "debug/breakpoints.h"
#include "format/bit_string.h"
#include "io/controllers.h"
#include "memory/main_memory.h"
#include "trace/command_trace.h"
#include "util/machine_error.h"

namespace vesk {

const std::array<std::string_view, 29> kSignalHints{
    "Сигнал прекращения выполнения программы (HLT)",
    "РД в АЛУ",
    "РК в АЛУ",
    "СК в АЛУ",
    "А в АЛУ",
    "РС в АЛУ",
    "КР в АЛУ (установка СК и РД)",
    "Левый входной сигнал сумматора в обратном коде",
    "Правый входной сигнал сумматора в обратном коде",
    "На БР результат логического умножения (когда открыто) или сложения (кода закрыто)",
    "+1 к сумме операндов",
    "А и С ассиметрично в БР (А.0 в БР.16, С в БР.15, А.15 в БР.14)",
    "А и С ассиметрично в БР (А.0 в БР.1, С в БР.0, А.15 в БР.16)",
    "Перенос из БР.16 в С",
    "Знак из БР.15 в N",
    "Если БР=0, то Z=1. Иначе Z=0",
    "0 в С",
    "1 в С",
    "БР в РА",
    "БР в РД",
    "БР в РК",
    "БР в СК",
    "БР в А",
    "Из памяти по адресу РА в РД",
    "Из РД в память по адресу РА",
    "Из РД приказ на ввод-вывод и адрес нужного ВУ",
    "Сброс флагов всех ВУ",
    "Сброс регистра прерывания и разрешения прерывания",
    "Установка рег. разрешения прерывания в 1",
};

namespace {

constexpr std::uint32_t Bit(int i) { return 1u << i; }

// Signals that put an operational micro-command in the ALU group.
constexpr std::uint32_t kAluGroupMask = 0x1FFFu | Bit(23) | Bit(24);

// Bits of a bit string read with GetBit semantics: bit i is set when the
// character for it is '1'; bits beyond the string are 0.
std::uint32_t BitsOf(std::string_view s, int count) {
  std::uint32_t v = 0;
  const int len = static_cast<int>(s.size());
  for (int i = 0; i < count && i < len; ++i)
    if (s[static_cast<std::size_t>(len - 1 - i)] == '1') v |= Bit(i);
  return v;
}

// '1' becomes '0', anything else '1' (as InvertBits), the width kept.
BitValue Inverted(const BitValue& v) {
  if (v.isBits()) return BitValue::Bits(~v.value(), v.width());
  return BitValue::OfBits(InvertBits(v.text()));
}

// Bits 0..15 read as BitsOf reads them.
std::uint32_t Low16(const BitValue& v) {
  if (v.isBits()) return v.value() & 0xFFFFu;
  return BitsOf(v.text(), 16);
}

}  // namespace

std::uint32_t ExpandMicroCommandValue(std::uint32_t v) {
  std::uint32_t h = 0;
  auto field = [v](int low) { return (v >> low) & 3u; };
  if (v & Bit(15)) {
    h |= Bit(31);
    if (v & Bit(14)) h |= Bit(24);
    h |= Bit(25 + static_cast<int>(field(12)));
    h |= Bit(static_cast<int>((v >> 8) & 15u));
    h |= (v & 0xFFu) << 16;
    return h;
  }
  if (v & Bit(14)) {
    if (v & Bit(11)) h |= Bit(28);
    if (v & Bit(10)) h |= Bit(27);
    if (v & Bit(9)) h |= Bit(26);
    if (v & Bit(8)) h |= Bit(25);
    switch (field(6)) {
      case 1: h |= Bit(13); break;
      case 2: h |= Bit(16); break;
      case 3: h |= Bit(17); break;
      default: break;
    }
    if (v & Bit(5)) h |= Bit(14);
    if (v & Bit(4)) h |= Bit(15);
    if (v & Bit(3)) h |= Bit(0);
    switch (v & 7u) {
      case 1: h |= Bit(18); break;
      case 2: h |= Bit(19); break;
      case 3: h |= Bit(20); break;
      case 4: h |= Bit(21); break;
      case 5: h |= Bit(22); break;
      case 7: h |= Bit(18) | Bit(19) | Bit(20) | Bit(22); break;
      default: break;
    }
    return h;
  }
  static constexpr int kLeft[4] = {-1, 4, 5, 6};
  static constexpr int kRight[4] = {-1, 1, 2, 3};
  static constexpr int kInvert[4] = {-1, 7, 8, -1};
  static constexpr int kOperation[4] = {-1, 10, 9, -1};
  static constexpr int kRotate[4] = {-1, 11, 12, -1};
  static constexpr int kMemory[4] = {-1, 23, 24, -1};
  for (const auto& [table, low] : {std::pair{kLeft, 12}, std::pair{kRight, 8}, std::pair{kInvert, 6},
                                   std::pair{kOperation, 4}, std::pair{kRotate, 2}, std::pair{kMemory, 0}}) {
    const int signal = table[field(low)];
    if (signal >= 0) h |= Bit(signal);
  }
  return h;
}

Word ExpandMicroCommand(std::string_view vertical) {
  return NumToBits(ExpandMicroCommandValue(BitsOf(vertical, 16)), 32);
}

std::string HorizontalBinText(std::string_view horizontal) {
  const Word h = FitWidth(horizontal, 32);
  std::string text = GroupDigits(h.view().substr(0, 16), 4, ".").str();
  text += ' ';
  text += GroupDigits(h.view().substr(16), 4, ".").view();
  return text;
}

void ShowSignals(Processor& cpu, std::string_view horizontal) { ShowSignals(cpu, BitsOf(horizontal, 32)); }

void ShowSignals(Processor& cpu, std::uint32_t h) {
  if (h & Bit(31)) return;
  for (int i = 0; i < kLampCount; ++i) cpu.LV_Set(i, (h & Bit(i)) != 0);
}

MicroExecutor::MicroExecutor(Processor& cpu, MainMemory& memory, Controllers& controllers,
                             CommandTrace& trace)
    : cpu_(cpu), memory_(memory), controllers_(controllers), trace_(trace) {}

void MicroExecutor::ExecuteMicroCommand(std::string_view horizontal, std::string_view key) {
  Execute(BitsOf(horizontal, 32), RowKeyOf(key));
}

void MicroExecutor::Execute(std::uint32_t h, RowKey key) {
  try {
    if (h & Bit(31))
      executeControl(h);
    else
      executeOperational(h);
    if (key == RowKey::CommandAddress)
      trace_.set_CURR_ADDR(cpu_.Value(Reg::CommandCounter));
    else if (key == RowKey::CommandInCR)
      trace_.set_CURR_CMD(cpu_.Value(Reg::Command));
  } catch (const MachineError& e) {
    fail(e.number(), e.what());
  } catch (const std::bad_alloc&) {
    fail(error_number::kOutOfMemory, "Недостаточно памяти");
  } catch (const std::exception& e) {
    fail(error_number::kInternal, std::string("Внутренняя ошибка программы: ") + e.what());
  }
}

void MicroExecutor::watchedWrite(std::string_view hexAddress) {
  const auto address = MainMemory::ParseAddress(hexAddress);
  if (address && watches_->Stops(BreakKind::MemoryWrite, *address) && watchHit_) watchHit_(*address);
}

void MicroExecutor::fail(int number, const std::string& description) {
  if (onError) onError(ErrorMessageText(number, description));
  cpu_.bIsRunning_Act = false;  // P_STOP: stop at the next command boundary
}

void MicroExecutor::executeControl(std::uint32_t h) {
  const BitValue* tested = nullptr;
  if (h & Bit(25)) tested = &cpu_.Value(Reg::State);
  if (h & Bit(26)) tested = &cpu_.Value(Reg::Data);
  if (h & Bit(27)) tested = &cpu_.Value(Reg::Command);
  if (h & Bit(28)) tested = &cpu_.Value(Reg::A);
  int n = 0;
  for (int i = 0; i < 16; ++i)
    if (h & Bit(i)) n = i;
  const int value = tested != nullptr ? tested->bit(n) : 0;
  const int expected = (h & Bit(24)) ? 1 : 0;
  if (value == expected) cpu_.Set(Reg::MicroCounter, BitValue::Hex((h >> 16) & 0xFFu, 2));
}

// РД := the word at РА. A clean РА names its row directly; any other text
// goes through the address text, as the memory window's would.
void MicroExecutor::readMemory() {
  const BitValue& address = cpu_.Value(Reg::Address);
  if (address.isBits(16) && address.value() < static_cast<std::uint32_t>(MainMemory::kWords))
    cpu_.Set(Reg::Data, BitValue::Bits(memory_.ReadAt(static_cast<int>(address.value())), 16));
  else
    cpu_.Reg_Set_Data(memory_.Mem_ReadMem(BinToHex(address.text())));
}

void MicroExecutor::writeMemory() {
  const BitValue& address = cpu_.Value(Reg::Address);
  const BitValue& data = cpu_.Value(Reg::Data);
  if (address.isBits(16) && address.value() < static_cast<std::uint32_t>(MainMemory::kWords) && data.isBits(16)) {
    const int a = static_cast<int>(address.value());
    memory_.WriteAt(a, static_cast<std::uint16_t>(data.value()));
    if (watches_ != nullptr && watches_->Stops(BreakKind::MemoryWrite, a) && watchHit_) watchHit_(a);
    return;
  }
  const Word hex = BinToHex(address.text());
  memory_.Mem_WriteMem(hex, data.text());
  if (watches_ != nullptr && watches_->AnyEnabled(BreakKind::MemoryWrite)) watchedWrite(hex);
}

void MicroExecutor::executeOperational(std::uint32_t h) {
  static const BitValue kZero = BitValue::Bits(0, 16);
  cpu_.ALU_RIGHT = kZero;
  cpu_.ALU_LEFT = kZero;
  if (h & kAluGroupMask) {
    if (h & Bit(0)) cpu_.bIsRunning_Act = false;
    if (h & Bit(1)) cpu_.ALU_RIGHT = cpu_.Value(Reg::Data);
    if (h & Bit(2)) cpu_.ALU_RIGHT = cpu_.Value(Reg::Command);
    if (h & Bit(3)) cpu_.ALU_RIGHT = cpu_.Value(Reg::CommandCounter);
    if (h & Bit(4)) cpu_.ALU_LEFT = cpu_.Value(Reg::A);
    if (h & Bit(5)) cpu_.ALU_LEFT = cpu_.Value(Reg::State);
    if (h & Bit(6)) cpu_.ALU_LEFT = cpu_.Value(Reg::Key);
    if (h & Bit(7)) cpu_.ALU_LEFT = Inverted(cpu_.ALU_LEFT);
    if (h & Bit(8)) cpu_.ALU_RIGHT = Inverted(cpu_.ALU_RIGHT);
    const std::uint64_t left = cpu_.ALU_LEFT.bitsValue();
    const std::uint64_t right = cpu_.ALU_RIGHT.bitsValue();
    std::uint64_t result = (h & Bit(9)) ? (left & right) : (left + right);
    if (h & Bit(10)) result += 1;
    if (h & (Bit(11) | Bit(12))) {
      const std::uint32_t a = Low16(cpu_.Value(Reg::A));
      const std::uint32_t c = cpu_.Value(Reg::State).bit(0) == 1 ? 1u : 0u;
      if (h & Bit(12))
        result = (((a >> 15) & 1u) << 16) | ((a & 0x7FFFu) << 1) | c;
      else
        result = ((a & 1u) << 16) | (c << 15) | (a >> 1);
    }
    cpu_.Set(Reg::Buffer, BitValue::Bits(static_cast<std::uint32_t>(result & 0x1FFFFu), 17));
    if (h & Bit(23)) readMemory();
    if (h & Bit(24)) writeMemory();
    return;
  }
  const BitValue& buffer = cpu_.Value(Reg::Buffer);
  const BitValue low =
      buffer.isBits() ? BitValue::Bits(buffer.value() & 0xFFFFu, 16) : BitValue::OfBits(FitWidth(buffer.text(), 16));
  if (h & Bit(13)) cpu_.SetStateBit(0, buffer.bit(16) == 1 ? 1 : 0);
  if (h & Bit(14)) cpu_.SetStateBit(2, buffer.bit(15) == 1 ? 1 : 0);
  if (h & Bit(15)) cpu_.SetStateBit(1, low.bitsValue() == 0 ? 1 : 0);
  if (h & Bit(16)) cpu_.SetStateBit(0, 0);
  if (h & Bit(17)) cpu_.SetStateBit(0, 1);
  if (h & Bit(18)) cpu_.Set(Reg::Address, low);
  if (h & Bit(19)) cpu_.Set(Reg::Data, low);
  if (h & Bit(20)) cpu_.Set(Reg::Command, low);
  if (h & Bit(21)) cpu_.Set(Reg::CommandCounter, low);
  if (h & Bit(22)) cpu_.Set(Reg::A, low);
  if (h & Bit(25)) {
    const BitValue& order = cpu_.Value(Reg::Data);
    if (order.isBits(16))
      controllers_.ExecuteIO(static_cast<std::uint16_t>(order.value()));
    else
      controllers_.ExecuteIOCommand(order.text());
  }
  if (h & Bit(26)) controllers_.DropAllFlag();
  if (h & Bit(27)) {
    cpu_.SetInterruptMode(0);
    cpu_.SetInterruptReg(0);
  }
  if (h & Bit(28)) cpu_.SetInterruptMode(1);
}

}  // namespace vesk
