// vesk-run's devices: a monitor on the controllers --monitor names (what the
// program prints is the screen's text at the end) and a keyboard on the one
// --keyboard names, with its keys queued before the start.
//
// Like the window program, the machine has one screen and one keyboard: any
// number of controllers may print onto the screen, but keys go to one
// controller only, so a second keyboard is refused. A controller holds one
// device, so the same address for --monitor and --keyboard is refused too.
// --io applies before the devices are attached: a data register it sets is
// not printed, and a flag 1 it sets on the keyboard's controller holds the
// first key back until the program clears the flag.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vesk {

class Machine;

struct RunnerKeyboard {
  int address = 0;
  std::vector<std::uint8_t> keys;
};

// "AA" (hex 00 to FF), or nothing.
std::optional<int> ParseRunnerController(std::string_view text);

// "AA=TEXT": every character becomes the code of the key that types it
// (CharacterKeyCode); "\xHH" is the key code HH (01 to FF) itself and "\\"
// a backslash. Empty text when parsed, else the reason.
std::string ParseRunnerKeyboard(std::string_view value, RunnerKeyboard& keyboard);

// Puts the monitor and the keyboard on their controllers and queues the
// keys. Empty text, or why not (a state file's keyboard sits on another
// controller); then nothing has changed.
std::string AttachRunnerDevices(Machine& m, const std::vector<int>& monitors,
                                const std::optional<RunnerKeyboard>& keyboard);

// True when some controller prints onto the screen.
bool HasMonitor(const Machine& m);

}  // namespace vesk
