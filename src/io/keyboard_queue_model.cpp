#include "io/keyboard_queue_model.h"

namespace vesk {

KeyboardQueueModel::KeyboardQueueModel(Keyboard& keyboard, QObject* parent)
    : QAbstractTableModel(parent), keyboard_(keyboard), rows_(static_cast<int>(keyboard.QueueSize())) {
  keyboard_.listeners().add(this);
}

KeyboardQueueModel::~KeyboardQueueModel() { keyboard_.listeners().remove(this); }

int KeyboardQueueModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int KeyboardQueueModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 2; }

QVariant KeyboardQueueModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_ || static_cast<std::size_t>(index.row()) >= keyboard_.QueueSize())
    return {};
  const auto i = static_cast<std::size_t>(index.row());
  if (role == Qt::DisplayRole) {
    if (index.column() == 0) return QString::fromStdString(keyboard_.Symbol(i));
    return QString::number(keyboard_.Code(i));
  }
  return {};
}

QVariant KeyboardQueueModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  return section == 0 ? QStringLiteral("Символ") : QStringLiteral("Код");
}

void KeyboardQueueModel::keysAppended(std::size_t count) {
  if (count == 0) return;
  beginInsertRows({}, rows_, rows_ + static_cast<int>(count) - 1);
  rows_ += static_cast<int>(count);
  endInsertRows();
}

void KeyboardQueueModel::keysRemoved(std::size_t first, std::size_t count) {
  if (count == 0) return;
  beginRemoveRows({}, static_cast<int>(first), static_cast<int>(first + count) - 1);
  rows_ -= static_cast<int>(count);
  endRemoveRows();
}

}  // namespace vesk
