#include "core/signal_lamps_panel.h"

#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QRadialGradient>

#include "core/micro_command.h"

namespace vesk {

namespace {

constexpr int kPerRow = 15;

// Lamp 0 is the stop signal (HLT): red; the others green.
QColor LitColor(int index) { return index == 0 ? QColor(0xE5, 0x39, 0x35) : QColor(0x43, 0xD0, 0x4A); }

}  // namespace

SignalLamp::SignalLamp(int index, QWidget* parent) : QWidget(parent), index_(index) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void SignalLamp::setOn(bool on) {
  if (on == on_) return;
  on_ = on;
  update();
}

void SignalLamp::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r = QRectF(rect()).adjusted(2, 2, -2, -2);
  const QColor lit = LitColor(index_);
  QRadialGradient g(r.center() - QPointF(r.width() / 5, r.height() / 5), r.width() * 0.7);
  if (on_) {
    g.setColorAt(0, lit.lighter(170));
    g.setColorAt(0.6, lit);
    g.setColorAt(1, lit.darker(130));
  } else {
    g.setColorAt(0, QColor(0xB8, 0xBD, 0xB8));
    g.setColorAt(1, QColor(0x6E, 0x74, 0x6E));
  }
  p.setBrush(g);
  p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
  p.drawEllipse(r);
}

SignalLampsPanel::SignalLampsPanel(QWidget* parent) : QGroupBox(QStringLiteral("Массив управляющих линий"), parent) {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(6, 4, 6, 6);
  grid->setHorizontalSpacing(2);
  grid->setVerticalSpacing(0);
  QFont small = font();
  small.setPointSizeF(small.pointSizeF() * 0.85);
  for (int i = 0; i < kLamps; ++i) {
    const int row = (i / kPerRow) * 2;
    const int column = i % kPerRow;
    auto* lamp = new SignalLamp(i, this);
    lamps_[static_cast<std::size_t>(i)] = lamp;
    grid->addWidget(lamp, row + 1, column, Qt::AlignHCenter);
    // Lamp 0 carries the stop signal's name; lamps 1..28 their numbers.
    auto* label = new QLabel(i == 0 ? QStringLiteral("HLT") : QString::number(i), this);
    label->setFont(small);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    label->setMinimumWidth(QFontMetrics(small).horizontalAdvance(QStringLiteral("HLT")) + 4);
    grid->addWidget(label, row, column, Qt::AlignHCenter | Qt::AlignBottom);
    if (i > 0)
      labels_[static_cast<std::size_t>(i)] = label;
    else
      lampZeroCaption_ = label;
  }
}

void SignalLampsPanel::applySignalHints() {
  for (int i = 0; i < kLamps; ++i) {
    const std::string_view hint = kSignalHints[static_cast<std::size_t>(i)];
    lamps_[static_cast<std::size_t>(i)]->setToolTip(QString::fromUtf8(hint.data(), static_cast<int>(hint.size())));
  }
  lampZeroCaption_->setToolTip(lamps_[0]->toolTip());
  for (int i = 1; i < kLamps; ++i) labels_[static_cast<std::size_t>(i)]->setToolTip(lamps_[static_cast<std::size_t>(i)]->toolTip());
}

}  // namespace vesk
