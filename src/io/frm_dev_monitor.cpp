#include "io/frm_dev_monitor.h"

#include <QVBoxLayout>

#include "io/monitor.h"
#include "io/monitor_screen_model.h"
#include "io/monitor_screen_view.h"

namespace vesk {

frmDevMonitor::frmDevMonitor(Monitor& monitor, QWidget* parent)
    : QWidget(parent),
      monitor_(monitor),
      model_(new MonitorScreenModel(monitor, this)),
      screen_(new MonitorScreenView(model_, this)) {
  setWindowTitle(QStringLiteral("Устройство - Монитор"));
  setObjectName(QStringLiteral("frmDevMonitor"));
  screen_->setObjectName(QStringLiteral("screen"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(screen_);
  resize(screen_->sizeHint());
}

void frmDevMonitor::SetChar(int x, int y, int c) { monitor_.SetChar(x, y, c); }

int frmDevMonitor::GetChar(int x, int y) const { return monitor_.GetChar(x, y); }

void frmDevMonitor::BufferChanged(std::string_view din_data) { monitor_.BufferChanged(din_data); }

QString frmDevMonitor::cellText(int x, int y) const { return model_->index(y - 1, x - 1).data().toString(); }

}  // namespace vesk
