// Controller watchpoints: tells run control when a watched controller's flag
// or data register takes a new value, whoever changed it (an I/O order of
// the program, or a device between two ticks). A new device name or comment
// is no change of the controller's registers.
#pragma once

#include <array>
#include <cstdint>

#include "io/controllers.h"

namespace vesk {

class Breakpoints;
class RunControl;

class ControllerWatch : public ControllersListener {
 public:
  ControllerWatch(Controllers& controllers, const Breakpoints& breakpoints, RunControl& runControl);
  ~ControllerWatch() override;
  ControllerWatch(const ControllerWatch&) = delete;
  ControllerWatch& operator=(const ControllerWatch&) = delete;

  void controllerChanged(int row) override;

 private:
  struct Seen {
    int flag = 0;
    std::uint8_t data = 0;
  };
  Seen now(int row) const;

  Controllers& controllers_;
  const Breakpoints& breakpoints_;
  RunControl& runControl_;
  std::array<Seen, Controllers::kCount> seen_{};
};

}  // namespace vesk
