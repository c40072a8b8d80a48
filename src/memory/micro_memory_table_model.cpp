#include "memory/micro_memory_table_model.h"

#include "asm/micro_operation.h"
#include "format/bit_string.h"

namespace vesk {

MicroMemoryTableModel::MicroMemoryTableModel(MicroMemory& memory, QObject* parent)
    : QAbstractTableModel(parent), memory_(memory) {
  memory_.listeners().add(this);
}

MicroMemoryTableModel::~MicroMemoryTableModel() { memory_.listeners().remove(this); }

int MicroMemoryTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : MicroMemory::kWords; }

int MicroMemoryTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant MicroMemoryTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= MicroMemory::kWords || index.column() >= kColumnCount) return {};
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  const int a = AddressOfRow(index.row());
  switch (index.column()) {
    case kAddress:
      return QString::fromStdString(MicroMemory::AddressText(a));
    case kHorizontal:
      return QString::fromStdString(memory_.HorizontalText(a));
    case kVertical:
      return QString::fromStdString(memory_.VerticalText(a));
    case kComment:
      return QString::fromStdString(memory_.Comment(a));
    case kAction:
      return QString::fromStdString(MicroOperationText(static_cast<std::uint16_t>(BitsValue(memory_.Value(a)))));
    default:
      return {};
  }
}

QVariant MicroMemoryTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  static const char* const kHeaders[kColumnCount] = {"Адрес", "Горизонт.", "Верт.", "Комментарий", "Действие"};
  if (section < 0 || section >= kColumnCount) return {};
  return QString::fromUtf8(kHeaders[section]);
}

void MicroMemoryTableModel::microRowChanged(int address) {
  const int row = RowOfAddress(address);
  if (refresh_.deferred()) {
    marked_.add(row);
    return;
  }
  emit dataChanged(index(row, kHorizontal), index(row, kAction), {Qt::DisplayRole});
}

void MicroMemoryTableModel::microSelectionChanged(int address) {
  if (refresh_.deferred()) {
    selectionMarked_ = true;
    return;
  }
  emit ownerSelected(address);
}

void MicroMemoryTableModel::microRowsChanged() {
  if (refresh_.deferred()) {
    marked_.add(0, MicroMemory::kWords - 1);
    return;
  }
  emit dataChanged(index(0, kHorizontal), index(MicroMemory::kWords - 1, kAction), {Qt::DisplayRole});
}

void MicroMemoryTableModel::showMarked() {
  if (!marked_.empty())
    emit dataChanged(index(marked_.first, kHorizontal), index(marked_.last, kAction), {Qt::DisplayRole});
  marked_.clear();
  if (selectionMarked_ && memory_.Selected() > 0) emit ownerSelected(memory_.Selected());
  selectionMarked_ = false;
}

}  // namespace vesk
