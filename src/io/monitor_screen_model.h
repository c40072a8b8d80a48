// The monitor's 25 x 80 screen as a table: row r, column c shows the cell at
// screen row r+1, column c+1 as its windows-1251 character.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <array>

#include "io/monitor.h"
#include "widgets/deferred_refresh.h"

namespace vesk {

class MonitorScreenModel final : public QAbstractTableModel, private MonitorListener {
  Q_OBJECT

 public:
  explicit MonitorScreenModel(Monitor& monitor, QObject* parent = nullptr);
  ~MonitorScreenModel() override;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // The text a cell code shows: its windows-1251 character, nothing for 0.
  static const QString& CellText(int code);

  // Changed cells: live, or gathered (as whole rows) on a beat.
  DeferredRefresh& deferredRefresh() { return refresh_; }

 private:
  void cellChanged(int x, int y) override;
  void screenChanged() override;
  void showMarked();

  Monitor& monitor_;
  DeferredRefresh refresh_{[this] { showMarked(); }};
  MarkedRows marked_;
};

}  // namespace vesk
