// vesk-run: the headless runner. It builds the same machine as the window
// program, runs one program through the real run control in virtual time and
// writes what the windows would let a user save.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/runner_devices.h"
#include "debug/breakpoints.h"

namespace vesk {

struct RunnerOptions {
  std::string micro;  // empty: the micro-program shipped beside the program
  std::string dump;
  std::string start = "000";
  bool startGiven = false;  // without --start a program source starts where it says
  int mode = 2;  // 2 short period, 1 full period
  bool modeGiven = false;  // without --mode a state file's mode holds
  std::string state;       // machine state file to start from
  std::string saveState;   // machine state file to write at the end
  std::int64_t maxCommands = 1000000;
  std::int64_t maxMicro = 100000000;
  struct Io {
    int address;
    std::string data;  // 8 bits
    int flag;          // -1: not given
  };
  std::vector<Io> io;
  std::optional<std::int64_t> interruptAfter;
  // --break, --micro-break, --watch, --watch-io, in the order given.
  std::vector<std::pair<BreakKind, int>> breakpoints;
  // --monitor, in the order given, and --keyboard (app/runner_devices.h).
  std::vector<int> monitors;
  std::optional<RunnerKeyboard> keyboard;
  std::string trace, microTrace, saveDump;
  std::string expect;              // expectations file (app/expectations.h)
  std::vector<std::string> batch;  // --batch: folders and files of submissions
  std::string report;              // --report: the batch's verdicts as CSV
  bool json = false;
  bool help = false;
};

// Exit statuses.
constexpr int kRunStopped = 0;       // stopped at a command boundary
constexpr int kRunUsageError = 2;    // bad usage, or a file that cannot be read or written
constexpr int kRunLimitReached = 3;  // a limit was reached while the machine still ran
constexpr int kRunMachineError = 4;  // the machine reported an error (executor or fetch)
constexpr int kRunNotAsExpected = 5;  // --expect: an expectation does not hold (--batch: one did not pass)

// Parses the command line; on failure returns the one-line reason.
std::pair<std::optional<RunnerOptions>, std::string> ParseRunnerArgs(const std::vector<std::string>& args);

std::string RunnerUsage();

// Runs and returns the exit status. programDir locates the shipped micro-program.
int RunHeadless(const RunnerOptions& options, const std::string& programDir, std::ostream& out, std::ostream& err);

struct Expectations;

// What one run checked against expectations found.
struct RunVerdict {
  std::int64_t commands = 0;
  std::vector<std::string> mismatches;
};

// Runs one program as RunHeadless does, judged by expectations when given
// (then a machine error is a mismatch too, and the status is 0, 5 or 2).
int RunChecked(const RunnerOptions& options, const std::string& programDir, const Expectations* expectations,
               std::ostream& out, std::ostream& err, RunVerdict& verdict);

// The name of the micro-program shipped beside the executables.
inline constexpr const char* kShippedMicroProgram = "vesk.mpdmp";

// The folder of the running executable.
std::string ProgramDirectory();

}  // namespace vesk
