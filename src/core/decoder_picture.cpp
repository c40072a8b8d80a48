#include "core/decoder_picture.h"

#include <QPainter>
#include <QPainterPath>
#include <array>

namespace vesk {

namespace {

struct FieldLine {
  const char* bits;     // field of the vertical word
  const char* lines;  // horizontal lines it drives
  const char* meaning;
};

struct Decoder {
  const char* title;
  const char* select;  // value of bits 15..14 that chooses it
  QColor color;
  std::array<FieldLine, 6> fields;
};

const Decoder kDecoders[] = {
    {"Управляющая МК", "15 = 1", QColor(0xE8, 0xD5, 0xF5),
     {{{"14", "24", "сравнить с"},
      {"13-12", "25-28", "регистр"},
      {"11-8", "0-15", "разряд"},
      {"7-0", "16-23", "адрес"},
      {"", "31 = 1", ""}}}},
    {"Операционная, гр. 0", "15-14 = 00", QColor(0xD6, 0xE8, 0xFA),
     {{{"13-12", "4, 5, 6", "левый вход"},
      {"9-8", "1, 2, 3", "правый вход"},
      {"7-6", "7, 8", "инверсия"},
      {"5-4", "9, 10", "операция"},
      {"3-2", "11, 12", "сдвиг"},
      {"1-0", "23, 24", "память"}}}},
    {"Операционная, гр. 1", "15-14 = 01", QColor(0xDD, 0xF1, 0xD5),
     {{{"11-8", "28-25", "прерыв., ВУ"},
      {"7-6", "13, 16, 17", "перенос С"},
      {"5, 4", "14, 15", "N, Z"},
      {"3", "0", "HLT"},
      {"2-0", "18-22", "БР в ..."}}}},
};

void Arrow(QPainter& p, QPointF from, QPointF to) {
  p.drawLine(from, to);
  QPainterPath head;
  head.moveTo(to);
  head.lineTo(to + QPointF(-4, -7));
  head.lineTo(to + QPointF(4, -7));
  head.closeSubpath();
  p.fillPath(head, p.pen().color());
}

}  // namespace

DecoderPicture::DecoderPicture(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setToolTip(QStringLiteral("Разряды 15 и 14 вертикальной микрокоманды выбирают дешифратор; "
                            "каждое поле выбранного формата включает свои управляющие линии"));
}

void DecoderPicture::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.fillRect(rect(), QColor(0xFB, 0xFB, 0xF8));
  const QColor ink(0x33, 0x33, 0x33);
  QFont normal = font();
  normal.setPointSizeF(normal.pointSizeF() * 0.85);
  QFont bold = normal;
  bold.setBold(true);
  const QFontMetrics fm(normal);
  const int lineH = fm.height();

  // The vertical word in РМК: 16 cells, bit 15 on the left.
  const int cell = 22;
  const int wordLeft = (width() - 16 * cell) / 2;
  const int wordTop = 6;
  p.setFont(bold);
  p.setPen(ink);
  p.drawText(QRect(0, wordTop, wordLeft - 8, cell), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("РМК"));
  p.setFont(normal);
  for (int i = 0; i < 16; ++i) {
    const QRect c(wordLeft + i * cell, wordTop, cell, cell);
    p.fillRect(c, i < 2 ? QColor(0xFF, 0xE0, 0xB2) : QColor(Qt::white));
    p.drawRect(c);
    p.drawText(c, Qt::AlignCenter, QString::number(15 - i));
  }
  p.drawText(QRect(wordLeft + 16 * cell + 8, wordTop, 140, cell), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("вертикальная МК"));

  // Three decoders side by side.
  const int gap = 10;
  const int boxW = (width() - 4 * gap) / 3;
  const int boxTop = wordTop + cell + 26;
  const int rows = 6;
  const int boxH = 2 * lineH + 8 + rows * lineH + 6;
  const int busTop = boxTop + boxH + 24;
  for (int d = 0; d < 3; ++d) {
    const Decoder& dec = kDecoders[d];
    const int left = gap + d * (boxW + gap);
    const QRect box(left, boxTop, boxW, boxH);
    p.setPen(QPen(ink, 1.2));
    Arrow(p, QPointF(wordLeft + 16 * cell / 2.0, wordTop + cell), QPointF(box.center().x(), boxTop - 1));
    p.setBrush(dec.color);
    p.drawRoundedRect(box, 5, 5);
    p.setBrush(Qt::NoBrush);
    p.setFont(bold);
    p.drawText(QRect(left, boxTop + 3, boxW, lineH), Qt::AlignHCenter, QString::fromUtf8(dec.title));
    p.setFont(normal);
    p.drawText(QRect(left, boxTop + 3 + lineH, boxW, lineH), Qt::AlignHCenter, QString::fromUtf8(dec.select));
    int y = boxTop + 2 * lineH + 8;
    const int bitsW = fm.horizontalAdvance(QStringLiteral("13-12")) + 6;
    const int sigW = QFontMetrics(bold).horizontalAdvance(QStringLiteral("13, 16, 17")) + 8;
    for (const FieldLine& f : dec.fields) {
      if (f.bits == nullptr) break;
      p.drawText(QRect(left + 6, y, bitsW, lineH), Qt::AlignRight | Qt::AlignVCenter, QString::fromUtf8(f.bits));
      if (*f.bits != '\0') p.drawText(QRect(left + 6 + bitsW, y, 14, lineH), Qt::AlignCenter, QStringLiteral("→"));
      p.setFont(bold);
      p.drawText(QRect(left + 22 + bitsW, y, sigW, lineH), Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(f.lines));
      p.setFont(normal);
      p.setPen(QColor(0x55, 0x55, 0x55));
      p.drawText(QRect(left + 22 + bitsW + sigW, y, boxW - (28 + bitsW + sigW), lineH), Qt::AlignLeft | Qt::AlignVCenter,
                 fm.elidedText(QString::fromUtf8(f.meaning), Qt::ElideRight, boxW - (28 + bitsW + sigW)));
      p.setPen(ink);
      y += lineH;
    }
    Arrow(p, QPointF(box.center().x(), boxTop + boxH), QPointF(box.center().x(), busTop - 1));
  }

  // The horizontal word: 32 lines to the lamps and the executor.
  const QRect bus(gap, busTop, width() - 2 * gap, lineH + 10);
  p.setBrush(QColor(0xFF, 0xF4, 0xC2));
  p.drawRoundedRect(bus, 5, 5);
  p.setFont(bold);
  p.drawText(bus, Qt::AlignCenter, QStringLiteral("горизонтальная МК: 32 линии → лампы 0-28"));
}

}  // namespace vesk
