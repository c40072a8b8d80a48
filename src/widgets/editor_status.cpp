#include "widgets/editor_status.h"

namespace vesk {

EditorStatus::EditorStatus(QWidget* parent) : QLabel(parent) {
  setTextFormat(Qt::PlainText);
  setWordWrap(true);
  setContentsMargins(4, 0, 4, 0);
  // Keep the row's height when empty, so the window does not jump.
  setMinimumHeight(fontMetrics().height() + 2);
}

void EditorStatus::showError(const QString& text) {
  error_ = true;
  setStyleSheet(QStringLiteral("color: #b00020; font-weight: bold;"));
  setText(text);
}

void EditorStatus::showNote(const QString& text) {
  error_ = false;
  setStyleSheet(QStringLiteral("color: #505050;"));
  setText(text);
}

void EditorStatus::clearMessage() {
  error_ = false;
  clear();
}

}  // namespace vesk
