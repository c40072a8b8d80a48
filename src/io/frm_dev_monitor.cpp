#include "io/frm_dev_monitor.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QVBoxLayout>

#include "io/monitor.h"
#include "io/monitor_screen_model.h"

namespace vesk {

frmDevMonitor::frmDevMonitor(Monitor& monitor, QWidget* parent)
    : QWidget(parent), monitor_(monitor), model_(new MonitorScreenModel(monitor, this)), grid_(new QTableView(this)) {
  setWindowTitle(QStringLiteral("Устройство - Монитор"));
  setObjectName(QStringLiteral("frmDevMonitor"));
  grid_->setModel(model_);
  grid_->setObjectName(QStringLiteral("screen"));
  grid_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  grid_->setSelectionMode(QAbstractItemView::NoSelection);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setFocusPolicy(Qt::NoFocus);
  grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  for (QHeaderView* header : {grid_->horizontalHeader(), grid_->verticalHeader()}) {
    header->hide();
    header->setMinimumSectionSize(4);
    header->setSectionResizeMode(QHeaderView::Stretch);
  }
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(grid_);
  resize(800, 450);
}

void frmDevMonitor::SetChar(int x, int y, int c) { monitor_.SetChar(x, y, c); }

int frmDevMonitor::GetChar(int x, int y) const { return monitor_.GetChar(x, y); }

void frmDevMonitor::BufferChanged(std::string_view din_data) { monitor_.BufferChanged(din_data); }

QString frmDevMonitor::cellText(int x, int y) const { return model_->index(y - 1, x - 1).data().toString(); }

}  // namespace vesk
