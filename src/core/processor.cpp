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

}  // namespace

int FlagTextValue(std::string_view v) {
  if (v == "1") return 1;
  if (v == "0") return 0;
  return LeadingNumber(v) != 0.0 ? 1 : 0;
}

Processor::Processor()
    : ALU_LEFT(kZero16),
      ALU_RIGHT(kZero16),
      a_(kZero16),
      data_(kZero16),
      command_(kZero16),
      commandCounter_(kZero16),
      address_(kZero16),
      key_(kZero16),
      buffer_(FitWidth(kZero16, 17)),
      state_(kZero16),
      microCommand_(kZero16),
      microHorizontal_(ExpandMicroCommand(kZero16)),
      microCounter_("01") {}

Word Processor::Mask11(std::string_view v) { return FitWidth(FitWidth(FitWidth(v, 16), 11), 16); }

void Processor::Reg_Set_A(std::string_view v) {
  a_ = v;
  notify(Reg::A);
}

void Processor::Reg_Set_Data(std::string_view v) {
  data_ = v;
  notify(Reg::Data);
}

void Processor::Reg_Set_Command(std::string_view v) {
  command_ = v;
  notify(Reg::Command);
}

void Processor::Reg_Set_CommandCounter(std::string_view v) {
  commandCounter_ = Mask11(v);
  notify(Reg::CommandCounter);
}

void Processor::Reg_Set_Address(std::string_view v) {
  address_ = Mask11(v);
  notify(Reg::Address);
}

void Processor::Reg_Set_Key(std::string_view v) {
  key_ = v;
  notify(Reg::Key);
}

void Processor::Reg_Set_Buffer(std::string_view v) {
  buffer_ = FitWidth(v, 17);
  notify(Reg::Buffer);
}

void Processor::Reg_Set_State(std::string_view v) {
  state_ = v;
  notify(Reg::State);
}

void Processor::Micro_Reg_Set_Command(std::string_view v) {
  microCommand_ = v;
  microHorizontal_ = ExpandMicroCommand(v);
  notify(Reg::MicroCommand);
}

void Processor::Micro_Reg_Set_CommandCounter(std::string_view hex) {
  microCounter_ = FitWidth(hex, 2);
  notify(Reg::MicroCounter);
}

void Processor::setStateBit(int bit, int v) {
  Word s = state_;
  SetBit(s, bit, v != 0 ? 1 : 0);
  Reg_Set_State(s);
}

Word Processor::Reg_Get_С() const { return NumToDec(GetBit(state_, 0)); }
void Processor::Reg_Set_С(std::string_view v) { setStateBit(0, FlagTextValue(v)); }
Word Processor::Reg_Get_Z() const { return NumToDec(GetBit(state_, 1)); }
void Processor::Reg_Set_Z(std::string_view v) { setStateBit(1, FlagTextValue(v)); }
Word Processor::Reg_Get_N() const { return NumToDec(GetBit(state_, 2)); }
void Processor::Reg_Set_N(std::string_view v) { setStateBit(2, FlagTextValue(v)); }

void Processor::SetInterruptMode(int v) { setStateBit(4, v); }

void Processor::SetInterruptReg(int v) {
  setStateBit(5, v);
  interruptButton_ = v != 0;
  const bool pressed = interruptButton_;
  listeners_.each([pressed](ProcessorListener& l) { l.interruptButtonChanged(pressed); });
}

bool Processor::GetRunning() const { return GetBit(state_, 7) == 1; }

void Processor::SetRunning(bool running) {
  Word s = state_;
  SetBit(s, 7, running ? 1 : 0);
  runStateText_ = std::string(running ? kStatusRunning : kStatusStopped);
  listeners_.each([this](ProcessorListener& l) { l.runStateTextChanged(runStateText_); });
  Reg_Set_State(s);
}

void Processor::Restore(Reg r, std::string_view v) {
  Word* slot = nullptr;
  switch (r) {
    case Reg::A: slot = &a_; break;
    case Reg::Data: slot = &data_; break;
    case Reg::Command: slot = &command_; break;
    case Reg::CommandCounter: slot = &commandCounter_; break;
    case Reg::Address: slot = &address_; break;
    case Reg::Key: slot = &key_; break;
    case Reg::Buffer: slot = &buffer_; break;
    case Reg::State: slot = &state_; break;
    case Reg::MicroCommand: slot = &microCommand_; break;
    case Reg::MicroCounter: slot = &microCounter_; break;
  }
  if (slot == nullptr || *slot == v) return;
  *slot = v;
  if (r == Reg::MicroCommand) microHorizontal_ = ExpandMicroCommand(v);
  notify(r);
}

void Processor::RestoreRunState(std::string_view text, bool interruptButton) {
  if (runStateText_ != text) {
    runStateText_ = std::string(text);
    listeners_.each([this](ProcessorListener& l) { l.runStateTextChanged(runStateText_); });
  }
  if (interruptButton_ != interruptButton) {
    interruptButton_ = interruptButton;
    listeners_.each([interruptButton](ProcessorListener& l) { l.interruptButtonChanged(interruptButton); });
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
  listeners_.each([lamp, on](ProcessorListener& l) { l.lampChanged(lamp, on); });
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
  switch (r) {
    case Reg::A:
      full(a_);
      break;
    case Reg::Data:
      full(data_);
      break;
    case Reg::Key:
      full(key_);
      break;
    case Reg::Command:
      t.hex = BinToHex(command_).str();
      t.bin = GroupDigits(command_, 4, ".").str();
      t.mnemonic = CodeToMnemonic(t.hex).str();
      break;
    case Reg::CommandCounter:
      t.hex = BinToHex(commandCounter_).str();
      t.bin = GroupDigits(commandCounter_, 4, ".").str();
      break;
    case Reg::Address:
      t.hex = BinToHex(address_).str();
      t.bin = GroupDigits(address_, 4, ".").str();
      break;
    case Reg::Buffer: {
      t.bit16 = NumToDec(GetBit(buffer_, 16)).str();
      full(FitWidth(buffer_, 16));
      break;
    }
    case Reg::State:
      t.hex = BinToHex(state_).str();
      t.bin = GroupDigits(state_, 4, ".").str();
      break;
    case Reg::MicroCommand: {
      t.hex = BinToHex(microCommand_).str();
      t.bin = GroupDigits(microCommand_, 4, ".").str();
      t.horizontalBin = HorizontalBinText(microHorizontal_);
      t.horizontalHex = GroupDigits(BinToHex(microHorizontal_), 4, " ").str();
      break;
    }
    case Reg::MicroCounter:
      t.hex = microCounter_.str();
      t.bin = GroupDigits(HexToBin(microCounter_), 4, ".").str();
      break;
  }
  return t;
}

}  // namespace vesk
