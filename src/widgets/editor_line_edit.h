// A text field of an editing row: Escape empties it (and writes nothing).
#pragma once

#include <QLineEdit>

namespace vesk {

class EditorLineEdit : public QLineEdit {
  Q_OBJECT

 public:
  using QLineEdit::QLineEdit;

 signals:
  void escapePressed();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace vesk
