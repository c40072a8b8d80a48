// The expectations file reader on arbitrary text. Checks that a refusal says
// why in valid UTF-8; that what it accepts keeps to the ranges the check
// relies on (addresses, digits, flags, monitor lines as the screen gives
// them); and that judging a machine by it gives readable lines.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/expectations.h"
#include "app/machine.h"
#include "fuzz_support.h"
#include "util/cp1251.h"

using namespace vesk;
using vesk::fuzz::Require;

namespace {

bool UpperHex(const std::string& s, std::size_t most) {
  if (s.empty() || s.size() > most) return false;
  for (const char c : s)
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Machine machine;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const ExpectationsRead read = ParseExpectations(input);
  if (!read.ok) {
    Require(!read.error.empty() && IsValidUtf8(read.error), "a refusal says why, in UTF-8");
    return 0;
  }
  const Expectations& e = read.expectations;
  Require(e.registers.size() <= 13, "each register once");
  for (const auto& r : e.registers) {
    const bool flag = r.key == "С" || r.key == "N" || r.key == "Z";
    Require(flag ? (r.value == "0" || r.value == "1") : UpperHex(r.value, 8), "a register's value is hex");
  }
  for (const auto& [address, word] : e.memory)
    Require(address >= 0 && address <= 0x7FF && UpperHex(word, 4), "a memory expectation names a word");
  for (const auto& [address, c] : e.controllers) {
    Require(address >= 0 && address <= 0xFF, "a controller address is 00 to FF");
    Require(!c.flag || *c.flag == 0 || *c.flag == 1, "a controller's flag is 0 or 1");
    Require(!c.data || UpperHex(*c.data, 2), "a data register is one byte");
  }
  if (e.monitor) {
    Require(e.monitor->find('\r') == std::string::npos, "monitor lines end in LF only");
    Require(e.monitor->empty() || e.monitor->back() != '\n', "no line end after the last line");
    Require(e.monitor->find(" \n") == std::string::npos && (e.monitor->empty() || e.monitor->back() != ' '),
            "no blanks at line ends");
  }
  Require(!e.maxCommands || *e.maxCommands >= 0, "a command count is not negative");
  for (const bool stopped : {false, true})
    for (const std::string& line : CheckExpectations(machine, e, stopped))
      Require(!line.empty() && IsValidUtf8(line), "a mismatch is a readable line");
  return 0;
}
