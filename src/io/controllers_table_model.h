// The controllers window's list: 256 rows in list order (addresses 01..FF,
// then 00) over Controllers, texts made when the view asks.
#pragma once

#include <QAbstractTableModel>

#include "io/controllers.h"
#include "widgets/deferred_refresh.h"

namespace vesk {

class ControllersTableModel final : public QAbstractTableModel, private ControllersListener {
  Q_OBJECT

 public:
  enum Column { kAddress, kFlag, kData, kDevice, kComment, kColumnCount };

  explicit ControllersTableModel(Controllers& controllers, QObject* parent = nullptr);
  ~ControllersTableModel() override;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  // Changed rows: live, or gathered on a beat.
  DeferredRefresh& deferredRefresh() { return refresh_; }

 private:
  void controllerChanged(int row) override;
  void showMarked();

  Controllers& controllers_;
  DeferredRefresh refresh_{[this] { showMarked(); }};
  MarkedRows marked_;
};

}  // namespace vesk
