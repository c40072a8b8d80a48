// vesk-run's machine state files: --state loads one before the run (the
// --micro, --dump and --io options then apply on top), --save-state writes
// the final state with the outputs (app/runner_outputs.h).
#pragma once

#include <array>
#include <string>

#include "state/machine_state.h"

namespace vesk {

class Machine;

// What a state file sets that the run itself does not use: the runner runs
// with periods 0, 0, 0 in virtual time, but a state it saves keeps the
// periods it was given (or the window program's start-up periods).
struct RunnerStateSettings {
  std::string start = "000";
  int mode = 2;
  std::array<int, 3> periods{20, 100, 100};
};

// Loads the state file into the machine. Empty text, or the reason (then
// the machine is unchanged).
std::string LoadRunnerState(Machine& m, const std::string& path, RunnerStateSettings& settings);

}  // namespace vesk
