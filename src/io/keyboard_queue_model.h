// The keyboard's queue as a list with the columns "Символ" and "Код", oldest
// key first.
#pragma once

#include <QAbstractTableModel>

#include "io/keyboard.h"

namespace vesk {

class KeyboardQueueModel final : public QAbstractTableModel, private KeyboardListener {
  Q_OBJECT

 public:
  explicit KeyboardQueueModel(Keyboard& keyboard, QObject* parent = nullptr);
  ~KeyboardQueueModel() override;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  void keysAppended(std::size_t count) override;
  void keysRemoved(std::size_t first, std::size_t count) override;

  Keyboard& keyboard_;
  // The rows the views know of; the keyboard changes first and tells after.
  int rows_ = 0;
};

}  // namespace vesk
