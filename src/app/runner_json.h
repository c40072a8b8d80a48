// vesk-run --json: the final state as one JSON object. The object is built
// first and printed as one line afterwards, so the runner can add keys of
// its own (the monitor's text) to it.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace vesk {

class Machine;

// Registers (BinToHex of the held bit strings), СчМК, flags, "commands",
// "micro_commands", "stopped", the controllers that differ from their
// initial state in address order, and "breakpoint" (the last hit or "").
nlohmann::ordered_json RunnerStateJson(const Machine& m);

// The object on one line, without spaces, UTF-8 as it is.
std::string RunnerJsonLine(const nlohmann::ordered_json& object);

}  // namespace vesk
