// A list of rows of one height over a table model of any length (a trace of
// millions of lines). It looks and behaves like the QTableView of the other
// lists with its row header hidden and scrolled a row at a time: the column
// header on top, alternating rows, the selection, tooltips, wheel, keys and
// mouse. Unlike a QTableView, which keeps a row header entry per row and
// walks them all when rows go, it keeps no state per row: it paints only the
// rows in view (RowWindow says which), and rows added, removed at either end
// or reset cost it the same whatever the length of the list.
#pragma once

#include <QAbstractItemView>
#include <QPersistentModelIndex>

#include "widgets/row_window.h"

class QHeaderView;

namespace vesk {

class LongListView : public QAbstractItemView {
  Q_OBJECT

 public:
  explicit LongListView(QWidget* parent = nullptr);

  void setModel(QAbstractItemModel* model) override;
  QHeaderView* horizontalHeader() const { return header_; }
  void setRowHeight(int pixels);
  int rowHeight() const { return rows_.rowHeight(); }
  // Which lines are in view (the vertical scroll bar's value is the line at
  // the top).
  const RowWindow& rowWindow() const { return rows_; }

  QRect visualRect(const QModelIndex& index) const override;
  void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
  QModelIndex indexAt(const QPoint& point) const override;
  int sizeHintForColumn(int column) const override;

 public slots:
  void reset() override;
  // As a table does on a double click on a column's edge: the widest of the
  // rows in view and the caption.
  void resizeColumnToContents(int column);

 protected slots:
  void rowsInserted(const QModelIndex& parent, int start, int end) override;
  // No jump to a row by the letters typed: over millions of rows Qt's
  // search would hold the window for seconds.
  void keyboardSearch(const QString& /*search*/) override {}
  void updateGeometries() override;

 protected:
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
  int horizontalOffset() const override;
  int verticalOffset() const override;
  bool isIndexHidden(const QModelIndex& index) const override;
  void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
  QRegion visualRegionForSelection(const QItemSelection& selection) const override;
  void initViewItemOption(QStyleOptionViewItem* option) const override;
  void paintEvent(QPaintEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  bool viewportEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void rowsRemoved(const QModelIndex& parent, int start, int end);
  void layOut();
  // The scroll bar follows the row window (range, page, value), and the
  // rows on screen follow the scroll position.
  void showRowWindow();
  void moveRows();
  void repaintFrom(std::int64_t line);  // the rows from a line down to the bottom edge
  int rowCount() const;
  QRect rowRect(std::int64_t line) const;  // whole row, viewport coordinates, clamped to int

  QHeaderView* header_;
  RowWindow rows_;
  // Content y of verticalOffset()'s zero: moved only when the offset would
  // leave an int's range, so a mouse drag's start keeps its meaning.
  std::int64_t origin_ = 0;
  std::int64_t paintedTop_ = 0;  // the content y the pixels on screen were painted for
  QPersistentModelIndex hover_;
  bool showing_ = false;
  bool inGeometry_ = false;
};

}  // namespace vesk
