// Joins the devices to the controllers that name them in their "Устройство"
// column.
//
//  - Monitor: every byte written to the data register of a controller whose
//    device is "Monitor" (OUT, or the user's edit) goes to the screen.
//  - Keyboard: the first controller in list order whose device is
//    "Keyboard" is fed from the keyboard's queue: whenever its flag is 0 and a
//    key waits, the oldest key goes into its data register and its flag
//    becomes 1. A program polls with TSF, reads with IN and releases the
//    next key with CLF. In the mode "Отсылась в буфер последний захваченный
//    код" a captured key goes into the data register at once, flag or not.
//  - Net adapter: a byte written to a controller whose device is "Net
//    adapter" goes out as a public packet; received public bytes feed the
//    first "Net adapter" controller in list order as keys do.
#pragma once

#include <array>
#include <cstdint>

#include "io/controllers.h"
#include "io/keyboard.h"
#include "io/monitor.h"
#include "io/net_adapter.h"

namespace vesk {

class DeviceLinks final : ControllersListener, KeyboardListener, NetAdapterListener {
 public:
  DeviceLinks(Controllers& controllers, Monitor& monitor, Keyboard& keyboard, NetAdapter& adapter);
  ~DeviceLinks() override;
  DeviceLinks(const DeviceLinks&) = delete;
  DeviceLinks& operator=(const DeviceLinks&) = delete;

  // The row the keyboard or the adapter feeds, or -1 when none names it.
  int KeyboardRow() const { return firstRowOf(Kind::Keyboard); }
  int NetAdapterRow() const { return firstRowOf(Kind::NetAdapter); }

  // The owners this object joins (the device windows show them).
  Controllers& controllers() const { return controllers_; }
  Monitor& monitor() const { return monitor_; }
  Keyboard& keyboard() const { return keyboard_; }
  NetAdapter& netAdapter() const { return adapter_; }

  // Bytes written to a "Net adapter" controller that could not go out (no
  // connection in data mode), since the start.
  std::uint64_t UnsentBytes() const { return unsent_; }

 private:
  enum class Kind : std::uint8_t { Other, Monitor, Keyboard, NetAdapter };
  static Kind KindOf(const std::string& device);
  int firstRowOf(Kind kind) const;

  void controllerChanged(int row) override;
  void rowRestored(int row) override;
  void dataRegisterWritten(int row) override;
  void flagChanged(int row) override;
  void keyCaptured(int code) override;
  void receiveBufferChanged() override;

  // Hands waiting keys and bytes to controllers whose flag is 0.
  void pump();
  void deliver(int row, std::uint8_t byte);

  Controllers& controllers_;
  Monitor& monitor_;
  Keyboard& keyboard_;
  NetAdapter& adapter_;
  std::array<Kind, Controllers::kCount> kinds_{};
  bool delivering_ = false;
  bool pumping_ = false;
  std::uint64_t unsent_ = 0;
};

}  // namespace vesk
