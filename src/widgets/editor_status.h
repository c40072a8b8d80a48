// The line under an editing row that says why a value was refused, or what a
// write did that the user might not expect. Empty most of the time.
#pragma once

#include <QLabel>

namespace vesk {

class EditorStatus : public QLabel {
  Q_OBJECT

 public:
  explicit EditorStatus(QWidget* parent = nullptr);

  void showError(const QString& text);
  void showNote(const QString& text);
  void clearMessage();
  bool isError() const { return error_; }

 private:
  bool error_ = false;
};

}  // namespace vesk
