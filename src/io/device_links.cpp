#include "io/device_links.h"

#include "format/bit_string.h"

namespace vesk {

DeviceLinks::DeviceLinks(Controllers& controllers, Monitor& monitor, Keyboard& keyboard, NetAdapter& adapter)
    : controllers_(controllers), monitor_(monitor), keyboard_(keyboard), adapter_(adapter) {
  for (int row = 0; row < Controllers::kCount; ++row)
    kinds_[static_cast<std::size_t>(row)] = KindOf(controllers_.Device(row));
  controllers_.listeners().add(this);
  keyboard_.listeners().add(this);
  adapter_.listeners().add(this);
}

DeviceLinks::~DeviceLinks() {
  adapter_.listeners().remove(this);
  keyboard_.listeners().remove(this);
  controllers_.listeners().remove(this);
}

DeviceLinks::Kind DeviceLinks::KindOf(const std::string& device) {
  if (device == kDeviceMonitor) return Kind::Monitor;
  if (device == kDeviceKeyboard) return Kind::Keyboard;
  if (device == kDeviceNetAdapter) return Kind::NetAdapter;
  return Kind::Other;
}

int DeviceLinks::firstRowOf(Kind kind) const {
  for (int row = 0; row < Controllers::kCount; ++row)
    if (kinds_[static_cast<std::size_t>(row)] == kind) return row;
  return -1;
}

void DeviceLinks::controllerChanged(int row) {
  if (row < 0 || row >= Controllers::kCount) return;
  kinds_[static_cast<std::size_t>(row)] = KindOf(controllers_.Device(row));
  pump();
}

void DeviceLinks::rowRestored(int row) {
  if (row < 0 || row >= Controllers::kCount) return;
  kinds_[static_cast<std::size_t>(row)] = KindOf(controllers_.Device(row));
}

void DeviceLinks::dataRegisterWritten(int row) {
  if (delivering_ || row < 0 || row >= Controllers::kCount) return;
  switch (kinds_[static_cast<std::size_t>(row)]) {
    case Kind::Monitor:
      monitor_.BufferChanged(controllers_.Data(row));
      break;
    case Kind::NetAdapter:
      if (!adapter_.SendPublicByte(static_cast<std::uint8_t>(BitsValue(controllers_.Data(row)) & 0xFFu))) ++unsent_;
      break;
    default:
      break;
  }
}

void DeviceLinks::flagChanged(int /*row*/) { pump(); }

void DeviceLinks::receiveBufferChanged() { pump(); }

void DeviceLinks::keyCaptured(int /*code*/) {
  const int row = KeyboardRow();
  if (keyboard_.mode() == Keyboard::Mode::SendLastCode && row >= 0 && !pumping_) {
    if (const auto key = keyboard_.TakeKey()) deliver(row, *key);
    return;
  }
  pump();
}

namespace {

// Sets a flag for the lifetime of the guard and restores its old value, also
// when a listener throws.
class FlagGuard {
 public:
  explicit FlagGuard(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
  ~FlagGuard() { flag_ = old_; }
  FlagGuard(const FlagGuard&) = delete;
  FlagGuard& operator=(const FlagGuard&) = delete;

 private:
  bool& flag_;
  bool old_;
};

}  // namespace

void DeviceLinks::deliver(int row, std::uint8_t byte) {
  // Our own write must not go back out as a packet, and the flag we raise
  // must not start another delivery.
  const FlagGuard pumping(pumping_);
  {
    const FlagGuard delivering(delivering_);
    controllers_.Reg_Set_Data(Controllers::AddressText(row), NumToBits(byte, 8));
  }
  controllers_.SetFlagOfRow(row, 1);
}

void DeviceLinks::pump() {
  if (pumping_) return;
  const FlagGuard pumping(pumping_);
  const int keyboardRow = KeyboardRow();
  if (keyboardRow >= 0 && controllers_.Flag(keyboardRow) == 0)
    if (const auto key = keyboard_.TakeKey()) deliver(keyboardRow, *key);
  const int netRow = NetAdapterRow();
  if (netRow >= 0 && controllers_.Flag(netRow) == 0)
    if (const auto byte = adapter_.TakeReceivedByte()) deliver(netRow, *byte);
}

}  // namespace vesk
