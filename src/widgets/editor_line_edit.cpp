#include "widgets/editor_line_edit.h"

#include <QKeyEvent>

namespace vesk {

void EditorLineEdit::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    clear();
    emit escapePressed();
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

}  // namespace vesk
