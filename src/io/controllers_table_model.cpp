#include "io/controllers_table_model.h"

namespace vesk {

ControllersTableModel::ControllersTableModel(Controllers& controllers, QObject* parent)
    : QAbstractTableModel(parent), controllers_(controllers) {
  controllers_.listeners().add(this);
}

ControllersTableModel::~ControllersTableModel() { controllers_.listeners().remove(this); }

int ControllersTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : Controllers::kCount; }

int ControllersTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant ControllersTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= Controllers::kCount || index.column() >= kColumnCount) return {};
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  const int row = index.row();
  switch (index.column()) {
    case kAddress:
      return QString::fromStdString(Controllers::AddressText(row));
    case kFlag:
      return QString::number(controllers_.Flag(row));
    case kData:
      return QString::fromStdString(controllers_.DataText(row));
    case kDevice:
      return QString::fromStdString(controllers_.Device(row));
    case kComment:
      return QString::fromStdString(controllers_.Comment(row));
    default:
      return {};
  }
}

QVariant ControllersTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  static const char* const kHeaders[kColumnCount] = {"Адрес", "Флаг", "Регистр данных", "Устройство", "Комментарий"};
  if (section < 0 || section >= kColumnCount) return {};
  return QString::fromUtf8(kHeaders[section]);
}

void ControllersTableModel::controllerChanged(int row) {
  if (refresh_.deferred()) {
    marked_.add(row);
    return;
  }
  emit dataChanged(index(row, kFlag), index(row, kComment), {Qt::DisplayRole});
}

void ControllersTableModel::showMarked() {
  if (!marked_.empty()) emit dataChanged(index(marked_.first, kFlag), index(marked_.last, kComment), {Qt::DisplayRole});
  marked_.clear();
}

}  // namespace vesk
