#include "io/frm_dev_prop.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "io/controllers.h"

namespace vesk {

frmDevProp::frmDevProp(Controllers& controllers, QWidget* parent)
    : QDialog(parent),
      controllers_(controllers),
      selector_(new QComboBox(this)),
      ok_(new QPushButton(QStringLiteral("Ok"), this)),
      close_(new QPushButton(QStringLiteral("Close"), this)) {
  setObjectName(QStringLiteral("frmDevProp"));
  setModal(false);
  for (const std::string_view name : {kNoDevice, kDeviceMonitor, kDeviceKeyboard, kDeviceNetAdapter})
    selector_->addItem(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
  selector_->setEditable(false);
  selector_->setCurrentIndex(0);

  connect(ok_, &QPushButton::clicked, this, &frmDevProp::apply);
  connect(close_, &QPushButton::clicked, this, &QWidget::hide);

  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(QStringLiteral("Устройство : "), this));
  row->addWidget(selector_, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok_);
  buttons->addWidget(close_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addLayout(buttons);
  ok_->setDefault(true);
}

void frmDevProp::Open(int row) {
  if (row < 0 || row >= Controllers::kCount) return;
  row_ = row;
  setWindowTitle(QStringLiteral("Устройство на контроллере #") + QString::fromStdString(Controllers::AddressText(row)));
  const int item = selector_->findText(QString::fromStdString(controllers_.Device(row)));
  selector_->setCurrentIndex(item >= 0 ? item : 0);
  show();
  raise();
  activateWindow();
}

void frmDevProp::apply() {
  if (row_ < 0) return;
  const QString device = selector_->currentText();
  controllers_.SetDevice(row_, device.toStdString());
  hide();
  emit deviceAttached(row_, device);
}

}  // namespace vesk
