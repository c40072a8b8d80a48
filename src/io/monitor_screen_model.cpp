#include "io/monitor_screen_model.h"

#include "io/keyboard.h"

namespace vesk {

MonitorScreenModel::MonitorScreenModel(Monitor& monitor, QObject* parent) : QAbstractTableModel(parent), monitor_(monitor) {
  monitor_.listeners().add(this);
}

MonitorScreenModel::~MonitorScreenModel() { monitor_.listeners().remove(this); }

const QString& MonitorScreenModel::CellText(int code) {
  static const std::array<QString, 256> texts = [] {
    std::array<QString, 256> t;
    for (int c = 1; c < 256; ++c) t[static_cast<std::size_t>(c)] = QString::fromStdString(KeySymbol(c));
    return t;
  }();
  return texts[static_cast<std::size_t>(code & 0xFF)];
}

int MonitorScreenModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : Monitor::kRows; }

int MonitorScreenModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : Monitor::kColumns; }

QVariant MonitorScreenModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= Monitor::kRows || index.column() >= Monitor::kColumns) return {};
  if (role == Qt::DisplayRole) return CellText(monitor_.GetChar(index.column() + 1, index.row() + 1));
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignCenter);
  return {};
}

QVariant MonitorScreenModel::headerData(int section, Qt::Orientation, int role) const {
  if (role == Qt::DisplayRole) return section + 1;
  return {};
}

void MonitorScreenModel::cellChanged(int x, int y) {
  if (refresh_.deferred()) {
    marked_.add(y - 1);
    return;
  }
  const QModelIndex cell = index(y - 1, x - 1);
  emit dataChanged(cell, cell, {Qt::DisplayRole});
}

void MonitorScreenModel::screenChanged() {
  if (refresh_.deferred()) {
    marked_.add(0, Monitor::kRows - 1);
    return;
  }
  emit dataChanged(index(0, 0), index(Monitor::kRows - 1, Monitor::kColumns - 1), {Qt::DisplayRole});
}

void MonitorScreenModel::showMarked() {
  if (!marked_.empty())
    emit dataChanged(index(marked_.first, 0), index(marked_.last, Monitor::kColumns - 1), {Qt::DisplayRole});
  marked_.clear();
}

}  // namespace vesk
