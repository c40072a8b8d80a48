#include "memory/memory_table_model.h"

namespace vesk {

MemoryTableModel::MemoryTableModel(MainMemory& memory, QObject* parent) : QAbstractTableModel(parent), memory_(memory) {
  memory_.listeners().add(this);
}

MemoryTableModel::~MemoryTableModel() { memory_.listeners().remove(this); }

int MemoryTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : MainMemory::kWords; }

int MemoryTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant MemoryTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= MainMemory::kWords || index.column() >= kColumnCount) return {};
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  const int a = index.row();
  switch (index.column()) {
    case kAddress:
      return QString::fromStdString(MainMemory::AddressText(a));
    case kHex:
      return QString::fromStdString(memory_.HexText(a));
    case kDec:
      return QString::fromStdString(memory_.DecText(a));
    case kBin:
      return QString::fromStdString(memory_.BinText(a));
    case kAsm:
      return QString::fromStdString(memory_.AsmText(a));
    case kComment:
      return QString::fromStdString(memory_.Comment(a));
    default:
      return {};
  }
}

QVariant MemoryTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  static const char* const kHeaders[kColumnCount] = {"Адрес", "Hex", "Dec", "Bin", "Asm", "Комментарий"};
  if (section < 0 || section >= kColumnCount) return {};
  return QString::fromUtf8(kHeaders[section]);
}

void MemoryTableModel::memoryRowChanged(int address) {
  if (refresh_.deferred()) {
    marked_.add(address);
    return;
  }
  emit dataChanged(index(address, kHex), index(address, kComment), {Qt::DisplayRole});
}

void MemoryTableModel::memorySelectionChanged(int address) {
  if (refresh_.deferred()) {
    selectionMarked_ = true;
    return;
  }
  emit ownerSelected(address);
}

void MemoryTableModel::memoryCleared() {
  if (refresh_.deferred()) {
    marked_.add(0, MainMemory::kWords - 1);
    selectionMarked_ = true;
    return;
  }
  emit dataChanged(index(0, kHex), index(MainMemory::kWords - 1, kComment), {Qt::DisplayRole});
  emit ownerSelected(-1);
}

void MemoryTableModel::showMarked() {
  if (!marked_.empty()) emit dataChanged(index(marked_.first, kHex), index(marked_.last, kComment), {Qt::DisplayRole});
  marked_.clear();
  if (selectionMarked_) emit ownerSelected(memory_.Selected());
  selectionMarked_ = false;
}

}  // namespace vesk
