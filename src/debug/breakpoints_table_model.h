// The breakpoints window's list: every breakpoint and watchpoint with a
// check box (enabled), its kind, its address and the comment of its row.
#pragma once

#include <QAbstractTableModel>
#include <functional>
#include <vector>

#include "debug/breakpoints.h"

namespace vesk {

class BreakpointsTableModel final : public QAbstractTableModel, private BreakpointsListener {
  Q_OBJECT

 public:
  enum Column { kEnabled, kKind, kAddress, kComment, kColumnCount };

  // comment: the comment of the row a breakpoint is on (memory, micro-memory
  // or controllers).
  BreakpointsTableModel(Breakpoints& breakpoints, std::function<QString(BreakKind, int)> comment,
                        QObject* parent = nullptr);
  ~BreakpointsTableModel() override;

  static QString KindText(BreakKind kind);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  const Breakpoint& at(int row) const { return rows_[static_cast<std::size_t>(row)]; }
  // The row of a breakpoint, or -1.
  int rowOf(BreakKind kind, int address) const;
  // The comments of the rows may have changed.
  void refreshComments();

 private:
  void breakpointChanged(BreakKind kind, int address) override;

  Breakpoints& breakpoints_;
  std::function<QString(BreakKind, int)> comment_;
  std::vector<Breakpoint> rows_;
};

}  // namespace vesk
