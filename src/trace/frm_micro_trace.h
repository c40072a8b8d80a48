// The micro-command trace window ("Трассировка микропрограммы"): one line
// per executed micro-command.
#pragma once

#include "trace/trace_window.h"

namespace vesk {

class MicroTrace;

class frmMicroTrace : public TraceWindow {
  Q_OBJECT

 public:
  frmMicroTrace(MicroTrace& trace, std::string settingsFile, Dialogs* dialogs = nullptr, QWidget* parent = nullptr);

  MicroTrace& trace() { return trace_; }

 private:
  MicroTrace& trace_;
};

}  // namespace vesk
