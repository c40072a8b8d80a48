// The owners of a Machine that a machine state file saves and loads.
#pragma once

#include "app/machine.h"
#include "state/machine_state.h"

namespace vesk {

inline StateOwners OwnersOf(Machine& m) { return {m.processor, m.memory, m.microMemory, m.controllers, m.runControl, m.breakpoints}; }

}  // namespace vesk
