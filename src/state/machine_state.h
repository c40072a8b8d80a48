// A machine as a lab hands it out: registers, memories, controllers, the
// timing mode and periods, the start address and the breakpoints and
// watchpoints, as one plain value.
//
// Capture reads it from the owners through their public operations; Apply
// writes a value that state_file's reader has checked back into them, so a
// load either changes everything or, when the file is bad, nothing.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "debug/breakpoints.h"

namespace vesk {

class Processor;
class MainMemory;
class MicroMemory;
class Controllers;
class RunControl;
class Breakpoints;

// The owners a state is read from and written to.
struct StateOwners {
  Processor& processor;
  MainMemory& memory;
  MicroMemory& microMemory;
  Controllers& controllers;
  RunControl& runControl;
  Breakpoints& breakpoints;
};

// The registers in the order the state file lists them, by their names in
// the processor window (the keys of vesk-run --json).
inline constexpr std::array<std::string_view, 10> kStateRegisterNames = {"А",  "РД", "РК", "СК",  "РА",
                                                                          "КР", "БР", "РС", "РМК", "СчМК"};

struct MachineState {
  // Bit strings as the registers hold them, most significant bit first;
  // СчМК (the last) is its two hex digits.
  std::array<std::string, kStateRegisterNames.size()> registers;
  int mode = 2;  // 2 short period, 1 full period
  std::array<int, 3> periods{20, 100, 100};
  std::string start = "000";  // three upper-case hex digits

  struct MemoryRow {
    int address = 0;
    std::optional<std::string> word;  // 16 bits; none: a row not written since memory was cleared
    std::string comment;
    bool operator==(const MemoryRow&) const = default;
  };
  std::vector<MemoryRow> memory;  // rows written or commented, by address

  struct MicroRow {
    int address = 1;
    std::string word;  // 16 bits
    std::string comment;
    bool operator==(const MicroRow&) const = default;
  };
  std::vector<MicroRow> microMemory;  // rows not zero or commented, by address

  struct ControllerRow {
    int address = 0;
    int flag = 0;
    std::string data = "00000000";
    std::string device;
    std::string comment;
    bool operator==(const ControllerRow&) const = default;
  };
  std::vector<ControllerRow> controllers;  // rows not as at start-up, or commented, by address

  std::vector<Breakpoint> breakpoints;  // by kind, then by address (as Breakpoints::All lists them)

  friend bool operator==(const MachineState&, const MachineState&) = default;
};

// The owners' state. startAddress: the start-address field's text (empty
// means 000); nothing when it names no word of memory.
std::optional<MachineState> CaptureState(const StateOwners& owners, std::string_view startAddress);

// Replaces everything the state holds; rows it does not list return to their
// start-up state. The state must be one the reader accepted (or a capture).
void ApplyState(const MachineState& state, const StateOwners& owners);

}  // namespace vesk
