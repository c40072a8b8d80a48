#include "widgets/marker_column.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTableView>

namespace vesk {

MarkerColumn::MarkerColumn(std::function<RowMarks(int row)> marks, QWidget* parent)
    : QHeaderView(Qt::Vertical, parent), marks_(std::move(marks)) {
  setSectionsClickable(false);
  setHighlightSections(false);
  setSectionResizeMode(QHeaderView::Fixed);
  setMinimumSectionSize(1);
  setFixedWidth(kWidth);
}

QSize MarkerColumn::sizeHint() const { return {kWidth, QHeaderView::sizeHint().height()}; }

void MarkerColumn::refresh() { viewport()->update(); }

void MarkerColumn::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
  painter->save();
  painter->fillRect(rect, palette().color(QPalette::Window));
  painter->setPen(palette().color(QPalette::Mid));
  painter->drawLine(rect.topRight(), rect.bottomRight());
  const RowMarks m = marks_ ? marks_(logicalIndex) : RowMarks{};
  painter->setRenderHint(QPainter::Antialiasing, true);
  const int d = std::max(6, std::min(rect.height() - 6, 12));
  const int cy = rect.center().y();
  if (m.breakpoint) {
    const QRectF dot(rect.left() + 3, cy - d / 2.0, d, d);
    const QColor red(200, 30, 30);
    painter->setPen(QPen(red, 1.6));
    painter->setBrush(m.breakpointEnabled ? QBrush(red) : Qt::NoBrush);
    painter->drawEllipse(dot);
  }
  if (m.watch) {
    // An eye: two arcs and a pupil.
    const QRectF eye(rect.left() + 3, cy - d / 3.0, d + 2, d * 2 / 3.0);
    const QColor blue(30, 90, 200);
    painter->setPen(QPen(blue, 1.4));
    painter->setBrush(Qt::NoBrush);
    QPainterPath path;
    path.moveTo(eye.left(), eye.center().y());
    path.quadTo(eye.center().x(), eye.top() - d / 3.0, eye.right(), eye.center().y());
    path.quadTo(eye.center().x(), eye.bottom() + d / 3.0, eye.left(), eye.center().y());
    painter->drawPath(path);
    if (m.watchEnabled) painter->setBrush(blue);
    painter->drawEllipse(eye.center(), d / 5.0, d / 5.0);
  }
  if (m.arrow) {
    const double right = rect.right() - 2.0;
    const double left = right - d;
    const double h = d * 0.45;
    QPainterPath arrow;
    arrow.moveTo(left, cy - h / 2);
    arrow.lineTo(left + d * 0.45, cy - h / 2);
    arrow.lineTo(left + d * 0.45, cy - h);
    arrow.lineTo(right, cy);
    arrow.lineTo(left + d * 0.45, cy + h);
    arrow.lineTo(left + d * 0.45, cy + h / 2);
    arrow.lineTo(left, cy + h / 2);
    arrow.closeSubpath();
    painter->setPen(QPen(QColor(120, 90, 0), 1.0));
    painter->setBrush(QColor(250, 200, 30));
    painter->drawPath(arrow);
  }
  painter->restore();
}

void MarkerColumn::mousePressEvent(QMouseEvent* event) {
  const int row = logicalIndexAt(event->position().toPoint());
  if (event->button() == Qt::LeftButton && row >= 0) {
    emit markerClicked(row);
    event->accept();
    return;
  }
  QHeaderView::mousePressEvent(event);
}

MarkerColumn* InstallMarkerColumn(QTableView& view, std::function<RowMarks(int row)> marks) {
  const int rowHeight = view.verticalHeader()->defaultSectionSize();
  auto* column = new MarkerColumn(std::move(marks), &view);
  view.setVerticalHeader(column);
  column->setDefaultSectionSize(rowHeight);
  column->setVisible(true);
  return column;
}

}  // namespace vesk
