// The state-register list of the processor window: 13 rows, bits 0..12, with
// the columns "Разряд", "Значение", "Смысл"; the values are read from РС.
#pragma once

#include <QAbstractTableModel>

namespace vesk {

class Processor;

class StateBitsModel final : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { kBit, kValue, kMeaning, kColumnCount };
  static constexpr int kRows = 13;

  explicit StateBitsModel(const Processor& cpu, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  // РС was written: the "Значение" cells of the bits that differ from what the
  // list showed change.
  void stateChanged();

  static QString Meaning(int bit);

 private:
  const Processor& cpu_;
  unsigned shown_ = 0;  // the bits the list last showed (a display cache)
};

}  // namespace vesk
