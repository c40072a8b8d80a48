// The machine state file reader on arbitrary text. Checks that a refusal
// says why in valid UTF-8; that a state it accepts can be applied to a
// machine without breaking an owner's invariant; that the machine then
// captures the very same state; and that the file written from it reads back
// as the same state and writes the same bytes again.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/machine.h"
#include "app/machine_owners.h"
#include "fuzz_support.h"
#include "state/state_file.h"
#include "util/cp1251.h"

using namespace vesk;
using vesk::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Machine machine;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const StateRead read = ParseStateText(input);
  if (!read.ok) {
    Require(!read.error.empty() && IsValidUtf8(read.error), "a refusal says why, in UTF-8");
    return 0;
  }
  ApplyState(read.state, OwnersOf(machine));
  const auto captured = CaptureState(OwnersOf(machine), read.state.start);
  Require(captured.has_value(), "the start address read is one of memory");
  std::string text, error;
  Require(StateFileText(*captured, text, error), "an applied state can be saved");
  const StateRead again = ParseStateText(text);
  Require(again.ok, "a saved state reads back");
  Require(again.state == *captured, "a saved state reads back as it was");
  std::string second;
  Require(StateFileText(again.state, second, error) && second == text, "save, load, save gives the same bytes");
  // Rows the file did not list are at their start-up state, the rows it
  // listed as it said (a memory row without a word stays unwritten).
  for (const auto& row : read.state.memory) {
    Require(machine.memory.Written(row.address) == row.word.has_value(), "a memory row is written when it has a word");
    if (row.word) Require(machine.memory.Value(row.address) == *row.word, "a memory word is as the file says");
  }
  Require(captured->controllers.size() <= read.state.controllers.size(), "no controller changes that was not listed");
  Require(machine.breakpoints.All() == read.state.breakpoints, "the breakpoints are the file's");
  return 0;
}
