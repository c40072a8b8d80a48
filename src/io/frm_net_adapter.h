// The network adapter's window ("Сетевой адаптер"): the role (hub or
// station), the hub's address and port, start and stop, and what the adapter
// is doing. A hub listens on 127.0.0.1 only unless the user ticks the box for
// other computers; a station connects to the address given.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <memory>
#include <optional>

#include "io/hub_log.h"
#include "io/net_adapter.h"

namespace vesk {

class DeviceLinks;
class QtHubTransport;

class frmNetAdapter : public QWidget, private NetAdapterListener {
  Q_OBJECT

 public:
  static constexpr std::uint16_t kDefaultPort = NetAdapter::kDefaultHubPort;

  // transport and links may be null; they add the listening port and the
  // count of bytes that could not be sent to the status.
  frmNetAdapter(NetAdapter& adapter, QtHubTransport* transport, const DeviceLinks* links, QWidget* parent = nullptr);
  ~frmNetAdapter() override;

  QRadioButton* hubOption() { return hub_; }
  QRadioButton* stationOption() { return station_; }
  QLineEdit* addressField() { return address_; }
  QLineEdit* portField() { return port_; }
  QCheckBox* allInterfacesBox() { return allInterfaces_; }
  QPushButton* startButton() { return start_; }
  QPushButton* stopButton() { return stop_; }
  QLabel* stateLabel() { return state_; }
  QLabel* messageLabel() { return message_; }
  // The hub's log: joins, leaves, refusals and disconnections, newest last.
  QPlainTextEdit* logView() { return log_; }

  // The port field's value, or nothing when it is not 1..65535.
  std::optional<std::uint16_t> port() const;

 public slots:
  void start();
  void stop();
  void refresh();

 private:
  void adapterStateChanged() override { refresh(); }
  void receiveBufferChanged() override { refresh(); }
  void pollTimerChanged(bool) override { refresh(); }
  void roleChosen();
  QString stateText() const;

  NetAdapter& adapter_;
  QtHubTransport* transport_;
  const DeviceLinks* links_;
  QRadioButton* hub_;
  QRadioButton* station_;
  QLineEdit* address_;
  QLineEdit* port_;
  QCheckBox* allInterfaces_;
  QPushButton* start_;
  QPushButton* stop_;
  QLabel* state_;
  QLabel* names_;
  QLabel* counts_;
  QLabel* message_;
  QPlainTextEdit* log_;
  std::unique_ptr<HubLog> hubLog_;
};

}  // namespace vesk
