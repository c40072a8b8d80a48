#include "app/runner_state.h"

#include "app/machine.h"
#include "app/machine_owners.h"
#include "state/state_file.h"

namespace vesk {

std::string LoadRunnerState(Machine& m, const std::string& path, RunnerStateSettings& settings) {
  const StateRead read = LoadStateFile(path);
  if (!read.ok) return read.error;
  ApplyState(read.state, OwnersOf(m));
  settings.start = read.state.start;
  settings.mode = read.state.mode;
  settings.periods = read.state.periods;
  return {};
}

}  // namespace vesk
