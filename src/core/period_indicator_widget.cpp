#include "core/period_indicator_widget.h"

#include <QPainter>
#include <cmath>

namespace vesk {

namespace {

const QColor kBarColors[3] = {QColor(0x42, 0x85, 0xF4), QColor(0xF4, 0xA2, 0x3C), QColor(0x7C, 0xB3, 0x42)};

}  // namespace

PeriodIndicatorWidget::PeriodIndicatorWidget(QWidget* parent) : QWidget(parent) {
  setToolTip(QStringLiteral("Периоды цикла микрокоманды: 1 - выборка, 2 - исполнение, 3 - гашение сигналов"));
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
}

double PeriodIndicatorWidget::scale() const { return (height() - 2 * kMargin) / PeriodIndicator::kScale; }

int PeriodIndicatorWidget::toPixel(double units) const {
  if (!std::isfinite(units)) return kMargin;
  return kMargin + static_cast<int>(std::lround(units * scale()));
}

int PeriodIndicatorWidget::linePixel() const { return toPixel(shown_.lineY); }

void PeriodIndicatorWidget::setBars(const PeriodIndicator& indicator) {
  shown_ = indicator;
  update();
}

void PeriodIndicatorWidget::setLine(const PeriodIndicator& indicator) {
  const int before = linePixel();
  const bool barChanged = indicator.activeBar != shown_.activeBar;
  shown_.lineY = indicator.lineY;
  shown_.activeBar = indicator.activeBar;
  const int after = linePixel();
  if (barChanged) {
    update();
  } else if (after != before) {
    update(0, before - 2, width(), 5);
    update(0, after - 2, width(), 5);
  }
}

void PeriodIndicatorWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().color(QPalette::Window));
  const int barLeft = 20;
  const int barWidth = width() - barLeft - 8;
  p.setPen(QColor(0x30, 0x30, 0x30));
  p.drawRect(barLeft - 1, kMargin - 1, barWidth + 1, height() - 2 * kMargin + 1);
  QFont small = font();
  small.setPointSizeF(small.pointSizeF() * 0.85);
  p.setFont(small);
  for (int i = 0; i < 3; ++i) {
    const int top = toPixel(shown_.barTop[static_cast<std::size_t>(i)]);
    const int bottom = toPixel(shown_.barTop[static_cast<std::size_t>(i)] + shown_.barHeight[static_cast<std::size_t>(i)]);
    if (bottom <= top) continue;
    QColor c = kBarColors[i];
    if (shown_.activeBar != i + 1) c = c.lighter(150);
    p.fillRect(barLeft, top, barWidth, bottom - top, c);
    p.setPen(QColor(0x30, 0x30, 0x30));
    p.drawLine(barLeft, top, barLeft + barWidth - 1, top);
    if (bottom - top >= QFontMetrics(small).height())
      p.drawText(QRect(0, top, barLeft - 3, bottom - top), Qt::AlignRight | Qt::AlignVCenter, QString::number(i + 1));
  }
  const int y = linePixel();
  p.setPen(QPen(QColor(0xC6, 0x28, 0x28), 3));
  p.drawLine(barLeft - 6, y, barLeft + barWidth + 4, y);
}

}  // namespace vesk
