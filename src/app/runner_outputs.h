// The files one vesk-run writes: the two trace exports, streamed while the
// machine runs, and the memory dump and the machine state, written at the end. All are opened
// before the run, so a path that cannot be written fails at once; a streamed
// export that cannot be written (a full disk, a file too large) shows within
// 64 KiB and stops the run. At the end every file is completed and flushed
// first, and only when all succeeded does any replace its target: a run that
// fails writes nothing. (A FIFO or a terminal gets its bytes as they come;
// that cannot be taken back.)
#pragma once

#include <array>
#include <memory>
#include <string>

#include "app/runner.h"

namespace vesk {

class Machine;

class RunnerOutputs {
 public:
  explicit RunnerOutputs(Machine& machine);
  ~RunnerOutputs();
  RunnerOutputs(const RunnerOutputs&) = delete;
  RunnerOutputs& operator=(const RunnerOutputs&) = delete;

  // Opens every file the options name and starts listening to the traces.
  // Empty text, or why a file cannot be written (nothing is then left behind).
  std::string Open(const RunnerOptions& options);
  // The start address and periods a saved machine state names (the run
  // itself goes with periods 0, 0, 0).
  void KeepStateSettings(std::string start, std::array<int, 3> periods);
  // The first failure of a streamed export, or an empty text; looked at
  // between two ticks.
  std::string Failure() const;
  // Completes every file, then replaces the targets. Empty text, or the first
  // failure (then no target is replaced).
  std::string Finish();
  // Drops every file not yet in place.
  void Abandon();

 private:
  struct Streams;
  Machine& machine_;
  std::unique_ptr<Streams> streams_;
};

}  // namespace vesk
