// Recorded cases of the machine as the window program drives it: a random
// micro-program, memory and controllers, random periods and timing mode, then
// a random script of what the windows and the main window do (start, stop,
// continue, single steps, ticks, interrupts, resets, direct writes of any
// text into registers, memory, micro-memory, controllers and the trace
// variables). The record holds every listener notification with the value it
// announces, the errors, both trace exports and every text the windows show.
#pragma once

#include <string>

namespace vesk::golden {

// The record of machine case `index`; scratch files go to `folder`.
std::string RecordMachineCase(int index, const std::string& folder);

}  // namespace vesk::golden
