// The error list of the source windows: line, column and message of each
// error of the last assembly.
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "asm/asm_error.h"

namespace vesk {

class AsmErrorsModel final : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { kLine, kColumn, kMessage, kColumnCount };

  using QAbstractTableModel::QAbstractTableModel;

  void setErrors(std::vector<AsmError> errors);
  const std::vector<AsmError>& errors() const { return errors_; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

 private:
  std::vector<AsmError> errors_;
  std::vector<QString> messages_;
};

}  // namespace vesk
