// The machine state file (.vstate): one MachineState as UTF-8 JSON.
//
//   {"format": "vesk-state", "version": 1, "start": "000", "mode": "short",
//    "periods": [20, 100, 100],
//    "registers": {"А": "0000000000000101", ..., "СчМК": "01"},
//    "memory": [{"address": "000", "word": "F000", "comment": "..."}, ...],
//    "micro_memory": [{"address": "01", "word": "...", "comment": "..."}, ...],
//    "controllers": [{"address": "05", "flag": 1, "data": "41",
//                     "device": "Monitor", "comment": ""}, ...],
//    "breakpoints": [{"kind": "command", "address": "01A"},
//                    {"kind": "micro", "address": "1A", "enabled": false}, ...]}
//
// Registers are bit strings as the registers hold them; words and data
// registers are hex. Breakpoint kinds are "command", "micro", "memory" (a
// memory watchpoint) and "controller" (a controller watchpoint); a disabled
// one says "enabled": false. Rows stand in address order (breakpoints by
// kind first, in that order), one per line; memory rows
// without "word" were commented but not written, an empty comment is left
// out. The writer always writes the same bytes for the same state, so a file
// saved, loaded and saved again is unchanged.
//
// The reader checks everything (keys it does not know, types, ranges, rows
// twice or out of order, comments a memory cannot hold) before it returns a
// state, and names the first problem: a bad file never reaches the machine.
#pragma once

#include <string>
#include <string_view>

#include "state/machine_state.h"
#include "util/file_result.h"

namespace vesk {

inline constexpr int kStateFormatVersion = 1;
inline constexpr std::string_view kStateFormatName = "vesk-state";

// A breakpoint kind's name in the file.
std::string_view StateBreakKindName(BreakKind kind);

// The file's bytes; false, with the reason in error, when a comment is not
// valid UTF-8.
bool StateFileText(const MachineState& state, std::string& text, std::string& error);

// Writes the file atomically (util/atomic_file.h): a failed save leaves the
// old file as it was.
FileResult SaveStateFile(const MachineState& state, const std::string& fileName);

struct StateRead {
  bool ok = false;
  std::string error;  // what is wrong, in Russian ("memory, строка 3 (адрес 002): ...")
  MachineState state;
};

// Reads a file's text.
StateRead ParseStateText(std::string_view text);

// Reads a file; the error names the file ("Не удаётся загрузить состояние
// 'lab.vstate': ...").
StateRead LoadStateFile(const std::string& fileName);

}  // namespace vesk
