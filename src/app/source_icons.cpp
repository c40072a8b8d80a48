#include "app/source_icons.h"

#include <QPainter>
#include <QPixmap>

namespace vesk {

namespace {

// Draws on a 32 x 32 canvas scaled to the pixmap.
void Draw(QPainter& p, bool micro) {
  p.setRenderHint(QPainter::Antialiasing);
  const QColor ink(40, 52, 72);
  const QColor accent = micro ? QColor(230, 160, 30) : QColor(45, 110, 190);
  // A page with a folded corner.
  QPolygonF page;
  page << QPointF(6, 3) << QPointF(21, 3) << QPointF(27, 9) << QPointF(27, 29) << QPointF(6, 29);
  p.setPen(QPen(ink, 1.8));
  p.setBrush(QColor(250, 250, 246));
  p.drawPolygon(page);
  p.drawLine(QPointF(21, 3), QPointF(21, 9));
  p.drawLine(QPointF(21, 9), QPointF(27, 9));
  // Lines of text, indented like source.
  p.setPen(QPen(QColor(120, 130, 145), 1.6));
  p.drawLine(QPointF(9, 8), QPointF(17, 8));
  p.drawLine(QPointF(12, 24), QPointF(24, 24));
  p.drawLine(QPointF(12, 27), QPointF(21, 27));
  // The language's mark.
  QFont f;
  f.setBold(true);
  f.setPixelSize(micro ? 13 : 9);
  p.setFont(f);
  p.setPen(accent);
  p.drawText(QRectF(6, 10, 21, 12), Qt::AlignCenter, micro ? QStringLiteral("µ") : QStringLiteral("ASM"));
}

QPixmap Render(bool micro, int size) {
  QPixmap pm(size, size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.scale(size / 32.0, size / 32.0);
  Draw(p, micro);
  return pm;
}

}  // namespace

QIcon MakeSourceIcon(bool microProgram) {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64}) icon.addPixmap(Render(microProgram, size));
  return icon;
}

}  // namespace vesk
