// The processor: every register, the state register, the adder latches, the
// 29 signal lamps and the run-control properties of the machine.
//
// Every set operation stores its value and tells the listeners at once, so a
// window shows the new value without any refresh pass.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "format/bit_value.h"
#include "format/word.h"
#include "util/listeners.h"

namespace vesk {

enum class Reg {
  A,               // А, accumulator
  Data,            // РД
  Command,         // РК
  CommandCounter,  // СК
  Address,         // РА
  Key,             // КР
  Buffer,          // БР (17 bits)
  State,           // РС
  MicroCommand,    // РМК (vertical and horizontal form)
  MicroCounter,    // СчМК
};

constexpr int kLampCount = 29;
inline constexpr std::string_view kStatusRunning = "Состояние : Работа ";
inline constexpr std::string_view kStatusStopped = "Состояние : Останов ";

class ProcessorListener {
 public:
  virtual ~ProcessorListener() = default;
  virtual void registerChanged(Reg) {}
  virtual void lampChanged(int /*index*/, bool /*on*/) {}
  // The run-state text of the main window's status bar.
  virtual void runStateTextChanged(std::string_view) {}
  // The pressed state of the main window's interrupt button.
  virtual void interruptButtonChanged(bool) {}
};

// Texts a window shows for one register; fields a register does not have stay
// empty.
struct RegisterTexts {
  std::string hex;
  std::string dec;
  std::string bin;
  std::string mnemonic;
  std::string bit16;          // БР only
  std::string horizontalBin;  // РМК only: "hhhh.hhhh.hhhh.hhhh llll.llll.llll.llll"
  std::string horizontalHex;  // РМК only: "HHHH LLLL"
};

class Processor {
 public:
  Processor();

  Listeners<ProcessorListener>& listeners() { return listeners_; }
  // Told only of changes made while the machine is not acting (see
  // MachineActs): a user's edits, loads, resets and inputs. A run costs
  // these listeners nothing.
  Listeners<ProcessorListener>& editListeners() { return edits_; }
  // Run control acts (a tick, a fast slice, a start, stop or step): the
  // changes made until the matching MachineRests are the machine's own.
  void MachineActs() { ++acting_; }
  void MachineRests() { --acting_; }
  // Registers set or restored since the last call (bit r = Reg r).
  std::uint32_t TakeChangedRegisters() { return std::exchange(changed_, 0u); }

  // Every getter gives the register's text; every setter takes any text and
  // keeps it (fitted to the register's width where noted).
  Word Reg_Get_A() const { return Value(Reg::A).text(); }
  void Reg_Set_A(std::string_view v) { Set(Reg::A, BitValue::OfBits(v)); }
  Word Reg_Get_Data() const { return Value(Reg::Data).text(); }
  void Reg_Set_Data(std::string_view v) { Set(Reg::Data, BitValue::OfBits(v)); }
  Word Reg_Get_Command() const { return Value(Reg::Command).text(); }
  void Reg_Set_Command(std::string_view v) { Set(Reg::Command, BitValue::OfBits(v)); }
  Word Reg_Get_CommandCounter() const { return Value(Reg::CommandCounter).text(); }
  void Reg_Set_CommandCounter(std::string_view v) { Set(Reg::CommandCounter, BitValue::OfBits(v)); }  // keeps 11 bits
  Word Reg_Get_Address() const { return Value(Reg::Address).text(); }
  void Reg_Set_Address(std::string_view v) { Set(Reg::Address, BitValue::OfBits(v)); }  // keeps 11 bits
  Word Reg_Get_Key() const { return Value(Reg::Key).text(); }
  void Reg_Set_Key(std::string_view v) { Set(Reg::Key, BitValue::OfBits(v)); }
  Word Reg_Get_Buffer() const { return Value(Reg::Buffer).text(); }
  void Reg_Set_Buffer(std::string_view v) { Set(Reg::Buffer, BitValue::OfBits(v)); }  // fits to 17 bits
  Word Reg_Get_State() const { return Value(Reg::State).text(); }
  void Reg_Set_State(std::string_view v) { Set(Reg::State, BitValue::OfBits(v)); }

  Word Micro_Reg_Get_Command() const { return Value(Reg::MicroCommand).text(); }
  // Stores the vertical form and its horizontal expansion.
  void Micro_Reg_Set_Command(std::string_view v) { Set(Reg::MicroCommand, BitValue::OfBits(v)); }
  Word Micro_Reg_Get_Horizontal() const;
  Word Micro_Reg_Get_CommandCounter() const { return Value(Reg::MicroCounter).text(); }
  // Two hex digits kept.
  void Micro_Reg_Set_CommandCounter(std::string_view hex) { Set(Reg::MicroCounter, BitValue::OfHex(hex)); }

  // The register as held: the executor and the traces read numbers from it.
  const BitValue& Value(Reg r) const { return regs_[static_cast<std::size_t>(r)]; }
  // The horizontal form of РМК, bit i = signal i.
  std::uint32_t Horizontal() const { return horizontal_; }
  // The one place a register changes: v fitted as the register's setter
  // fits a text (11 bits of СК and РА, 17 of БР, two hex digits of СчМК),
  // stored, and the listeners told.
  void Set(Reg r, const BitValue& v);

  Word Reg_Get_С() const;  // carry, РС bit 0 (Cyrillic С)
  void Reg_Set_С(std::string_view v);
  Word Reg_Get_Z() const;
  void Reg_Set_Z(std::string_view v);
  Word Reg_Get_N() const;
  void Reg_Set_N(std::string_view v);
  // РС bit := 1 when v is not 0 (a bit beyond the text adds one in front).
  void SetStateBit(int bit, int v);
  void SetInterruptMode(int v);  // РС bit 4
  void SetInterruptReg(int v);   // РС bit 5, and the interrupt button
  bool GetRunning() const { return Value(Reg::State).bit(7) == 1; }  // РС bit 7
  void SetRunning(bool running);

  bool LV_Get(int lamp) const;
  void LV_Set(int lamp, bool on);
  // Every lamp at once, bit i = lamp i.
  std::uint32_t Lamps() const { return lampBits_; }

  // РМК, СчМК "01", then А, РД, РА, РК, СК, РС, КР, БР to zero. The run
  // request flag, MODE and the status text are left alone.
  void Reset();

  // A step back's way in: the register gets exactly this text (no fitting;
  // РМК's horizontal form follows), and the listeners hear only of a change.
  void Restore(Reg r, std::string_view v);
  void Restore(Reg r, const BitValue& v);
  void RestoreRunState(std::string_view text, bool interruptButton);

  // The status text SetRunning last wrote (the window shows it).
  const std::string& RunStateText() const { return runStateText_; }
  bool InterruptButtonPressed() const { return interruptButton_; }

  RegisterTexts Texts(Reg r) const;

  // Run-control properties.
  BitValue ALU_LEFT;
  BitValue ALU_RIGHT;
  int MODE = 2;                 // 1 full period, 2 short period
  bool bIsRunning_Act = false;  // the run request flag

 private:
  void notify(Reg r) {
    changed_ |= 1u << static_cast<unsigned>(r);
    listeners_.each([r](ProcessorListener& l) { l.registerChanged(r); });
    if (acting_ == 0) edits_.each([r](ProcessorListener& l) { l.registerChanged(r); });
  }
  template <class F>
  void tell(F&& f) {
    listeners_.each(f);
    if (acting_ == 0) edits_.each(f);
  }

  // РС with bit `bit` := (v != 0).
  BitValue withStateBit(int bit, int v) const;

  Listeners<ProcessorListener> listeners_;
  Listeners<ProcessorListener> edits_;
  int acting_ = 0;
  std::uint32_t changed_ = 0;
  std::uint32_t lampBits_ = 0;
  std::array<BitValue, 10> regs_;
  std::uint32_t horizontal_ = 0;
  std::array<bool, kLampCount> lamps_{};
  std::string runStateText_ = "Состояние : Останов  ";
  bool interruptButton_ = false;
};

// Numeric value of flag text as the flag setters read it: "1" (or any text
// whose leading number is not zero) sets, everything else clears.
int FlagTextValue(std::string_view v);

}  // namespace vesk
