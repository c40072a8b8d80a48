// The file dialogs and message boxes the windows show, behind one small
// interface so that tests can pick a file, cancel, or answer Yes/No.
#pragma once

#include <QString>

class QWidget;

namespace vesk {

class Dialogs {
 public:
  enum class Icon { Question, Warning, Information };

  virtual ~Dialogs() = default;
  // The chosen path, or an empty text when the user cancels. `filter` is in
  // Qt's form: "Дамп Vesk (*.vdmp);;Все файлы (*.*)". The dialog starts in
  // `folder`, or in the current folder when it is empty.
  virtual QString openFile(QWidget* parent, const QString& title, const QString& filter, const QString& folder) = 0;
  // As openFile; never asks about overwriting (the callers ask themselves).
  virtual QString saveFile(QWidget* parent, const QString& title, const QString& filter, const QString& folder) = 0;
  // A Yes/No box; true for Yes.
  virtual bool askYesNo(QWidget* parent, const QString& title, const QString& text, Icon icon) = 0;
  // A box with an OK button.
  virtual void tell(QWidget* parent, const QString& title, const QString& text, Icon icon) = 0;
};

// QFileDialog and QMessageBox.
class QtDialogs final : public Dialogs {
 public:
  QString openFile(QWidget* parent, const QString& title, const QString& filter, const QString& folder) override;
  QString saveFile(QWidget* parent, const QString& title, const QString& filter, const QString& folder) override;
  bool askYesNo(QWidget* parent, const QString& title, const QString& text, Icon icon) override;
  void tell(QWidget* parent, const QString& title, const QString& text, Icon icon) override;
};

// The real dialogs, for windows that were given none. It holds no state.
Dialogs& StandardDialogs();

}  // namespace vesk
