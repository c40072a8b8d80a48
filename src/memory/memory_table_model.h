// The memory window's list: 2048 rows over MainMemory, texts made when the
// view asks. A changed word changes its one row; a clear changes all rows.
// Deferred, the rows changed since the last beat change as one span.
#pragma once

#include <QAbstractTableModel>

#include "memory/main_memory.h"
#include "widgets/deferred_refresh.h"

namespace vesk {

class MemoryTableModel final : public QAbstractTableModel, private MainMemoryListener {
  Q_OBJECT

 public:
  enum Column { kAddress, kHex, kDec, kBin, kAsm, kComment, kColumnCount };

  explicit MemoryTableModel(MainMemory& memory, QObject* parent = nullptr);
  ~MemoryTableModel() override;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  // Changed rows and the owner's selection: live, or gathered on a beat.
  DeferredRefresh& deferredRefresh() { return refresh_; }

 signals:
  // Mem_ReadMem or Mem_WriteMem moved the selection to this row (-1: none).
  void ownerSelected(int row);

 private:
  void memoryRowChanged(int address) override;
  void memorySelectionChanged(int address) override;
  void memoryCleared() override;
  void showMarked();

  MainMemory& memory_;
  DeferredRefresh refresh_{[this] { showMarked(); }};
  MarkedRows marked_;
  bool selectionMarked_ = false;
};

}  // namespace vesk
