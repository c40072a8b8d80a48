#include "core/processor.h"

#include "core/micro_command.h"
#include "format/bit_string.h"
#include "format/mnemonics.h"
#include "format/number_text.h"

namespace vesk {

namespace {

constexpr std::string_view kZero16 = "0000000000000000";

std::string GroupedDecimal(std::string_view hex) {
  return GroupDigits(NumToDec(static_cast<std::uint32_t>(HexToNum(hex))), 3, ".").str();
}

Word Mask11(std::string_view v) { return FitWidth(FitWidth(FitWidth(v, 16), 11), 16); }

// The low 16 bits of a micro-command as the expansion reads them: a
// character other than '1' is 0, bits beyond the text are 0.
std::uint32_t VerticalBits(const BitValue& v) {
  if (v.isBits()) return v.value() & 0xFFFFu;
  const Word text = v.text();
  std::uint32_t bits = 0;
  const int len = static_cast<int>(text.size());
  for (int i = 0; i < 16 && i < len; ++i)
    if (text[static_cast<std::size_t>(len - 1 - i)] == '1') bits |= 1u << i;
  return bits;
}

}  // namespace

int FlagTextValue(std::string_view v) {
  if (v == "1") return 1;
  if (v == "0") return 0;
  return LeadingNumber(v) != 0.0 ? 1 : 0;
}

Processor::Processor() {
  for (auto& r : regs_) r = BitValue::Bits(0, 16);
  regs_[static_cast<std::size_t>(Reg::Buffer)] = BitValue::Bits(0, 17);
  regs_[static_cast<std::size_t>(Reg::MicroCounter)] = BitValue::Hex(1, 2);
  ALU_LEFT = BitValue::Bits(0, 16);
  ALU_RIGHT = BitValue::Bits(0, 16);
  horizontal_ = ExpandMicroCommandValue(0);
}

void Processor::Set(Reg r, const BitValue& v) {
  BitValue& slot = regs_[static_cast<std::size_t>(r)];
  switch (r) {
    case Reg::CommandCounter:
    case Reg::Address:
      slot = v.isBits() ? BitValue::Bits(v.value() & 0x7FFu, 16) : BitValue::OfBits(Mask11(v.text()));
      break;
    case Reg::Buffer:
      slot = v.isBits() ? BitValue::Bits(v.value() & 0x1FFFFu, 17) : BitValue::OfBits(FitWidth(v.text(), 17));
      break;
    case Reg::MicroCounter:
      slot = v.isHex() ? BitValue::Hex(v.value() & 0xFFu, 2) : BitValue::OfHex(FitWidth(v.text(), 2));
      break;
    case Reg::MicroCommand:
      slot = v;
      horizontal_ = ExpandMicroCommandValue(VerticalBits(v));
      break;
    default:
      slot = v;
      break;
  }
  notify(r);
}

Word Processor::Micro_Reg_Get_Horizontal() const { return NumToBits(horizontal_, 32); }

BitValue Processor::withStateBit(int bit, int v) const {
  const BitValue& s = Value(Reg::State);
  const std::uint32_t one = v != 0 ? 1u : 0u;
  if (s.isBits() && bit >= 0 && bit < s.width()) {
    const std::uint32_t mask = 1u << bit;
    return BitValue::Bits(one ? (s.value() | mask) : (s.value() & ~mask), s.width());
  }
  // A bit beyond the text puts its character in front.
  if (s.isBits() && bit >= s.width() && s.width() < 32) return BitValue::Bits((one << s.width()) | s.value(), s.width() + 1);
  Word text = s.text();
  SetBit(text, bit, static_cast<int>(one));
  return BitValue::OfBits(text);
}

void Processor::SetStateBit(int bit, int v) { Set(Reg::State, withStateBit(bit, v)); }

Word Processor::Reg_Get_С() const { return NumToDec(Value(Reg::State).bit(0)); }
void Processor::Reg_Set_С(std::string_view v) { SetStateBit(0, FlagTextValue(v)); }
Word Processor::Reg_Get_Z() const { return NumToDec(Value(Reg::State).bit(1)); }
void Processor::Reg_Set_Z(std::string_view v) { SetStateBit(1, FlagTextValue(v)); }
Word Processor::Reg_Get_N() const { return NumToDec(Value(Reg::State).bit(2)); }
void Processor::Reg_Set_N(std::string_view v) { SetStateBit(2, FlagTextValue(v)); }

void Processor::SetInterruptMode(int v) { SetStateBit(4, v); }

void Processor::SetInterruptReg(int v) {
  SetStateBit(5, v);
  interruptButton_ = v != 0;
  const bool pressed = interruptButton_;
  tell([pressed](ProcessorListener& l) { l.interruptButtonChanged(pressed); });
}

void Processor::SetRunning(bool running) {
  const BitValue state = withStateBit(7, running ? 1 : 0);
  runStateText_ = std::string(running ? kStatusRunning : kStatusStopped);
  tell([this](ProcessorListener& l) { l.runStateTextChanged(runStateText_); });
  Set(Reg::State, state);
}

void Processor::Restore(Reg r, std::string_view v) {
  BitValue& slot = regs_[static_cast<std::size_t>(r)];
  if (slot.text() == v) return;
  slot = r == Reg::MicroCounter ? BitValue::OfHex(v) : BitValue::OfBits(v);
  if (r == Reg::MicroCommand) horizontal_ = ExpandMicroCommandValue(VerticalBits(slot));
  notify(r);
}

void Processor::Restore(Reg r, const BitValue& v) {
  BitValue& slot = regs_[static_cast<std::size_t>(r)];
  if (slot == v) return;
  slot = v;
  if (r == Reg::MicroCommand) horizontal_ = ExpandMicroCommandValue(VerticalBits(slot));
  notify(r);
}

void Processor::RestoreRunState(std::string_view text, bool interruptButton) {
  if (runStateText_ != text) {
    runStateText_ = std::string(text);
    tell([this](ProcessorListener& l) { l.runStateTextChanged(runStateText_); });
  }
  if (interruptButton_ != interruptButton) {
    interruptButton_ = interruptButton;
    tell([interruptButton](ProcessorListener& l) { l.interruptButtonChanged(interruptButton); });
  }
}

bool Processor::LV_Get(int lamp) const {
  if (lamp < 0 || lamp >= kLampCount) return false;
  return lamps_[static_cast<std::size_t>(lamp)];
}

void Processor::LV_Set(int lamp, bool on) {
  if (lamp < 0 || lamp >= kLampCount) return;
  auto& slot = lamps_[static_cast<std::size_t>(lamp)];
  if (slot == on) return;  // nothing to redraw
  slot = on;
  if (on) lampBits_ |= 1u << lamp;
  else lampBits_ &= ~(1u << lamp);
  tell([lamp, on](ProcessorListener& l) { l.lampChanged(lamp, on); });
}

void Processor::Reset() {
  Micro_Reg_Set_Command(kZero16);
  Micro_Reg_Set_CommandCounter("01");
  Reg_Set_A(kZero16);
  Reg_Set_Data(kZero16);
  Reg_Set_Address(kZero16);
  Reg_Set_Command(kZero16);
  Reg_Set_CommandCounter(kZero16);
  Reg_Set_State(kZero16);
  Reg_Set_Key(kZero16);
  Reg_Set_Buffer(kZero16);
}

RegisterTexts Processor::Texts(Reg r) const {
  RegisterTexts t;
  auto full = [&t](const Word& v) {
    const Word hex = BinToHex(v);
    t.hex = hex.str();
    t.dec = GroupedDecimal(hex);
    t.bin = GroupDigits(v, 4, ".").str();
    t.mnemonic = CodeToMnemonic(hex).str();
  };
  const Word v = Value(r).text();
  switch (r) {
    case Reg::A:
    case Reg::Data:
    case Reg::Key:
      full(v);
      break;
    case Reg::Command:
      t.hex = BinToHex(v).str();
      t.bin = GroupDigits(v, 4, ".").str();
      t.mnemonic = CodeToMnemonic(t.hex).str();
      break;
    case Reg::CommandCounter:
    case Reg::Address:
    case Reg::State:
      t.hex = BinToHex(v).str();
      t.bin = GroupDigits(v, 4, ".").str();
      break;
    case Reg::Buffer:
      t.bit16 = NumToDec(GetBit(v, 16)).str();
      full(FitWidth(v, 16));
      break;
    case Reg::MicroCommand: {
      const Word horizontal = Micro_Reg_Get_Horizontal();
      t.hex = BinToHex(v).str();
      t.bin = GroupDigits(v, 4, ".").str();
      t.horizontalBin = HorizontalBinText(horizontal);
      t.horizontalHex = GroupDigits(BinToHex(horizontal), 4, " ").str();
      break;
    }
    case Reg::MicroCounter:
      t.hex = v.str();
      t.bin = GroupDigits(HexToBin(v), 4, ".").str();
      break;
  }
  return t;
}

}  // namespace vesk
