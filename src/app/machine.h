// The whole machine without windows: it owns every piece of machine state and
// wires run control and the micro-command executor to micro-memory, memory,
// the controllers and both traces. Tests, benchmarks, vesk-run and the window
// program each build their own.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/micro_command.h"
#include "core/processor.h"
#include "core/run_control.h"
#include "debug/breakpoints.h"
#include "debug/controller_watch.h"
#include "debug/history.h"
#include "io/controllers.h"
#include "io/device_links.h"
#include "io/keyboard.h"
#include "io/monitor.h"
#include "io/net_adapter.h"
#include "memory/main_memory.h"
#include "memory/micro_memory.h"
#include "trace/command_trace.h"
#include "trace/micro_trace.h"

namespace vesk {

class Machine {
 public:
  Machine();
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;

  Processor processor;
  MainMemory memory;
  MicroMemory microMemory;
  Controllers controllers{processor};
  CommandTrace trace{processor};
  MicroTrace microTrace{processor, microMemory};
  MicroExecutor executor{processor, memory, controllers, trace};
  RunControl runControl{processor, microMemory, executor, trace, microTrace};
  // Where a run stops on its own; they outlive loads of dumps and
  // micro-programs.
  Breakpoints breakpoints;
  ControllerWatch controllerWatch{controllers, breakpoints, runControl};
  // The devices behind the controllers. The adapter has no socket layer until
  // the window program (or a test) gives it one.
  Monitor monitor;
  Keyboard keyboard;
  NetAdapter netAdapter;
  DeviceLinks devices{controllers, monitor, keyboard, netAdapter};
  // The step-back history; off until a user of the machine turns it on (the
  // window program does; vesk-run has no use for it).
  History history{{processor, memory, microMemory, controllers, trace, microTrace, runControl, monitor, keyboard,
                   breakpoints}};

  // Where machine errors go ("Error #n" CR LF description): executor
  // failures and fetches from an address micro-memory does not have. The
  // window program shows them in a warning box.
  void setErrorHandler(std::function<void(const std::string&)> handler);

  // The start-address field's text (hex digits of either case; empty means
  // 000) as a memory address, or nothing when it names no word of memory:
  // not hex, or above 7FF.
  static std::optional<int> StartAddress(std::string_view text);

  // "Пуск": the command count to 0, СК := the start address (hex text as
  // typed), then P_RUN. An address that names no word (StartAddress) starts
  // nothing and changes nothing: false.
  bool Start(std::string_view startAddress);
};

}  // namespace vesk
