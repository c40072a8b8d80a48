// The micro-memory window's list: 255 rows (addresses 01..FF; row r shows
// address r + 1) over MicroMemory, texts made when the view asks.
#pragma once

#include <QAbstractTableModel>

#include "memory/micro_memory.h"
#include "widgets/deferred_refresh.h"

namespace vesk {

class MicroMemoryTableModel final : public QAbstractTableModel, private MicroMemoryListener {
  Q_OBJECT

 public:
  // kAction: the micro-command in the register-transfer notation of
  // micro-program sources.
  enum Column { kAddress, kHorizontal, kVertical, kComment, kAction, kColumnCount };

  explicit MicroMemoryTableModel(MicroMemory& memory, QObject* parent = nullptr);
  ~MicroMemoryTableModel() override;

  static int RowOfAddress(int address) { return address - 1; }
  static int AddressOfRow(int row) { return row + 1; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  // Changed rows and the owner's selection: live, or gathered on a beat.
  DeferredRefresh& deferredRefresh() { return refresh_; }

 signals:
  // Micro_ReadMem or Micro_WriteMem selected this address.
  void ownerSelected(int address);

 private:
  void microRowChanged(int address) override;
  void microSelectionChanged(int address) override;
  void microRowsChanged() override;
  void showMarked();

  MicroMemory& memory_;
  DeferredRefresh refresh_{[this] { showMarked(); }};
  MarkedRows marked_;
  bool selectionMarked_ = false;
};

}  // namespace vesk
