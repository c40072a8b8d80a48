#include "widgets/long_list_view.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>
#include <algorithm>
#include <climits>
#include <vector>

namespace vesk {

namespace {

// Viewport positions of rows far outside the viewport are only compared and
// subtracted by Qt; a quarter of an int's range keeps that from overflowing.
constexpr std::int64_t kFar = std::int64_t{1} << 29;

int Clamped(std::int64_t v) { return static_cast<int>(std::clamp<std::int64_t>(v, -kFar, kFar)); }

RowWindow::Hint HintOf(QAbstractItemView::ScrollHint hint) {
  switch (hint) {
    case QAbstractItemView::PositionAtTop:
      return RowWindow::Hint::PositionAtTop;
    case QAbstractItemView::PositionAtBottom:
      return RowWindow::Hint::PositionAtBottom;
    case QAbstractItemView::PositionAtCenter:
      return RowWindow::Hint::PositionAtCenter;
    case QAbstractItemView::EnsureVisible:
      break;
  }
  return RowWindow::Hint::EnsureVisible;
}

}  // namespace

LongListView::LongListView(QWidget* parent) : QAbstractItemView(parent), header_(new QHeaderView(Qt::Horizontal, this)) {
  header_->setSectionsClickable(true);
  header_->setHighlightSections(true);
  setTabKeyNavigation(true);
  rows_.setRowHeight(style()->pixelMetric(QStyle::PM_HeaderDefaultSectionSizeVertical, nullptr, this));
  const auto columnsChanged = [this] {
    updateGeometries();
    viewport()->update();
  };
  connect(header_, &QHeaderView::sectionResized, this, columnsChanged);
  connect(header_, &QHeaderView::sectionMoved, this, columnsChanged);
  connect(header_, &QHeaderView::sectionCountChanged, this, columnsChanged);
  connect(header_, &QHeaderView::geometriesChanged, this, &LongListView::updateGeometries);
  connect(header_, &QHeaderView::sectionHandleDoubleClicked, this, &LongListView::resizeColumnToContents);
}

void LongListView::changeEvent(QEvent* event) {
  // A table's column captions keep the font of headers when the table's
  // font changes; so do these.
  if (event->type() == QEvent::FontChange) {
    header_->setFont(QApplication::font(header_));
    updateGeometries();
  }
  QAbstractItemView::changeEvent(event);
}

void LongListView::setModel(QAbstractItemModel* model) {
  if (this->model() != nullptr) disconnect(this->model(), &QAbstractItemModel::rowsRemoved, this, nullptr);
  QAbstractItemView::setModel(model);
  header_->setModel(model);
  if (model != nullptr) connect(model, &QAbstractItemModel::rowsRemoved, this, &LongListView::rowsRemoved);
  hover_ = QPersistentModelIndex();
  rows_.setLineCount(0);
  rows_.setLineCount(rowCount());
  updateGeometries();
  viewport()->update();
}

void LongListView::setRowHeight(int pixels) {
  rows_.setRowHeight(pixels);
  paintedTop_ = rows_.top();
  updateGeometries();
  viewport()->update();
}

int LongListView::rowCount() const { return model() != nullptr ? model()->rowCount(rootIndex()) : 0; }

QRect LongListView::rowRect(std::int64_t line) const {
  return QRect(0, Clamped(rows_.lineTop(line)), viewport()->width(), rows_.rowHeight());
}

QRect LongListView::visualRect(const QModelIndex& index) const {
  if (!index.isValid() || index.model() != model() || index.parent() != rootIndex()) return {};
  return QRect(header_->sectionViewportPosition(index.column()), Clamped(rows_.lineTop(index.row())),
               header_->sectionSize(index.column()), rows_.rowHeight());
}

QModelIndex LongListView::indexAt(const QPoint& point) const {
  if (model() == nullptr) return {};
  const std::int64_t line = rows_.lineAt(point.y());
  const int column = header_->logicalIndexAt(point.x());
  if (line < 0 || line >= rowCount() || column < 0) return {};
  return model()->index(static_cast<int>(line), column, rootIndex());
}

bool LongListView::isIndexHidden(const QModelIndex& index) const { return header_->isSectionHidden(index.column()); }

int LongListView::horizontalOffset() const { return header_->offset(); }

int LongListView::verticalOffset() const { return static_cast<int>(std::clamp<std::int64_t>(rows_.top() - origin_, INT_MIN, INT_MAX)); }

void LongListView::mousePressEvent(QMouseEvent* event) {
  // A drag keeps its start as pixels of the content; past an int's range
  // they count from the rows now in view instead.
  if (rows_.top() - origin_ > kFar || origin_ - rows_.top() > kFar) origin_ = rows_.top();
  QAbstractItemView::mousePressEvent(event);
}

void LongListView::scrollTo(const QModelIndex& index, ScrollHint hint) {
  if (!index.isValid() || index.model() != model() || index.parent() != rootIndex()) return;
  const std::int64_t value = rows_.valueShowing(index.row(), HintOf(hint));
  if (value != rows_.value()) {
    rows_.setValue(value);
    showRowWindow();
  }
  // Columns scroll by the pixel.
  const int width = viewport()->width();
  const int offset = header_->offset();
  const int position = header_->sectionPosition(index.column());
  const int cell = header_->sectionSize(index.column());
  if (hint == PositionAtCenter)
    horizontalScrollBar()->setValue(position - (width - cell) / 2);
  else if (position - offset < 0 || cell > width)
    horizontalScrollBar()->setValue(position);
  else if (position - offset + cell > width)
    horizontalScrollBar()->setValue(position - width + cell);
  update(index);
}

QModelIndex LongListView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
  const int rows = rowCount();
  const int columns = header_->count();
  if (model() == nullptr || rows == 0 || columns == 0) return {};
  int firstColumn = 0;
  while (firstColumn < columns && header_->isSectionHidden(header_->logicalIndex(firstColumn))) ++firstColumn;
  int lastColumn = columns - 1;
  while (lastColumn > firstColumn && header_->isSectionHidden(header_->logicalIndex(lastColumn))) --lastColumn;
  if (firstColumn >= columns) return {};
  const QModelIndex current = currentIndex();
  if (!current.isValid()) return model()->index(0, header_->logicalIndex(firstColumn), rootIndex());

  std::int64_t row = current.row();
  int column = std::clamp(header_->visualIndex(current.column()), firstColumn, lastColumn);
  const auto step = [&](int by) {  // along the row, wrapping to the row before or after, and round the list
    do {
      column += by;
      if (column > lastColumn) {
        column = firstColumn;
        row = row + 1 < rows ? row + 1 : 0;
      } else if (column < firstColumn) {
        column = lastColumn;
        row = row > 0 ? row - 1 : rows - 1;
      }
    } while (header_->isSectionHidden(header_->logicalIndex(column)));
  };
  const auto side = [&](int by) {
    int next = column + by;
    while (next >= firstColumn && next <= lastColumn && header_->isSectionHidden(header_->logicalIndex(next))) next += by;
    if (next >= firstColumn && next <= lastColumn) column = next;
  };
  switch (action) {
    case MoveUp:
      row = std::max<std::int64_t>(0, row - 1);
      break;
    case MoveDown:
      row = std::min<std::int64_t>(rows - 1, row + 1);
      break;
    case MoveLeft:
      side(-1);
      break;
    case MoveRight:
      side(1);
      break;
    case MovePrevious:
      step(-1);
      break;
    case MoveNext:
      step(1);
      break;
    case MoveHome:
      column = firstColumn;
      if (modifiers & Qt::ControlModifier) row = 0;
      break;
    case MoveEnd:
      column = lastColumn;
      if (modifiers & Qt::ControlModifier) row = rows - 1;
      break;
    case MovePageUp:
      row = rows_.pageUp(row);
      break;
    case MovePageDown:
      row = rows_.pageDown(row);
      break;
  }
  return model()->index(static_cast<int>(row), header_->logicalIndex(column), rootIndex());
}

void LongListView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) {
  if (selectionModel() == nullptr || model() == nullptr) return;
  // As a table: both corners must be on a cell.
  const std::int64_t top = rows_.lineAt(std::min(rect.top(), rect.bottom()));
  const std::int64_t bottom = rows_.lineAt(std::max(rect.top(), rect.bottom()));
  const int left = header_->visualIndexAt(std::min(rect.left(), rect.right()));
  const int right = header_->visualIndexAt(std::max(rect.left(), rect.right()));
  if (top < 0 || bottom >= rowCount() || left < 0 || right < 0) return;
  int first = INT_MAX;
  int last = -1;
  for (int v = left; v <= right; ++v) {
    first = std::min(first, header_->logicalIndex(v));
    last = std::max(last, header_->logicalIndex(v));
  }
  const QModelIndex topLeft = model()->index(static_cast<int>(top), first, rootIndex());
  const QModelIndex bottomRight = model()->index(static_cast<int>(bottom), last, rootIndex());
  if (!(model()->flags(topLeft) & Qt::ItemIsEnabled) || !(model()->flags(bottomRight) & Qt::ItemIsEnabled)) return;
  selectionModel()->select(QItemSelection(topLeft, bottomRight), command);
}

QRegion LongListView::visualRegionForSelection(const QItemSelection& selection) const {
  QRegion region;
  const std::int64_t first = rows_.firstShown();
  const std::int64_t last = rows_.lastShown();
  for (const QItemSelectionRange& range : selection) {
    if (!range.isValid() || range.parent() != rootIndex()) continue;
    const std::int64_t top = std::max<std::int64_t>(first, range.top());
    const std::int64_t bottom = std::min<std::int64_t>(last, range.bottom());
    if (top > bottom) continue;
    int left = INT_MAX;
    int right = INT_MIN;
    for (int c = range.left(); c <= range.right(); ++c) {
      left = std::min(left, header_->sectionViewportPosition(c));
      right = std::max(right, header_->sectionViewportPosition(c) + header_->sectionSize(c));
    }
    region += QRect(left, Clamped(rows_.lineTop(top)), right - left,
                    static_cast<int>((bottom - top + 1) * rows_.rowHeight()));
  }
  return region;
}

void LongListView::initViewItemOption(QStyleOptionViewItem* option) const {
  QAbstractItemView::initViewItemOption(option);
  option->showDecorationSelected = true;
}

void LongListView::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  const int columns = header_->count();
  const std::int64_t first = rows_.firstShown();
  const std::int64_t last = rows_.lastShown();
  if (model() == nullptr || columns == 0 || itemDelegate() == nullptr || last < first) return;
  // Each cell under any of the areas to paint, once (areas apart, such as
  // the rows a scroll uncovers at the top and at the bottom, paint only theirs).
  std::vector<bool> wanted(static_cast<std::size_t>(last - first + 1) * columns, false);
  for (const QRect& area : event->region()) {
    const std::int64_t top = std::max(first, rows_.lineAt(area.top()));
    const std::int64_t bottom = std::min(last, rows_.lineAt(area.bottom()));
    int left = header_->visualIndexAt(area.left());
    int right = header_->visualIndexAt(area.right());
    if (left < 0) left = 0;
    if (right < 0) right = columns - 1;
    for (std::int64_t line = top; line <= bottom; ++line)
      for (int v = left; v <= right; ++v) wanted[static_cast<std::size_t>((line - first) * columns + v)] = true;
  }

  QStyleOptionViewItem option;
  initViewItemOption(&option);
  const QModelIndex current = currentIndex();
  const bool focused = (hasFocus() || viewport()->hasFocus()) && current.isValid();
  const bool alternate = alternatingRowColors();
  for (std::int64_t line = first; line <= last; ++line) {
    const int y = static_cast<int>(rows_.lineTop(line));
    if (alternate) {
      if (line % 2 == 1)
        option.features |= QStyleOptionViewItem::Alternate;
      else
        option.features &= ~QStyleOptionViewItem::Alternate;
    }
    for (int v = 0; v < columns; ++v) {
      if (!wanted[static_cast<std::size_t>((line - first) * columns + v)]) continue;
      const int column = header_->logicalIndex(v);
      if (header_->isSectionHidden(column)) continue;
      const QModelIndex index = model()->index(static_cast<int>(line), column, rootIndex());
      if (!index.isValid()) continue;
      QStyleOptionViewItem cell = option;
      cell.rect = QRect(header_->sectionViewportPosition(column), y, header_->sectionSize(column), rows_.rowHeight());
      if (selectionModel() != nullptr && selectionModel()->isSelected(index)) cell.state |= QStyle::State_Selected;
      if (index == hover_) cell.state |= QStyle::State_MouseOver;
      if (option.state & QStyle::State_Enabled) {
        QPalette::ColorGroup group = QPalette::Normal;
        if (!(model()->flags(index) & Qt::ItemIsEnabled)) {
          cell.state &= ~QStyle::State_Enabled;
          group = QPalette::Disabled;
        }
        cell.palette.setCurrentColorGroup(group);
      }
      if (focused && index == current) cell.state |= QStyle::State_HasFocus;
      style()->drawPrimitive(QStyle::PE_PanelItemViewRow, &cell, &painter, this);
      itemDelegateForIndex(index)->paint(&painter, cell, index);
    }
  }
}

int LongListView::sizeHintForColumn(int column) const {
  if (model() == nullptr || column < 0 || column >= header_->count()) return -1;
  ensurePolished();
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  int hint = 0;
  // The rows in view only: the rest would be millions.
  for (std::int64_t line = rows_.firstShown(); line <= rows_.lastShown(); ++line) {
    const QModelIndex index = model()->index(static_cast<int>(line), column, rootIndex());
    option.rect = visualRect(index);
    hint = std::max(hint, itemDelegateForIndex(index)->sizeHint(option, index).width());
  }
  return hint;
}

void LongListView::resizeColumnToContents(int column) {
  header_->resizeSection(column, std::max(sizeHintForColumn(column), header_->sectionSizeHint(column)));
}

void LongListView::rowsInserted(const QModelIndex& parent, int start, int end) {
  QAbstractItemView::rowsInserted(parent, start, end);
  if (parent != rootIndex()) return;
  rows_.insertLines(start, end - start + 1);
  showRowWindow();
  repaintFrom(start);
}

void LongListView::rowsRemoved(const QModelIndex& parent, int start, int end) {
  if (parent != rootIndex()) return;
  const std::int64_t count = end - start + 1;
  const bool aboveView = end < rows_.firstShown();
  rows_.removeLines(start, count);
  if (aboveView) {
    // The oldest lines went (a trace at its line limit): every line moves up
    // in the content by the rows that went, and the view with it, so the
    // lines on screen stay where they are. Their shade follows the row
    // number: an odd count of rows flips it.
    paintedTop_ -= count * rows_.rowHeight();
    showRowWindow();
    if (count % 2 != 0 && alternatingRowColors()) viewport()->update();
    return;
  }
  showRowWindow();
  // The lines from the first removed down change; lines in view removed
  // with older ones renumber every line below them.
  if (start < rows_.firstShown())
    viewport()->update();
  else
    repaintFrom(start);
}

void LongListView::reset() {
  QAbstractItemView::reset();
  hover_ = QPersistentModelIndex();
  rows_.setLineCount(rowCount());
  showRowWindow();
  viewport()->update();
}

void LongListView::updateGeometries() {
  if (inGeometry_) return;
  inGeometry_ = true;
  // A scroll bar that comes or goes changes the viewport: lay out again.
  for (int pass = 0; pass < 3; ++pass) {
    const QSize before = viewport()->size();
    layOut();
    if (viewport()->size() == before) break;
  }
  inGeometry_ = false;
  QAbstractItemView::updateGeometries();
}

void LongListView::layOut() {
  const int headerHeight = header_->isHidden() ? 0 : std::max(header_->minimumHeight(), header_->sizeHint().height());
  setViewportMargins(0, headerHeight, 0, 0);
  const QRect frame = viewport()->geometry();
  header_->setGeometry(frame.left(), frame.top() - headerHeight, frame.width(), headerHeight);
  if (header_->isHidden()) QMetaObject::invokeMethod(header_, "updateGeometries");

  // With room for every row and column the scroll bars would go: count
  // without them.
  QSize size = viewport()->size();
  const QSize room = maximumViewportSize();
  const int length = header_->length();
  const std::int64_t height = static_cast<std::int64_t>(rowCount()) * rows_.rowHeight();
  if (room.width() >= length && room.height() >= height) size = room;

  int columnsInView = 0;
  for (int width = 0, v = header_->count() - 1; v >= 0; --v) {
    const int column = header_->logicalIndex(v);
    if (header_->isSectionHidden(column)) continue;
    width += header_->sectionSize(column);
    if (width > size.width()) break;
    ++columnsInView;
  }
  columnsInView = std::max(columnsInView, 1);
  horizontalScrollBar()->setPageStep(size.width());
  horizontalScrollBar()->setRange(0, length - size.width());
  horizontalScrollBar()->setSingleStep(std::max(size.width() / (columnsInView + 1), 2));

  rows_.setViewportHeight(size.height());
  rows_.setLineCount(rowCount());
  showRowWindow();
}

void LongListView::showRowWindow() {
  showing_ = true;
  QScrollBar* bar = verticalScrollBar();
  const int value = static_cast<int>(rows_.value());
  bar->setSingleStep(1);
  bar->setPageStep(static_cast<int>(std::min<std::int64_t>(rows_.rowsInViewport(), INT_MAX)));
  bar->setRange(0, static_cast<int>(rows_.maximum()));
  bar->setValue(value);
  showing_ = false;
  moveRows();
}

void LongListView::moveRows() {
  // A line is drawn at the same content y for as long as it is in the list:
  // what is on screen moves with the view, only the rows it uncovers are
  // painted.
  const std::int64_t top = rows_.top();
  const std::int64_t dy = paintedTop_ - top;
  paintedTop_ = top;
  if (dy == 0) return;
  if (dy > -viewport()->height() && dy < viewport()->height())
    viewport()->scroll(0, static_cast<int>(dy));
  else
    viewport()->update();
}

void LongListView::repaintFrom(std::int64_t line) {
  const std::int64_t y = std::max<std::int64_t>(0, rows_.lineTop(line));
  if (y < viewport()->height()) viewport()->update(0, static_cast<int>(y), viewport()->width(), viewport()->height());
}

void LongListView::scrollContentsBy(int dx, int dy) {
  if (dx != 0) {
    header_->setOffset(horizontalScrollBar()->value());
    viewport()->scroll(dx, 0);
  }
  if (dy != 0 && !showing_) {
    rows_.setValue(verticalScrollBar()->value());
    moveRows();
  }
}

bool LongListView::viewportEvent(QEvent* event) {
  QModelIndex hover = hover_;
  switch (event->type()) {
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
      hover = indexAt(static_cast<QHoverEvent*>(event)->position().toPoint());
      break;
    case QEvent::MouseMove:
      hover = indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
      break;
    case QEvent::HoverLeave:
    case QEvent::Leave:
      hover = QModelIndex();
      break;
    default:
      break;
  }
  if (hover != QModelIndex(hover_)) {
    if (hover_.isValid()) viewport()->update(rowRect(hover_.row()));
    if (hover.isValid()) viewport()->update(rowRect(hover.row()));
    hover_ = hover;
  }
  return QAbstractItemView::viewportEvent(event);
}

}  // namespace vesk
