#include "app/runner_outputs.h"

#include "app/machine.h"
#include "app/machine_owners.h"
#include "memory/dump_file.h"
#include "state/state_file.h"
#include "trace/html_export.h"
#include "util/atomic_file.h"

namespace vesk {

namespace {

// Streams each new line of a trace into its HTML export.
template <class Trace>
class TraceStream : public TraceListener {
 public:
  TraceStream(Trace& trace, TraceHtmlWriter& writer) : trace_(trace), writer_(writer) {}
  void lineAdded() override {
    if (!error.empty()) return;
    row_.clear();
    trace_.AppendLastHtmlRow(row_);
    error = writer_.AddRow(row_);
  }
  std::string error;

 private:
  Trace& trace_;
  TraceHtmlWriter& writer_;
  std::string row_;
};

}  // namespace

struct RunnerOutputs::Streams {
  explicit Streams(Machine& m) : command(m.trace, commandWriter), micro(m.microTrace, microWriter) {}
  TraceHtmlWriter commandWriter, microWriter;
  TraceStream<CommandTrace> command;
  TraceStream<MicroTrace> micro;
  bool commandOpen = false, microOpen = false;
  AtomicFileWriter dump;
  std::string dumpPath;
  AtomicFileWriter state;
  std::string statePath;
  std::string stateStart = "000";
  std::array<int, 3> statePeriods{20, 100, 100};
};

RunnerOutputs::RunnerOutputs(Machine& machine) : machine_(machine), streams_(std::make_unique<Streams>(machine)) {}

RunnerOutputs::~RunnerOutputs() {
  machine_.trace.listeners().remove(&streams_->command);
  machine_.microTrace.listeners().remove(&streams_->micro);
}

std::string RunnerOutputs::Open(const RunnerOptions& options) {
  Streams& s = *streams_;
  // A FIFO given on the command line waits for its reader, as a shell's
  // redirection would.
  constexpr bool kWaitForReader = true;
  if (!options.trace.empty()) {
    if (std::string e = s.commandWriter.Open(options.trace, TraceKind::Command, kWaitForReader); !e.empty()) {
      Abandon();
      return e;
    }
    s.commandOpen = true;
    machine_.trace.listeners().add(&s.command);
  }
  if (!options.microTrace.empty()) {
    if (std::string e = s.microWriter.Open(options.microTrace, TraceKind::Micro, kWaitForReader); !e.empty()) {
      Abandon();
      return e;
    }
    s.microOpen = true;
    machine_.microTrace.listeners().add(&s.micro);
  }
  if (!options.saveDump.empty()) {
    if (std::string e = s.dump.Open(options.saveDump, kWaitForReader); !e.empty()) {
      Abandon();
      return e;
    }
    s.dumpPath = options.saveDump;
  }
  if (!options.saveState.empty()) {
    if (std::string e = s.state.Open(options.saveState, kWaitForReader); !e.empty()) {
      Abandon();
      return e;
    }
    s.statePath = options.saveState;
  }
  return {};
}

void RunnerOutputs::KeepStateSettings(std::string start, std::array<int, 3> periods) {
  streams_->stateStart = std::move(start);
  streams_->statePeriods = periods;
}

std::string RunnerOutputs::Failure() const {
  if (!streams_->command.error.empty()) return streams_->command.error;
  return streams_->micro.error;
}

std::string RunnerOutputs::Finish() {
  Streams& s = *streams_;
  machine_.trace.listeners().remove(&s.command);
  machine_.microTrace.listeners().remove(&s.micro);
  const auto failed = [this](std::string error) {
    Abandon();
    return error;
  };
  if (std::string e = Failure(); !e.empty()) return failed(e);
  // Everything complete and on disk first...
  if (s.commandOpen)
    if (std::string e = s.commandWriter.Close(); !e.empty()) return failed(e);
  if (s.microOpen)
    if (std::string e = s.microWriter.Close(); !e.empty()) return failed(e);
  if (s.dump.isOpen()) {
    std::string bytes, error;
    if (!Mem_DumpBytes(machine_.memory, s.dumpPath, bytes, error)) return failed(error);
    s.dump.Write(bytes);
    if (std::string e = s.dump.Prepare(); !e.empty()) return failed(e);
  }
  if (s.state.isOpen()) {
    std::optional<MachineState> state = CaptureState(OwnersOf(machine_), s.stateStart);
    if (!state) return failed("Не удаётся сохранить состояние '" + s.statePath + "': адрес первой команды '" +
                              s.stateStart + "' вне памяти");
    state->periods = s.statePeriods;
    std::string bytes, error;
    if (!StateFileText(*state, bytes, error))
      return failed("Не удаётся сохранить состояние '" + s.statePath + "': " + error);
    s.state.Write(bytes);
    if (std::string e = s.state.Prepare(); !e.empty()) return failed(e);
  }
  // ... then every target replaced.
  if (s.commandOpen)
    if (std::string e = s.commandWriter.Commit(); !e.empty()) return failed(e);
  if (s.microOpen)
    if (std::string e = s.microWriter.Commit(); !e.empty()) return failed(e);
  if (s.dump.isOpen())
    if (std::string e = s.dump.Commit(); !e.empty()) return failed(e);
  if (s.state.isOpen())
    if (std::string e = s.state.Commit(); !e.empty()) return failed(e);
  s.commandOpen = s.microOpen = false;
  return {};
}

void RunnerOutputs::Abandon() {
  Streams& s = *streams_;
  machine_.trace.listeners().remove(&s.command);
  machine_.microTrace.listeners().remove(&s.micro);
  s.commandWriter.Abandon();
  s.microWriter.Abandon();
  s.dump.Abandon();
  s.state.Abandon();
  s.commandOpen = s.microOpen = false;
}

}  // namespace vesk
