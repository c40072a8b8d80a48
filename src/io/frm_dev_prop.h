// The device dialog: which device stands behind one controller. "Свойства" in
// the controllers window opens it, without blocking, for the selected row;
// "Ok" attaches the chosen device (the row's "Устройство" column takes its
// name), " - " detaches; "Close" hides the dialog, which keeps its state.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QPushButton>

namespace vesk {

class Controllers;

class frmDevProp : public QDialog {
  Q_OBJECT

 public:
  explicit frmDevProp(Controllers& controllers, QWidget* parent = nullptr);

  // Opens the dialog for a controller row (0..255); nothing happens for -1
  // (no selected row) or a row that does not exist.
  void Open(int row);
  // The row the dialog was opened for, or -1.
  int C_ITM() const { return row_; }

  // The width a window needs for `title` in its title bar, with the
  // icon and buttons beside it.
  static int TitleWidth(const QWidget& window, const QString& title);

  QComboBox* selector() { return selector_; }
  QPushButton* okButton() { return ok_; }
  QPushButton* closeButton() { return close_; }

 signals:
  // "Ok" wrote `device` into the row.
  void deviceAttached(int row, const QString& device);

 private:
  void apply();

  Controllers& controllers_;
  int row_ = -1;
  QComboBox* selector_;
  QPushButton* ok_;
  QPushButton* close_;
};

}  // namespace vesk
