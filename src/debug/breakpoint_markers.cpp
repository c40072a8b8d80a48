#include "debug/breakpoint_markers.h"

#include <QItemSelectionModel>
#include <QMenu>
#include <QTableView>

namespace vesk {

BreakpointMarkers::BreakpointMarkers(QTableView& view, Breakpoints& breakpoints, Processor& cpu, Kinds kinds,
                                     QMenu* menu, QObject* parent)
    : QObject(parent), view_(view), breakpoints_(breakpoints), cpu_(cpu), kinds_(std::move(kinds)), menu_(menu) {
  column_ = InstallMarkerColumn(view_, [this](int row) { return marks(row); });
  if (menu_ == nullptr) {
    menu_ = new QMenu(&view_);
    view_.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&view_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { menu_->exec(view_.viewport()->mapToGlobal(at)); });
  } else {
    menu_->addSeparator();
  }
  if (kinds_.breakKind) {
    breakAction_ = new QAction(kinds_.breakText, &view_);
    breakAction_->setObjectName("actToggleBreakpoint");
    breakAction_->setCheckable(true);
    breakAction_->setShortcut(QKeySequence(Qt::Key_F9));
    breakAction_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    view_.addAction(breakAction_);
    menu_->addAction(breakAction_);
    connect(breakAction_, &QAction::triggered, this, [this] {
      if (const int row = selectedRow(); row >= 0) toggleBreakpoint(row);
    });
    connect(column_, &MarkerColumn::markerClicked, this, &BreakpointMarkers::toggleBreakpoint);
  } else if (kinds_.watchKind) {
    connect(column_, &MarkerColumn::markerClicked, this, &BreakpointMarkers::toggleWatch);
  }
  if (kinds_.watchKind) {
    watchAction_ = new QAction(kinds_.watchText, &view_);
    watchAction_->setObjectName("actToggleWatch");
    watchAction_->setCheckable(true);
    if (!kinds_.breakKind) {
      watchAction_->setShortcut(QKeySequence(Qt::Key_F9));
      watchAction_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
      view_.addAction(watchAction_);
    }
    menu_->addAction(watchAction_);
    connect(watchAction_, &QAction::triggered, this, [this] {
      if (const int row = selectedRow(); row >= 0) toggleWatch(row);
    });
  }
  connect(menu_, &QMenu::aboutToShow, this, &BreakpointMarkers::syncActions);
  breakpoints_.listeners().add(this);
  cpu_.listeners().add(this);
  if (kinds_.arrowRegister) registerChanged(*kinds_.arrowRegister);
}

BreakpointMarkers::~BreakpointMarkers() {
  breakpoints_.listeners().remove(this);
  cpu_.listeners().remove(this);
}

int BreakpointMarkers::selectedRow() const {
  const QModelIndexList rows = view_.selectionModel()->selectedRows();
  if (!rows.isEmpty()) return rows.first().row();
  const QModelIndex current = view_.currentIndex();
  return current.isValid() ? current.row() : -1;
}

void BreakpointMarkers::syncActions() {
  const int row = selectedRow();
  const int address = row >= 0 ? kinds_.addressOfRow(row) : -1;
  if (breakAction_ != nullptr) {
    breakAction_->setEnabled(row >= 0);
    breakAction_->setChecked(row >= 0 && breakpoints_.Has(*kinds_.breakKind, address));
  }
  if (watchAction_ != nullptr) {
    watchAction_->setEnabled(row >= 0);
    watchAction_->setChecked(row >= 0 && breakpoints_.Has(*kinds_.watchKind, address));
  }
}

void BreakpointMarkers::toggleBreakpoint(int row) {
  if (kinds_.breakKind) breakpoints_.Toggle(*kinds_.breakKind, kinds_.addressOfRow(row));
}

void BreakpointMarkers::toggleWatch(int row) {
  if (kinds_.watchKind) breakpoints_.Toggle(*kinds_.watchKind, kinds_.addressOfRow(row));
}

RowMarks BreakpointMarkers::marks(int row) const {
  RowMarks m;
  const int address = kinds_.addressOfRow(row);
  if (kinds_.breakKind) {
    m.breakpoint = breakpoints_.Has(*kinds_.breakKind, address);
    m.breakpointEnabled = breakpoints_.Enabled(*kinds_.breakKind, address);
  }
  if (kinds_.watchKind) {
    m.watch = breakpoints_.Has(*kinds_.watchKind, address);
    m.watchEnabled = breakpoints_.Enabled(*kinds_.watchKind, address);
  }
  m.arrow = row == arrowRow_;
  return m;
}

void BreakpointMarkers::breakpointChanged(BreakKind kind, int address) {
  if (kind != kinds_.breakKind && kind != kinds_.watchKind) return;
  const int row = kinds_.rowOfAddress(address);
  column_->viewport()->update(0, column_->sectionViewportPosition(row), column_->width(), column_->sectionSize(row));
  syncActions();
}

void BreakpointMarkers::registerChanged(Reg r) {
  if (!kinds_.arrowRegister || r != *kinds_.arrowRegister) return;
  const int row = kinds_.arrowRow(cpu_);
  if (row == arrowRow_) return;
  arrowRow_ = row;
  column_->refresh();
}

}  // namespace vesk
