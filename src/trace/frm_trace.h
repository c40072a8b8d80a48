// The command trace window ("Трассировка"): one line per executed command.
#pragma once

#include "trace/trace_window.h"

namespace vesk {

class CommandTrace;

class frmTrace : public TraceWindow {
  Q_OBJECT

 public:
  frmTrace(CommandTrace& trace, std::string settingsFile, Dialogs* dialogs = nullptr, QWidget* parent = nullptr);

  CommandTrace& trace() { return trace_; }

 private:
  CommandTrace& trace_;
};

}  // namespace vesk
