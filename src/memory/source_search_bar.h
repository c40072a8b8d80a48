// The search row of the source windows: "Найти" searches the text forwards
// or backwards from the cursor, round past its end, and "Строка" goes to a
// line. Hidden until asked for (Ctrl+F, Ctrl+G); Escape hides it and gives
// the editor the focus back.
#pragma once

#include <QWidget>

class QCheckBox;
class QLineEdit;
class QSpinBox;

namespace vesk {

class SourceEditor;

class SourceSearchBar final : public QWidget {
  Q_OBJECT

 public:
  SourceSearchBar(SourceEditor* editor, QWidget* parent);

  // Shows the row with the search text selected for typing over; a
  // selection within one line of the editor becomes the search text.
  void showFind();
  // Shows the row with the line number selected, the cursor's line in it.
  void showGoToLine();
  // Selects the next (previous) occurrence after (before) the selection or
  // the cursor, going round the text; false when there is none.
  bool findNext();
  bool findPrevious();
  // Goes to the line in the box.
  void goToLine();

  QLineEdit* findField() const { return find_; }
  QCheckBox* caseBox() const { return case_; }
  QSpinBox* lineBox() const { return line_; }
  // What the last search said ("Не найдено: ...", where it went round, or nothing).
  const QString& note() const { return note_; }

 signals:
  // The window shows what the search says in its status row.
  void noted(const QString& text);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool find(bool forward);
  void setNote(const QString& text);

  SourceEditor* editor_;
  QLineEdit* find_;
  QCheckBox* case_;
  QSpinBox* line_;
  QString note_;
};

}  // namespace vesk
