// A read-only display field for one register text. Setting the same text
// again costs a compare; a new text only schedules a repaint of this field,
// so a register can change thousands of times a second. The text can be
// copied from the field's context menu.
#pragma once

#include <QString>
#include <QWidget>

class QLabel;

namespace vesk {

class ValueField : public QWidget {
  Q_OBJECT

 public:
  // characters: how many characters of the value font the field is sized for.
  explicit ValueField(int characters, QWidget* parent = nullptr);

  void setText(const QString& text);
  const QString& text() const { return text_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  QString text_;
  int characters_;
};

// The small right-aligned caption in front of a field ("Hex", "Bin", ...).
QLabel* FieldCaption(const QString& text, QWidget* parent);

}  // namespace vesk
