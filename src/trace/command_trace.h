// The command trace: one line per executed command, fed through five public
// variables that the executor, main memory and run control set.
#pragma once

#include <cstdint>
#include <string_view>

#include "format/word.h"
#include "util/listeners.h"

namespace vesk {

class CommandTraceListener {
 public:
  virtual ~CommandTraceListener() = default;
  // CCounter changed: the status bar shows "Выполнено команд : n ".
  virtual void commandCounterChanged(std::int32_t) {}
};

class CommandTrace {
 public:
  Listeners<CommandTraceListener>& listeners() { return listeners_; }

  // Address the current command was fetched from (СК after row 02).
  const Word& CURR_ADDR() const { return currAddr_; }
  void set_CURR_ADDR(std::string_view v) { currAddr_ = v; }
  // The current command word (РК after row 06).
  const Word& CURR_CMD() const { return currCmd_; }
  void set_CURR_CMD(std::string_view v) { currCmd_ = v; }
  // "(W) " + address of the last memory write of the command.
  const Word& EFFECT_ADDR() const { return effectAddr_; }
  void set_EFFECT_ADDR(std::string_view v) { effectAddr_ = v; }
  // The new value of that cell, four hex digits.
  const Word& EFFECT_VAL() const { return effectVal_; }
  void set_EFFECT_VAL(std::string_view v) { effectVal_ = v; }
  // Commands logged since the last start.
  std::int32_t CCounter() const { return cCounter_; }
  void set_CCounter(std::int32_t v);

 private:
  Listeners<CommandTraceListener> listeners_;
  Word currAddr_, currCmd_, effectAddr_, effectVal_;
  std::int32_t cCounter_ = 0;
};

}  // namespace vesk
