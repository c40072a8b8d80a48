// The two forms of a micro-command and their execution.
//
// Vertical: the 16-bit word stored in micro-memory and held in РМК.
// Horizontal: 32 bits, one per control signal, computed from the vertical form.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "core/row_key.h"
#include "format/word.h"

namespace vesk {

class Processor;
class MainMemory;
class Controllers;
class CommandTrace;
class Breakpoints;

// The hint texts of the 29 signal lamps, bit 0 first.
extern const std::array<std::string_view, 29> kSignalHints;

// The horizontal form (32 characters) of a vertical micro-command.
Word ExpandMicroCommand(std::string_view vertical);
// The same as a number, bit i = signal i.
std::uint32_t ExpandMicroCommandValue(std::uint32_t vertical);

// "hhhh.hhhh.hhhh.hhhh llll.llll.llll.llll" of a horizontal form.
std::string HorizontalBinText(std::string_view horizontal);

// Lamps 0..28 show an operational micro-command; a control one leaves them.
void ShowSignals(Processor& cpu, std::string_view horizontal);
void ShowSignals(Processor& cpu, std::uint32_t horizontal);

// Carries out one micro-command against the processor, main memory, the
// controllers and the command trace.
class MicroExecutor {
 public:
  MicroExecutor(Processor& cpu, MainMemory& memory, Controllers& controllers, CommandTrace& trace);

  // Any failure abandons the rest of the micro-command, is reported through
  // onError with the text "Error #n" CR LF description, and requests a stop.
  void ExecuteMicroCommand(std::string_view horizontal, std::string_view key);
  // The same for a horizontal form given as a number (bit i = signal i).
  void Execute(std::uint32_t horizontal, RowKey key);

  std::function<void(const std::string& message)> onError;

  // Memory watchpoints: after a write to a word `watches` watches, `hit`
  // hears its address.
  void setMemoryWatch(const Breakpoints* watches, std::function<void(int address)> hit) {
    watches_ = watches;
    watchHit_ = std::move(hit);
  }

 private:
  void watchedWrite(std::string_view hexAddress);

  void executeControl(std::uint32_t h);
  void executeOperational(std::uint32_t h);
  void fail(int number, const std::string& description);
  void readMemory();
  void writeMemory();

  Processor& cpu_;
  MainMemory& memory_;
  Controllers& controllers_;
  CommandTrace& trace_;
  const Breakpoints* watches_ = nullptr;
  std::function<void(int)> watchHit_;
};

}  // namespace vesk
