// The whole machine without windows: it owns every piece of machine state and
// wires the micro-command executor to memory, the controllers and the trace.
// Tests, benchmarks, vesk-run and the window program each build their own.
#pragma once

#include <functional>
#include <string>

#include "core/micro_command.h"
#include "core/processor.h"
#include "io/controllers.h"
#include "memory/main_memory.h"
#include "trace/command_trace.h"

namespace vesk {

class Machine {
 public:
  Machine();
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;

  Processor processor;
  MainMemory memory;
  Controllers controllers{processor};
  CommandTrace trace;
  MicroExecutor executor{processor, memory, controllers, trace};

  // Where an executor error goes ("Error #n" CR LF description); the window
  // program shows it in a warning box.
  void setErrorHandler(std::function<void(const std::string&)> handler) { executor.onError = std::move(handler); }
};

}  // namespace vesk
