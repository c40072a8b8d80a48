#include "app/toolbar_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace vesk {

namespace {

const QColor kInk(40, 52, 72);
const QColor kGreen(46, 160, 67);
const QColor kRed(200, 55, 50);
const QColor kBlue(45, 110, 190);
const QColor kAmber(230, 160, 30);
const QColor kPaper(250, 250, 246);

// Draws on a 32 x 32 canvas scaled to the pixmap.
void Draw(QPainter& p, IconKind kind) {
  p.setRenderHint(QPainter::Antialiasing);
  QPen ink(kInk, 2.0);
  ink.setJoinStyle(Qt::RoundJoin);
  ink.setCapStyle(Qt::RoundCap);
  switch (kind) {
    case IconKind::Memory: {  // a memory chip: rows of cells
      p.setPen(ink);
      p.setBrush(kPaper);
      p.drawRoundedRect(QRectF(5, 4, 22, 24), 2, 2);
      p.setPen(QPen(kBlue, 2.5));
      for (int y = 9; y <= 23; y += 5) p.drawLine(QPointF(9, y), QPointF(23, y));
      break;
    }
    case IconKind::Trace:
    case IconKind::MicroTrace: {  // a log: lines of text, the micro one finer
      p.setPen(ink);
      p.setBrush(kPaper);
      p.drawRect(QRectF(5, 3, 22, 26));
      const bool micro = kind == IconKind::MicroTrace;
      p.setPen(QPen(micro ? kAmber : kGreen, micro ? 1.6 : 2.4));
      for (int y = 8; y <= 24; y += micro ? 3 : 5) p.drawLine(QPointF(9, y), QPointF(micro ? 23 : 22, y));
      break;
    }
    case IconKind::Processor: {  // a chip with pins
      p.setPen(QPen(kInk, 2));
      for (int i = 0; i < 4; ++i) {
        const double c = 9 + i * 4.7;
        p.drawLine(QPointF(c, 2), QPointF(c, 7));
        p.drawLine(QPointF(c, 25), QPointF(c, 30));
        p.drawLine(QPointF(2, c), QPointF(7, c));
        p.drawLine(QPointF(25, c), QPointF(30, c));
      }
      p.setBrush(kBlue);
      p.drawRoundedRect(QRectF(7, 7, 18, 18), 2, 2);
      p.setPen(QPen(Qt::white, 2));
      p.drawRect(QRectF(12, 12, 8, 8));
      break;
    }
    case IconKind::Breakpoints: {
      p.setPen(QPen(kInk, 1.5));
      p.setBrush(kRed);
      p.drawEllipse(QPointF(16, 16), 10, 10);
      p.setPen(QPen(Qt::white, 2.5));
      p.drawLine(QPointF(11, 16), QPointF(21, 16));
      break;
    }
    case IconKind::MicroMemory: {  // a grid of micro-command cells
      p.setPen(ink);
      p.setBrush(kPaper);
      p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
      p.setPen(Qt::NoPen);
      p.setBrush(kAmber);
      for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
          if ((r + c) % 2 == 0) p.drawRect(QRectF(7.5 + c * 4.5, 7.5 + r * 4.5, 3.5, 3.5));
      break;
    }
    case IconKind::Controllers: {  // a row of ports, each with its flag lamp
      p.setPen(ink);
      p.setBrush(kPaper);
      p.drawRoundedRect(QRectF(3, 9, 26, 16), 2, 2);
      for (int i = 0; i < 3; ++i) {
        const double x = 7 + i * 7.5;
        p.setPen(QPen(kInk, 2));
        p.drawLine(QPointF(x + 1.5, 3), QPointF(x + 1.5, 9));
        p.setPen(QPen(kInk, 1));
        p.setBrush(i == 1 ? kGreen : kBlue);
        p.drawRect(QRectF(x, 14, 4, 6));
      }
      break;
    }
    case IconKind::Minimize: {
      p.setPen(ink);
      p.setBrush(kPaper);
      p.drawRect(QRectF(4, 5, 24, 18));
      p.setPen(QPen(kInk, 3));
      p.drawLine(QPointF(9, 27), QPointF(23, 27));
      break;
    }
    case IconKind::Start: {
      QPainterPath tri;
      tri.moveTo(9, 5);
      tri.lineTo(27, 16);
      tri.lineTo(9, 27);
      tri.closeSubpath();
      p.setPen(QPen(kInk, 1.5));
      p.setBrush(kGreen);
      p.drawPath(tri);
      break;
    }
    case IconKind::Stop: {
      p.setPen(QPen(kInk, 1.5));
      p.setBrush(kRed);
      p.drawRoundedRect(QRectF(7, 7, 18, 18), 2, 2);
      break;
    }
    case IconKind::Step: {  // one step: an arrow to a bar
      p.setPen(QPen(kBlue, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.drawLine(QPointF(5, 16), QPointF(20, 16));
      p.drawLine(QPointF(14, 10), QPointF(20, 16));
      p.drawLine(QPointF(14, 22), QPointF(20, 16));
      p.setPen(QPen(kInk, 3));
      p.drawLine(QPointF(26, 7), QPointF(26, 25));
      break;
    }
    case IconKind::Continue: {  // play with a bar behind it
      p.setPen(QPen(kInk, 3));
      p.drawLine(QPointF(6, 7), QPointF(6, 25));
      QPainterPath tri;
      tri.moveTo(11, 6);
      tri.lineTo(27, 16);
      tri.lineTo(11, 26);
      tri.closeSubpath();
      p.setPen(QPen(kInk, 1.5));
      p.setBrush(kGreen.lighter(115));
      p.drawPath(tri);
      break;
    }
    case IconKind::FastStart:
    case IconKind::FastContinue: {  // two plays one behind the other; continuing has the bar
      const bool resume = kind == IconKind::FastContinue;
      if (resume) {
        p.setPen(QPen(kInk, 3));
        p.drawLine(QPointF(4, 7), QPointF(4, 25));
      }
      const double left = resume ? 8 : 4;
      const double width = resume ? 11.5 : 13;
      p.setPen(QPen(kInk, 1.5));
      for (int i = 0; i < 2; ++i) {
        const double x = left + i * width;
        QPainterPath tri;
        tri.moveTo(x, 6);
        tri.lineTo(x + width + 1, 16);
        tri.lineTo(x, 26);
        tri.closeSubpath();
        p.setBrush(resume ? kGreen.lighter(115) : kGreen);
        p.drawPath(tri);
      }
      break;
    }
    case IconKind::Interrupt: {  // a lightning bolt
      QPainterPath bolt;
      bolt.moveTo(19, 2);
      bolt.lineTo(7, 18);
      bolt.lineTo(15, 18);
      bolt.lineTo(12, 30);
      bolt.lineTo(25, 13);
      bolt.lineTo(17, 13);
      bolt.closeSubpath();
      p.setPen(QPen(kInk, 1.5));
      p.setBrush(kAmber);
      p.drawPath(bolt);
      break;
    }
    case IconKind::StepBack: {  // one step back: a bar, and an arrow leaving it to the left
      p.setPen(QPen(kInk, 3));
      p.drawLine(QPointF(26, 7), QPointF(26, 25));
      p.setPen(QPen(kAmber.darker(115), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.drawLine(QPointF(21, 16), QPointF(6, 16));
      p.drawLine(QPointF(12, 10), QPointF(6, 16));
      p.drawLine(QPointF(12, 22), QPointF(6, 16));
      break;
    }
    case IconKind::BackToBreakpoint: {  // back to a red dot
      p.setPen(QPen(kInk, 1.2));
      p.setBrush(kRed);
      p.drawEllipse(QPointF(8, 16), 5, 5);
      QPainterPath tri;  // a play sign turned back
      tri.moveTo(29, 7);
      tri.lineTo(15, 16);
      tri.lineTo(29, 25);
      tri.closeSubpath();
      p.setPen(QPen(kInk, 1.5));
      p.setBrush(kAmber);
      p.drawPath(tri);
      break;
    }
    case IconKind::Program: {  // a chip with the letter В
      p.setPen(Qt::NoPen);
      p.setBrush(kBlue);
      p.drawRoundedRect(QRectF(2, 2, 28, 28), 6, 6);
      p.setPen(QPen(Qt::white, 1.5));
      for (int i = 0; i < 3; ++i) {
        const double c = 10 + i * 6;
        p.drawLine(QPointF(c, 2), QPointF(c, 6));
        p.drawLine(QPointF(c, 26), QPointF(c, 30));
      }
      QFont f;
      f.setBold(true);
      f.setPixelSize(17);
      p.setFont(f);
      p.setPen(Qt::white);
      p.drawText(QRectF(2, 2, 28, 28), Qt::AlignCenter, QStringLiteral("В"));
      break;
    }
  }
}

QPixmap Render(IconKind kind, int size) {
  QPixmap pm(size, size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.scale(size / 32.0, size / 32.0);
  Draw(p, kind);
  return pm;
}

}  // namespace

QIcon MakeIcon(IconKind kind) {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64}) icon.addPixmap(Render(kind, size));
  return icon;
}

}  // namespace vesk
