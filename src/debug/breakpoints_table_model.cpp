#include "debug/breakpoints_table_model.h"

#include <algorithm>

namespace vesk {

BreakpointsTableModel::BreakpointsTableModel(Breakpoints& breakpoints, std::function<QString(BreakKind, int)> comment,
                                             QObject* parent)
    : QAbstractTableModel(parent), breakpoints_(breakpoints), comment_(std::move(comment)), rows_(breakpoints.All()) {
  breakpoints_.listeners().add(this);
}

BreakpointsTableModel::~BreakpointsTableModel() { breakpoints_.listeners().remove(this); }

QString BreakpointsTableModel::KindText(BreakKind kind) {
  switch (kind) {
    case BreakKind::Command: return QStringLiteral("Команда");
    case BreakKind::Micro: return QStringLiteral("Микрокоманда");
    case BreakKind::MemoryWrite: return QStringLiteral("Запись в память");
    case BreakKind::Controller: return QStringLiteral("Контроллер ВУ");
  }
  return {};
}

int BreakpointsTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int BreakpointsTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant BreakpointsTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const Breakpoint& b = at(index.row());
  if (index.column() == kEnabled) {
    if (role == Qt::CheckStateRole) return b.enabled ? Qt::Checked : Qt::Unchecked;
    if (role == Qt::ToolTipRole) return b.enabled ? QStringLiteral("Включена") : QStringLiteral("Выключена");
    return {};
  }
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  switch (index.column()) {
    case kKind: return KindText(b.kind);
    case kAddress: return QString::fromStdString(Breakpoints::AddressText(b.kind, b.address));
    case kComment: return comment_ ? comment_(b.kind, b.address) : QString();
    default: return {};
  }
}

bool BreakpointsTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || index.column() != kEnabled || role != Qt::CheckStateRole || index.row() >= rowCount())
    return false;
  const Breakpoint b = at(index.row());
  breakpoints_.SetEnabled(b.kind, b.address, value.toInt() == Qt::Checked);
  return true;
}

Qt::ItemFlags BreakpointsTableModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags f = QAbstractTableModel::flags(index);
  if (index.isValid() && index.column() == kEnabled) f |= Qt::ItemIsUserCheckable;
  return f;
}

QVariant BreakpointsTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  static const char* const kHeaders[kColumnCount] = {"Вкл.", "Вид", "Адрес", "Комментарий"};
  if (section < 0 || section >= kColumnCount) return {};
  return QString::fromUtf8(kHeaders[section]);
}

int BreakpointsTableModel::rowOf(BreakKind kind, int address) const {
  for (std::size_t i = 0; i < rows_.size(); ++i)
    if (rows_[i].kind == kind && rows_[i].address == address) return static_cast<int>(i);
  return -1;
}

void BreakpointsTableModel::refreshComments() {
  if (!rows_.empty()) emit dataChanged(index(0, kComment), index(rowCount() - 1, kComment), {Qt::DisplayRole});
}

void BreakpointsTableModel::breakpointChanged(BreakKind kind, int address) {
  const int row = rowOf(kind, address);
  if (!breakpoints_.Has(kind, address)) {
    if (row < 0) return;
    beginRemoveRows({}, row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
    return;
  }
  const Breakpoint now{kind, address, breakpoints_.Enabled(kind, address)};
  if (row >= 0) {
    rows_[static_cast<std::size_t>(row)] = now;
    emit dataChanged(index(row, 0), index(row, kColumnCount - 1));
    return;
  }
  // Kept in the order of Breakpoints::All: by kind, then by address.
  const auto at = std::lower_bound(rows_.begin(), rows_.end(), now, [](const Breakpoint& a, const Breakpoint& b) {
    return a.kind != b.kind ? a.kind < b.kind : a.address < b.address;
  });
  const int insertRow = static_cast<int>(at - rows_.begin());
  beginInsertRows({}, insertRow, insertRow);
  rows_.insert(at, now);
  endInsertRows();
}

}  // namespace vesk
