// The processor window ("Процессор"): every register, the state register bit
// by bit, the micro-command register in both forms, the 29 signal lamps, the
// decoder picture and the period indicator. A display only: it offers no
// commands. Opening it performs the machine's set-up: layout "Processor",
// MODE from [General] Mode, the periods from Interval1..3 through
// SetIntervals, the lamp hints, the state list, and the processor reset.
#pragma once

#include <cstdint>

#include "widgets/deferred_refresh.h"
#include "widgets/machine_window.h"
#include "core/processor.h"
#include "core/run_control.h"

namespace vesk {

class ControlUnitPanel;
class RegisterPanel;
class StateRegisterPanel;

class frmProcessor1 : public MachineWindow, private ProcessorListener, private RunControlListener {
  Q_OBJECT

 public:
  frmProcessor1(Processor& cpu, RunControl& runControl, std::string settingsFile, Dialogs* dialogs = nullptr,
                QWidget* parent = nullptr);
  ~frmProcessor1() override;

  // The panels, for the main window's tests and screenshots.
  RegisterPanel* panel(Reg r) const;
  StateRegisterPanel* statePanel() const { return state_; }
  ControlUnitPanel* controlUnit() const { return controlUnit_; }
  // Registers, lamps and the period indicator: live, or gathered on a beat.
  DeferredRefresh& deferredRefresh() { return refresh_; }

  // What the panels need to show whole; a smaller window scrolls them.
  QSize sizeHint() const override;

 protected:
  void onOpen() override;

 private:
  void registerChanged(Reg r) override;
  void lampChanged(int index, bool on) override;
  void indicatorMoved() override;
  void intervalsChanged(int t1, int t2, int t3) override;
  void showAll();
  void showRegister(Reg r);
  void showMarked();

  Processor& cpu_;
  RunControl& runControl_;
  RegisterPanel* data_;
  RegisterPanel* address_;
  RegisterPanel* counter_;
  RegisterPanel* command_;
  RegisterPanel* accumulator_;
  RegisterPanel* buffer_;
  RegisterPanel* key_;
  StateRegisterPanel* state_;
  ControlUnitPanel* controlUnit_;
  QWidget* panels_;
  DeferredRefresh refresh_{[this] { showMarked(); }};
  std::uint32_t markedRegisters_ = 0;  // bit i: Reg i
  bool lampsMarked_ = false;
  bool indicatorMarked_ = false;
};

}  // namespace vesk
