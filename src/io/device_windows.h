// The device windows of one machine and the network adapter's socket layer,
// for the main window to show.
//
// The device dialog, the monitor, the keyboard and the network adapter's
// window are each created on first use and live as long as this object;
// hiding or closing one keeps its content. "Ok" in the device dialog brings up
// the window of the device it attached (monitor, keyboard or network adapter).
// Windows appear through the presenter: by default as windows of their own
// over `windowParent`; the main window may put them into its MDI area instead.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class QWidget;

namespace vesk {

class DeviceLinks;
class QtHubTransport;
class frmDevProp;
class frmDevMonitor;
class frmDevKeyboard;
class frmNetAdapter;

class DeviceWindows : public QObject {
  Q_OBJECT

 public:
  // devices: the controllers and devices of one machine, as joined.
  DeviceWindows(DeviceLinks& devices, QWidget* windowParent = nullptr, QObject* parent = nullptr);
  ~DeviceWindows() override;

  // Shows a device window (the first time and every time after); the default
  // shows it as a window of its own, raised and active.
  void setPresenter(std::function<void(QWidget*)> presenter) { presenter_ = std::move(presenter); }

  frmDevProp& devProp();
  frmDevMonitor& monitor();
  frmDevKeyboard& keyboard();
  frmNetAdapter& netAdapter();
  QtHubTransport& transport() { return *transport_; }
  // Whether the window exists yet.
  bool hasMonitor() const { return !monitor_.isNull(); }
  bool hasKeyboard() const { return !keyboard_.isNull(); }
  bool hasNetAdapter() const { return !net_.isNull(); }

 public slots:
  // "Свойства" of the controllers window for `row`; -1 (no selected row)
  // does nothing.
  void openProperties(int row);
  void showMonitor();
  void showKeyboard();
  void showNetAdapter();

 private:
  void attached(int row, const QString& device);
  void present(QWidget* window);
  template <class Window, class... Args>
  Window& make(QPointer<Window>& slot, Args&&... args);

  DeviceLinks& devices_;
  QWidget* windowParent_;
  std::unique_ptr<QtHubTransport> transport_;
  std::function<void(QWidget*)> presenter_;
  QPointer<frmDevProp> prop_;
  QPointer<frmDevMonitor> monitor_;
  QPointer<frmDevKeyboard> keyboard_;
  QPointer<frmNetAdapter> net_;
};

}  // namespace vesk
