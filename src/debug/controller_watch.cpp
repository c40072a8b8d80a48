#include "debug/controller_watch.h"

#include "core/run_control.h"
#include "debug/breakpoints.h"
#include "format/bit_string.h"

namespace vesk {

ControllerWatch::ControllerWatch(Controllers& controllers, const Breakpoints& breakpoints, RunControl& runControl)
    : controllers_(controllers), breakpoints_(breakpoints), runControl_(runControl) {
  for (int row = 0; row < Controllers::kCount; ++row) seen_[static_cast<std::size_t>(row)] = now(row);
  controllers_.listeners().add(this);
}

ControllerWatch::~ControllerWatch() { controllers_.listeners().remove(this); }

ControllerWatch::Seen ControllerWatch::now(int row) const {
  return {controllers_.Flag(row), static_cast<std::uint8_t>(BitsValue(controllers_.Data(row)))};
}

void ControllerWatch::controllerChanged(int row) {
  const Seen value = now(row);
  Seen& seen = seen_[static_cast<std::size_t>(row)];
  const bool changed = value.flag != seen.flag || value.data != seen.data;
  seen = value;
  const int address = Controllers::AddressOfRow(row);
  if (changed && breakpoints_.Stops(BreakKind::Controller, address)) runControl_.WatchHit(BreakKind::Controller, address);
}

}  // namespace vesk
