#include "widgets/dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace vesk {

namespace {

QMessageBox::Icon BoxIcon(Dialogs::Icon icon) {
  switch (icon) {
    case Dialogs::Icon::Question:
      return QMessageBox::Question;
    case Dialogs::Icon::Warning:
      return QMessageBox::Warning;
    case Dialogs::Icon::Information:
      return QMessageBox::Information;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

QString QtDialogs::openFile(QWidget* parent, const QString& title, const QString& filter, const QString& folder) {
  return QFileDialog::getOpenFileName(parent, title, folder, filter);
}

QString QtDialogs::saveFile(QWidget* parent, const QString& title, const QString& filter, const QString& folder) {
  return QFileDialog::getSaveFileName(parent, title, folder, filter, nullptr, QFileDialog::DontConfirmOverwrite);
}

bool QtDialogs::askYesNo(QWidget* parent, const QString& title, const QString& text, Icon icon) {
  QMessageBox box(BoxIcon(icon), title, text, QMessageBox::Yes | QMessageBox::No, parent);
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

void QtDialogs::tell(QWidget* parent, const QString& title, const QString& text, Icon icon) {
  QMessageBox box(BoxIcon(icon), title, text, QMessageBox::Ok, parent);
  box.exec();
}

Dialogs& StandardDialogs() {
  static QtDialogs dialogs;
  return dialogs;
}

}  // namespace vesk
