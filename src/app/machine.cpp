#include "app/machine.h"

#include "format/bit_string.h"

namespace vesk {

Machine::Machine() {
  memory.setCommandTrace(&trace);
  runControl.setBreakpoints(&breakpoints);
  executor.setMemoryWatch(&breakpoints,
                          [this](int address) { runControl.WatchHit(BreakKind::MemoryWrite, address); });
}

void Machine::setErrorHandler(std::function<void(const std::string&)> handler) {
  executor.onError = handler;
  runControl.onError = std::move(handler);
}

std::optional<int> Machine::StartAddress(std::string_view text) {
  if (text.empty()) return 0;
  return MainMemory::ParseAddress(text);
}

bool Machine::Start(std::string_view startAddress) {
  if (!StartAddress(startAddress)) return false;
  trace.set_CCounter(0);
  processor.Reg_Set_CommandCounter(HexToBin(startAddress));
  runControl.P_RUN();
  return true;
}

}  // namespace vesk
