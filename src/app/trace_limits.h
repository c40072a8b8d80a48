// The most lines each trace keeps, from cfg.ini: [General] MaxTraceLines
// (command lines, default 1000000) and MaxMicroTraceLines (micro-command
// lines, default 10000000). A missing or empty key gives the default; a value
// that is not a whole number from 1 to kMaxTraceLines gives the default too,
// and the note says which key was refused. [General] HistoryDepth (how many
// micro-commands a step back can undo) is read the same way, from the
// history's default depth up to kMaxHistoryDepth.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vesk {

class Machine;

// A hundred million lines: about 3 GB for either trace.
constexpr std::int64_t kMaxTraceLines = 100'000'000;

// Ten million micro-commands: a few gigabytes of history.
constexpr std::int64_t kMaxHistoryDepth = 10'000'000;

struct TraceLimits {
  std::int64_t commandLines = 0;
  std::int64_t microLines = 0;
  std::int64_t historyDepth = 0;
  std::string note;  // Russian, for the status bar; empty when every value was taken
};

// A key's text as a line limit: digits only (blanks around them are not
// part of the value), 1 to kMaxTraceLines; nothing otherwise.
std::optional<std::int64_t> ParseTraceLines(std::string_view text);
// The same for a history depth: kDefaultDepth to kMaxHistoryDepth.
std::optional<std::int64_t> ParseHistoryDepth(std::string_view text);

TraceLimits ReadTraceLimits(const std::string& settingsFile);

// Gives both traces their limits and the history its depth.
void ApplyTraceLimits(const TraceLimits& limits, Machine& machine);

}  // namespace vesk
