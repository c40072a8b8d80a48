#include "io/frm_dev_prop.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <QVBoxLayout>
#include <algorithm>

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

int frmDevProp::TitleWidth(const QWidget& window, const QString& title) {
  // What a title bar spends besides its text (icon, buttons, margins), as
  // the style lays one out, and the text in a bold face: window managers
  // commonly draw titles bold and a little larger than the dialog's font.
  QStyleOptionTitleBar bar;
  bar.initFrom(&window);
  bar.text = title;
  bar.titleBarFlags = Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                      Qt::WindowCloseButtonHint;
  const int height = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, &bar, &window);
  bar.rect = QRect(0, 0, 1000, height);
  const QRect label = window.style()->subControlRect(QStyle::CC_TitleBar, &bar, QStyle::SC_TitleBarLabel, &window);
  const int chrome = std::max(bar.rect.width() - label.width(), 4 * height);
  QFont font = window.font();
  font.setBold(true);
  font.setPointSizeF(font.pointSizeF() * 1.15);
  return QFontMetrics(font).horizontalAdvance(title) + chrome;
}

void frmDevProp::Open(int row) {
  if (row < 0 || row >= Controllers::kCount) return;
  row_ = row;
  setWindowTitle(QStringLiteral("Устройство на контроллере #") + QString::fromStdString(Controllers::AddressText(row)));
  // Wide enough for the whole title with the controller number.
  const int wanted = TitleWidth(*this, windowTitle());
  setMinimumWidth(std::max(minimumSizeHint().width(), wanted));
  if (width() < wanted) resize(wanted, height());
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
