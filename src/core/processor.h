// The processor: every register, the state register, the adder latches, the
// 29 signal lamps and the run-control properties of the machine.
//
// Every set operation stores its value and tells the listeners at once, so a
// window shows the new value without any refresh pass.
#pragma once

#include <array>
#include <string>
#include <string_view>

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

  const Word& Reg_Get_A() const { return a_; }
  void Reg_Set_A(std::string_view v);
  const Word& Reg_Get_Data() const { return data_; }
  void Reg_Set_Data(std::string_view v);
  const Word& Reg_Get_Command() const { return command_; }
  void Reg_Set_Command(std::string_view v);
  const Word& Reg_Get_CommandCounter() const { return commandCounter_; }
  void Reg_Set_CommandCounter(std::string_view v);  // keeps 11 bits
  const Word& Reg_Get_Address() const { return address_; }
  void Reg_Set_Address(std::string_view v);  // keeps 11 bits
  const Word& Reg_Get_Key() const { return key_; }
  void Reg_Set_Key(std::string_view v);
  const Word& Reg_Get_Buffer() const { return buffer_; }
  void Reg_Set_Buffer(std::string_view v);  // fits to 17 bits
  const Word& Reg_Get_State() const { return state_; }
  void Reg_Set_State(std::string_view v);

  const Word& Micro_Reg_Get_Command() const { return microCommand_; }
  // Stores the vertical form and its horizontal expansion.
  void Micro_Reg_Set_Command(std::string_view v);
  const Word& Micro_Reg_Get_Horizontal() const { return microHorizontal_; }
  const Word& Micro_Reg_Get_CommandCounter() const { return microCounter_; }
  void Micro_Reg_Set_CommandCounter(std::string_view hex);  // two digits kept

  Word Reg_Get_С() const;  // carry, РС bit 0 (Cyrillic С)
  void Reg_Set_С(std::string_view v);
  Word Reg_Get_Z() const;
  void Reg_Set_Z(std::string_view v);
  Word Reg_Get_N() const;
  void Reg_Set_N(std::string_view v);
  void SetInterruptMode(int v);  // РС bit 4
  void SetInterruptReg(int v);   // РС bit 5, and the interrupt button
  bool GetRunning() const;       // РС bit 7
  void SetRunning(bool running);

  bool LV_Get(int lamp) const;
  void LV_Set(int lamp, bool on);

  // РМК, СчМК "01", then А, РД, РА, РК, СК, РС, КР, БР to zero. The run
  // request flag, MODE and the status text are left alone.
  void Reset();

  // A step back's way in: the register gets exactly this text (no fitting;
  // РМК's horizontal form follows), and the listeners hear only of a change.
  void Restore(Reg r, std::string_view v);
  void RestoreRunState(std::string_view text, bool interruptButton);

  // The status text SetRunning last wrote (the window shows it).
  const std::string& RunStateText() const { return runStateText_; }
  bool InterruptButtonPressed() const { return interruptButton_; }

  RegisterTexts Texts(Reg r) const;

  // Run-control properties.
  Word ALU_LEFT;
  Word ALU_RIGHT;
  int MODE = 2;                 // 1 full period, 2 short period
  bool bIsRunning_Act = false;  // the run request flag

 private:
  void notify(Reg r) {
    listeners_.each([r](ProcessorListener& l) { l.registerChanged(r); });
  }
  void setStateBit(int bit, int v);
  static Word Mask11(std::string_view v);

  Listeners<ProcessorListener> listeners_;
  Word a_, data_, command_, commandCounter_, address_, key_, buffer_, state_;
  Word microCommand_, microHorizontal_, microCounter_;
  std::array<bool, kLampCount> lamps_{};
  std::string runStateText_ = "Состояние : Останов  ";
  bool interruptButton_ = false;
};

// Numeric value of flag text as the flag setters read it: "1" (or any text
// whose leading number is not zero) sets, everything else clears.
int FlagTextValue(std::string_view v);

}  // namespace vesk
