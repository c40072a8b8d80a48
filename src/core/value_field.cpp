#include "core/value_field.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QStyleOptionFrame>

#include "widgets/table_look.h"

namespace vesk {

namespace {
constexpr int kPadding = 5;
}

ValueField::ValueField(int characters, QWidget* parent) : QWidget(parent), characters_(characters) {
  setFont(ValueFont());
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void ValueField::setText(const QString& text) {
  if (text == text_) return;
  text_ = text;
  update();
}

QSize ValueField::sizeHint() const {
  const QFontMetrics fm(font());
  return {fm.horizontalAdvance(QString(characters_, QChar('0'))) + 2 * kPadding + 2, fm.height() + 8};
}

void ValueField::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QStyleOptionFrame frame;
  frame.initFrom(this);
  frame.rect = rect();
  frame.lineWidth = 1;
  frame.state |= QStyle::State_Sunken | QStyle::State_ReadOnly;
  p.fillRect(rect(), palette().color(QPalette::Base));
  style()->drawPrimitive(QStyle::PE_FrameLineEdit, &frame, &p, this);
  p.setPen(palette().color(QPalette::Text));
  p.drawText(rect().adjusted(kPadding, 0, -kPadding, 0), Qt::AlignVCenter | Qt::AlignLeft, text_);
}

QLabel* FieldCaption(const QString& text, QWidget* parent) {
  auto* l = new QLabel(text, parent);
  l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  l->setMinimumWidth(l->fontMetrics().horizontalAdvance(QStringLiteral("Hex")) + 2);
  return l;
}

void ValueField::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  QAction* copy = menu.addAction(QStringLiteral("Копировать"));
  if (menu.exec(event->globalPos()) == copy) QApplication::clipboard()->setText(text_);
}

}  // namespace vesk
