#include "io/monitor_screen_view.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <cmath>

#include "io/monitor.h"

namespace vesk {

namespace {

const QColor kGround(18, 20, 22);
const QColor kInk(215, 222, 210);
constexpr int kSmallestPixelSize = 6;
constexpr int kLargestPixelSize = 72;

}  // namespace

MonitorScreenView::MonitorScreenView(QAbstractItemModel* model, QWidget* parent)
    : QWidget(parent), model_(model), font_(FontOfSize(kDefaultPixelSize)), cell_(CellOf(font_)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  connect(model_, &QAbstractItemModel::dataChanged, this, &MonitorScreenView::cellsChanged);
  connect(model_, &QAbstractItemModel::modelReset, this, qOverload<>(&QWidget::update));
}

QFont MonitorScreenView::FontOfSize(int pixelSize) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setStyleHint(QFont::Monospace, QFont::PreferDefault);
  font.setFixedPitch(true);
  font.setKerning(false);
  font.setPixelSize(pixelSize);
  return font;
}

QSizeF MonitorScreenView::CellOf(const QFont& font) {
  const QFontMetricsF metrics(font);
  // One character's advance; in a monospaced face every character has it.
  return {metrics.horizontalAdvance(QLatin1Char('M')), std::ceil(metrics.height())};
}

QSize MonitorScreenView::sizeHint() const {
  const QSizeF cell = CellOf(FontOfSize(kDefaultPixelSize));
  return {static_cast<int>(std::ceil(cell.width() * Monitor::kColumns)),
          static_cast<int>(std::ceil(cell.height() * Monitor::kRows))};
}

QSize MonitorScreenView::minimumSizeHint() const {
  const QSizeF cell = CellOf(FontOfSize(kSmallestPixelSize));
  return {static_cast<int>(std::ceil(cell.width() * Monitor::kColumns)),
          static_cast<int>(std::ceil(cell.height() * Monitor::kRows))};
}

void MonitorScreenView::fitFont() {
  int size = kSmallestPixelSize;
  for (int s = kLargestPixelSize; s > kSmallestPixelSize; --s) {
    const QSizeF cell = CellOf(FontOfSize(s));
    if (cell.width() * Monitor::kColumns <= width() && cell.height() * Monitor::kRows <= height()) {
      size = s;
      break;
    }
  }
  font_ = FontOfSize(size);
  cell_ = CellOf(font_);
  origin_ = QPointF(std::max(0.0, std::floor((width() - cell_.width() * Monitor::kColumns) / 2)),
                    std::max(0.0, std::floor((height() - cell_.height() * Monitor::kRows) / 2)));
}

QRectF MonitorScreenView::cellRect(int x, int y) const {
  return {origin_.x() + (x - 1) * cell_.width(), origin_.y() + (y - 1) * cell_.height(), cell_.width(), cell_.height()};
}

void MonitorScreenView::resizeEvent(QResizeEvent* event) {
  fitFont();
  QWidget::resizeEvent(event);
}

void MonitorScreenView::cellsChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight) {
  if (!topLeft.isValid() || !bottomRight.isValid()) {
    update();
    return;
  }
  const QRectF first = cellRect(topLeft.column() + 1, topLeft.row() + 1);
  const QRectF last = cellRect(bottomRight.column() + 1, bottomRight.row() + 1);
  update(first.united(last).toAlignedRect().adjusted(-1, -1, 1, 1));
}

void MonitorScreenView::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  p.fillRect(event->rect(), kGround);
  if (model_.isNull()) return;
  p.setFont(font_);
  p.setPen(kInk);
  const double ascent = QFontMetricsF(font_).ascent();
  const QRectF dirty(event->rect());
  for (int y = 1; y <= Monitor::kRows; ++y) {
    const QRectF rowRect(origin_.x(), origin_.y() + (y - 1) * cell_.height(), cell_.width() * Monitor::kColumns,
                         cell_.height());
    if (!rowRect.intersects(dirty)) continue;
    for (int x = 1; x <= Monitor::kColumns; ++x) {
      const QString text = model_->index(y - 1, x - 1).data(Qt::DisplayRole).toString();
      if (text.isEmpty()) continue;
      const QRectF cell = cellRect(x, y);
      // Each character at its own cell, so a glyph another face supplies
      // cannot push the rest of the row along.
      p.save();
      p.setClipRect(cell);
      p.drawText(QPointF(cell.left(), cell.top() + ascent), text);
      p.restore();
    }
  }
}

}  // namespace vesk
