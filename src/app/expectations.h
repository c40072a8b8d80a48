// What a program must leave behind when it has run: an expectations file
// (UTF-8 JSON) for vesk-run --expect and --batch. Its keys mirror vesk-run's
// --json output, and every key may be left out:
//
//   {"А": "0037", "СК": "01A", "С": "1",          registers and flags by their --json keys
//    "memory": {"020": "0037", "21": "ff00"},      words by address (000 to 7FF)
//    "controllers": {"05": {"flag": 1, "data": "41"}},  a controller's flag and data register
//    "monitor": "SUM = 37\nOK",                    the text on the monitor's screen
//    "stopped": true,                              the machine stopped (false: still ran)
//    "max_commands": 500}                          it took at most this many commands
//
// Hex values take either case and need no leading zeros (a register up to 8
// digits, a word up to 4, a data register up to 2); the flags С, N, Z and a
// controller's flag are 0 or 1 (a controller's flag as a number, as --json
// writes it, or as text). The monitor's text is its rows from the top, one
// line each, down to the row of the cursor, without the blanks at their ends.
// A key the reader does not know, a key given twice, a value of the wrong
// type or out of range is an error that names the key: nothing is ignored.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vesk {

class Machine;
class Monitor;

struct Expectations {
  struct Register {
    std::string key;    // the --json key ("А", "СчМК", "С")
    std::string value;  // upper-case hex as given
  };
  struct Controller {
    std::optional<int> flag;
    std::optional<std::string> data;  // upper-case hex as given
  };
  std::vector<Register> registers;         // in the order of --json
  std::map<int, std::string> memory;       // address -> upper-case hex as given
  std::map<int, Controller> controllers;   // controller address 0..255
  std::optional<std::string> monitor;      // lines joined by '\n', no line end at the end
  std::optional<bool> stopped;
  std::optional<std::int64_t> maxCommands;
};

struct ExpectationsRead {
  bool ok = false;
  std::string error;  // "«memory» «800»: an address of main memory is 000 to 7FF"
  Expectations expectations;
};

// Reads an expectations file's text.
ExpectationsRead ParseExpectations(std::string_view text);

// Reads a file; the error names it ("expectations 'lab3.json': ...").
ExpectationsRead LoadExpectations(const std::string& path);

// How the machine differs from what is expected, one readable line each
// ("cell 020: expected 0037, got 0036"), in a fixed order: stopped,
// commands, registers in --json order, memory and controllers by address,
// the monitor. Empty when every expectation holds.
std::vector<std::string> CheckExpectations(const Machine& m, const Expectations& expected, bool stopped);

// The monitor's text as an expectation compares it: its rows from the top
// down to the cursor's row, each without the blanks at its end, joined by
// '\n'; on the cursor's row only what stands before the cursor.
std::string MonitorText(const Monitor& monitor);

}  // namespace vesk
