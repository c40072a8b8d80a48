// The period indicator of the processor window: three stacked bars (period 3
// on top, period 1 at the bottom), each as high as its share of the whole
// micro-command cycle, and a line that rises through the bar of the running
// period. Drawn from RunControl::Indicator(), whose units span 253.
#pragma once

#include <QWidget>

#include "core/run_control.h"

namespace vesk {

class PeriodIndicatorWidget : public QWidget {
  Q_OBJECT

 public:
  explicit PeriodIndicatorWidget(QWidget* parent = nullptr);

  // New bar sizes (after SetIntervals): the whole indicator is redrawn.
  void setBars(const PeriodIndicator& indicator);
  // The line moved: only the strips of its old and new place are redrawn.
  void setLine(const PeriodIndicator& indicator);

  const PeriodIndicator& shown() const { return shown_; }
  // The line's y in pixels, as drawn.
  int linePixel() const;

  QSize sizeHint() const override { return {64, 253 + 2 * kMargin}; }
  QSize minimumSizeHint() const override { return {56, 120}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  static constexpr int kMargin = 6;
  double scale() const;
  int toPixel(double units) const;

  PeriodIndicator shown_;  // a copy of the values last drawn
};

}  // namespace vesk
