#include "io/device_windows.h"

#include <QWidget>

#include "io/device_links.h"
#include "io/frm_dev_keyboard.h"
#include "io/frm_dev_monitor.h"
#include "io/frm_dev_prop.h"
#include "io/frm_net_adapter.h"
#include "io/qt_hub_transport.h"

namespace vesk {

DeviceWindows::DeviceWindows(DeviceLinks& devices, QWidget* windowParent, QObject* parent)
    : QObject(parent),
      devices_(devices),
      windowParent_(windowParent),
      transport_(std::make_unique<QtHubTransport>(devices.netAdapter())) {}

DeviceWindows::~DeviceWindows() {
  // The windows listen to the machine; they go before this object does.
  for (QWidget* w : std::initializer_list<QWidget*>{prop_, monitor_, keyboard_, net_}) delete w;
}

template <class Window, class... Args>
Window& DeviceWindows::make(QPointer<Window>& slot, Args&&... args) {
  if (slot.isNull()) {
    slot = new Window(std::forward<Args>(args)..., windowParent_);
    slot->setWindowFlag(Qt::Window, true);
    // Closing hides; the window and what it shows stay.
    slot->setAttribute(Qt::WA_DeleteOnClose, false);
  }
  return *slot;
}

frmDevProp& DeviceWindows::devProp() {
  const bool fresh = prop_.isNull();
  frmDevProp& dialog = make(prop_, devices_.controllers());
  if (fresh) connect(&dialog, &frmDevProp::deviceAttached, this, &DeviceWindows::attached);
  return dialog;
}

frmDevMonitor& DeviceWindows::monitor() { return make(monitor_, devices_.monitor()); }

frmDevKeyboard& DeviceWindows::keyboard() { return make(keyboard_, devices_.keyboard()); }

frmNetAdapter& DeviceWindows::netAdapter() {
  return make(net_, devices_.netAdapter(), transport_.get(), static_cast<const DeviceLinks*>(&devices_));
}

void DeviceWindows::present(QWidget* window) {
  if (presenter_) {
    presenter_(window);
    return;
  }
  window->show();
  window->raise();
  window->activateWindow();
}

void DeviceWindows::openProperties(int row) {
  if (row < 0) return;
  devProp().Open(row);
}

void DeviceWindows::showMonitor() { present(&monitor()); }

void DeviceWindows::showKeyboard() { present(&keyboard()); }

void DeviceWindows::showNetAdapter() {
  frmNetAdapter& window = netAdapter();
  window.refresh();
  present(&window);
}

void DeviceWindows::attached(int /*row*/, const QString& device) {
  const std::string name = device.toStdString();
  if (name == kDeviceMonitor) showMonitor();
  else if (name == kDeviceKeyboard) showKeyboard();
  else if (name == kDeviceNetAdapter) showNetAdapter();
}

}  // namespace vesk
