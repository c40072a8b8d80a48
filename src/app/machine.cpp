#include "app/machine.h"

#include "format/bit_string.h"

namespace vesk {

Machine::Machine() { memory.setCommandTrace(&trace); }

void Machine::setErrorHandler(std::function<void(const std::string&)> handler) {
  executor.onError = handler;
  runControl.onError = std::move(handler);
}

void Machine::Start(std::string_view startAddress) {
  trace.set_CCounter(0);
  processor.Reg_Set_CommandCounter(HexToBin(startAddress));
  runControl.P_RUN();
}

}  // namespace vesk
