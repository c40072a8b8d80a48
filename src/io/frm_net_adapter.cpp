#include "io/frm_net_adapter.h"

#include <QButtonGroup>
#include <QTime>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "io/device_links.h"
#include "io/qt_hub_transport.h"

namespace vesk {

namespace {
constexpr const char* kLoopback = "127.0.0.1";
constexpr const char* kAllInterfaces = "0.0.0.0";
constexpr int kLogLines = 1000;
}  // namespace

frmNetAdapter::frmNetAdapter(NetAdapter& adapter, QtHubTransport* transport, const DeviceLinks* links, QWidget* parent)
    : QWidget(parent),
      adapter_(adapter),
      transport_(transport),
      links_(links),
      hub_(new QRadioButton(QStringLiteral("Концентратор"), this)),
      station_(new QRadioButton(QStringLiteral("Станция"), this)),
      address_(new QLineEdit(QString::fromLatin1(kLoopback), this)),
      port_(new QLineEdit(QString::number(kDefaultPort), this)),
      allInterfaces_(new QCheckBox(QStringLiteral("Принимать станции с других компьютеров (все сетевые интерфейсы)"), this)),
      start_(new QPushButton(QStringLiteral("Запустить"), this)),
      stop_(new QPushButton(QStringLiteral("Остановить"), this)),
      state_(new QLabel(this)),
      names_(new QLabel(this)),
      counts_(new QLabel(this)),
      message_(new QLabel(this)),
      log_(new QPlainTextEdit(this)) {
  setWindowTitle(QStringLiteral("Сетевой адаптер"));
  setObjectName(QStringLiteral("frmNetAdapter"));
  auto* roles = new QButtonGroup(this);
  roles->addButton(hub_);
  roles->addButton(station_);
  (adapter_.HubRole() ? hub_ : station_)->setChecked(true);
  connect(hub_, &QRadioButton::toggled, this, &frmNetAdapter::roleChosen);
  connect(start_, &QPushButton::clicked, this, &frmNetAdapter::start);
  connect(stop_, &QPushButton::clicked, this, &frmNetAdapter::stop);
  message_->setWordWrap(true);
  log_->setReadOnly(true);
  log_->setMaximumBlockCount(kLogLines);
  log_->setPlaceholderText(QStringLiteral("Журнал концентратора: подключения и отключения станций"));

  auto* roleRow = new QHBoxLayout;
  roleRow->addWidget(hub_);
  roleRow->addWidget(station_);
  roleRow->addStretch(1);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Роль : "), roleRow);
  form->addRow(QStringLiteral("Адрес концентратора : "), address_);
  form->addRow(QStringLiteral("Порт : "), port_);
  form->addRow(allInterfaces_);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(start_);
  buttons->addWidget(stop_);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);
  layout->addWidget(state_);
  layout->addWidget(names_);
  layout->addWidget(counts_);
  layout->addWidget(message_);
  layout->addWidget(new QLabel(QStringLiteral("Журнал : "), this));
  layout->addWidget(log_, 1);

  if (transport_ != nullptr)
    connect(transport_, &QtHubTransport::socketFailed, this, [this](int socket, const QString& why) {
      if (socket == 0) message_->setText(QStringLiteral("Нет соединения с концентратором: ") + why);
    });
  adapter_.listeners().add(this);
  hubLog_ = std::make_unique<HubLog>(adapter_, [this](const std::string& line) {
    log_->appendPlainText(QTime::currentTime().toString(QStringLiteral("hh:mm:ss ")) + QString::fromStdString(line));
  });
  roleChosen();
  refresh();
}

frmNetAdapter::~frmNetAdapter() { adapter_.listeners().remove(this); }

void frmNetAdapter::roleChosen() {
  const bool hub = hub_->isChecked();
  address_->setEnabled(!hub);
  allInterfaces_->setEnabled(hub);
}

std::optional<std::uint16_t> frmNetAdapter::port() const {
  bool ok = false;
  const uint value = port_->text().trimmed().toUInt(&ok);
  if (!ok || value < 1 || value > 65535) return std::nullopt;
  return static_cast<std::uint16_t>(value);
}

void frmNetAdapter::start() {
  const auto p = port();
  if (!p) {
    message_->setText(QStringLiteral("Порт - число от 1 до 65535."));
    return;
  }
  std::string why;
  if (hub_->isChecked()) {
    why = adapter_.StartHub(allInterfaces_->isChecked() ? kAllInterfaces : kLoopback, *p);
  } else {
    const QString host = address_->text().trimmed();
    if (host.isEmpty()) {
      message_->setText(QStringLiteral("Укажите адрес концентратора."));
      return;
    }
    why = adapter_.StartStation(host.toStdString(), *p);
  }
  message_->setText(why.empty() ? QString() : QStringLiteral("Не удалось: ") + QString::fromStdString(why));
  refresh();
}

void frmNetAdapter::stop() {
  adapter_.Stop();
  message_->clear();
  refresh();
}

QString frmNetAdapter::stateText() const {
  if (adapter_.HubRole()) {
    const std::uint16_t listening = transport_ != nullptr ? transport_->ListeningPort() : 0;
    if (listening == 0 && adapter_.StationCount() == 0) return QStringLiteral("концентратор остановлен");
    QString text = QStringLiteral("концентратор");
    if (listening != 0) text += QStringLiteral(", порт %1").arg(listening);
    return text + QStringLiteral(", станций: %1").arg(adapter_.StationCount());
  }
  if (adapter_.SocketMode(0) == 1) return QStringLiteral("станция, обмен данными");
  if (transport_ != nullptr && transport_->IsConnected(0)) return QStringLiteral("станция, установка связи");
  if (adapter_.PollTimerEnabled()) return QStringLiteral("станция, подключение...");
  return QStringLiteral("станция, нет соединения");
}

void frmNetAdapter::refresh() {
  state_->setText(QStringLiteral("Состояние : ") + stateText());
  names_->setText(QStringLiteral("Имя : %1    Концентратор : %2")
                      .arg(QString::fromStdString(adapter_.StationName()), QString::fromStdString(adapter_.HubName())));
  QString counts = QStringLiteral("Принято и не прочитано : %1 байт").arg(adapter_.ReceiveBuffer().size());
  const quint64 lost = adapter_.DroppedBytes() + adapter_.DroppedMessages();
  if (lost > 0) counts += QStringLiteral("; потеряно при приёме : %1").arg(lost);
  if (links_ != nullptr && links_->UnsentBytes() > 0)
    counts += QStringLiteral("; не отправлено : %1 байт").arg(links_->UnsentBytes());
  counts_->setText(counts);
}

}  // namespace vesk
