// What a list window (memory, micro-memory, controllers) shows and does for
// breakpoints: the marker column with its dots and the arrow at the row the
// machine is at, F9 and a click in the column for a breakpoint, and the
// context-menu items for a breakpoint and a watchpoint on the selected row.
// The breakpoints stay in the machine's Breakpoints; this only shows and
// edits them.
#pragma once

#include <QAction>
#include <QObject>
#include <functional>
#include <optional>

#include "core/processor.h"
#include "debug/breakpoints.h"
#include "widgets/marker_column.h"

class QMenu;
class QTableView;

namespace vesk {

class BreakpointMarkers : public QObject, private BreakpointsListener, private ProcessorListener {
  Q_OBJECT

 public:
  struct Kinds {
    std::optional<BreakKind> breakKind;  // F9, the marker click
    std::optional<BreakKind> watchKind;
    QString breakText;
    QString watchText;
    std::function<int(int row)> addressOfRow;
    std::function<int(int address)> rowOfAddress;
    // The register whose value names the arrow's row, and how.
    std::optional<Reg> arrowRegister;
    std::function<int(const Processor&)> arrowRow;
  };

  // menu: the list's context menu to add the items to (nullptr: a new one,
  // shown on a right click).
  BreakpointMarkers(QTableView& view, Breakpoints& breakpoints, Processor& cpu, Kinds kinds, QMenu* menu,
                    QObject* parent = nullptr);
  ~BreakpointMarkers() override;

  MarkerColumn* column() { return column_; }
  QAction* breakAction() { return breakAction_; }
  QAction* watchAction() { return watchAction_; }
  QMenu* menu() { return menu_; }
  int arrowRow() const { return arrowRow_; }

  // The breakpoint (or watchpoint) of the row, set when absent and removed
  // when present.
  void toggleBreakpoint(int row);
  void toggleWatch(int row);
  // What the marker cell of a row shows.
  RowMarks marks(int row) const;

 private:
  void breakpointChanged(BreakKind kind, int address) override;
  void registerChanged(Reg r) override;
  int selectedRow() const;
  void syncActions();

  QTableView& view_;
  Breakpoints& breakpoints_;
  Processor& cpu_;
  Kinds kinds_;
  MarkerColumn* column_;
  QMenu* menu_;
  QAction* breakAction_ = nullptr;
  QAction* watchAction_ = nullptr;
  int arrowRow_ = -1;
};

}  // namespace vesk
