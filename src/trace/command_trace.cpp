#include "trace/command_trace.h"

namespace vesk {

void CommandTrace::set_CCounter(std::int32_t v) {
  cCounter_ = v;
  listeners_.each([v](CommandTraceListener& l) { l.commandCounterChanged(v); });
}

}  // namespace vesk
