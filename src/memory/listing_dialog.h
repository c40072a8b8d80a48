// "Листинг": each source line beside the address and word it made, shown in
// a window and saved as a text file (UTF-8).
#pragma once

#include <QDialog>
#include <QString>
#include <string>

#include "widgets/file_folders.h"

class QPlainTextEdit;

namespace vesk {

class Dialogs;

class ListingDialog final : public QDialog {
  Q_OBJECT

 public:
  // folders: where the save dialog starts (the folder of kind), or nullptr.
  ListingDialog(const QString& title, Dialogs& dialogs, FileFolders* folders, FileFolders::Kind kind, QWidget* parent);

  // text: UTF-8, as it will be saved.
  void setListing(std::string text);
  const std::string& listing() const { return listing_; }
  // Asks for a file (and before overwriting one) and saves; false when
  // nothing was saved.
  bool Save();

 private:
  Dialogs& dialogs_;
  FileFolders* folders_;
  FileFolders::Kind kind_;
  QPlainTextEdit* text_;
  std::string listing_;
};

}  // namespace vesk
