#include "memory/asm_errors_model.h"

#include "asm/asm_messages.h"

namespace vesk {

void AsmErrorsModel::setErrors(std::vector<AsmError> errors) {
  beginResetModel();
  errors_ = std::move(errors);
  messages_.clear();
  for (const AsmError& e : errors_) messages_.push_back(QString::fromStdString(AsmErrorMessage(e)));
  endResetModel();
}

int AsmErrorsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(errors_.size());
}

int AsmErrorsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant AsmErrorsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  const AsmError& e = errors_[static_cast<std::size_t>(index.row())];
  switch (index.column()) {
    case kLine: return e.line;
    case kColumn: return e.column;
    case kMessage: return messages_[static_cast<std::size_t>(index.row())];
    default: return {};
  }
}

QVariant AsmErrorsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  static const char* const kHeaders[kColumnCount] = {"Строка", "Столбец", "Сообщение"};
  return section >= 0 && section < kColumnCount ? QString::fromUtf8(kHeaders[section]) : QVariant();
}

}  // namespace vesk
