// Base of the machine's child windows: each shows one owner object, restores
// its position under its layout name when it opens (first shown) and saves
// its layout when it closes. Works standalone and as the content of a
// QMdiSubWindow (then the sub-window is what moves and what is measured).
#pragma once

#include <QWidget>
#include <string>

namespace vesk {

class Dialogs;
class FileFolders;

class MachineWindow : public QWidget {
  Q_OBJECT

 public:
  // settingsFile: path of cfg.ini; layoutName: "Processor", "Mem", ...
  // dialogs: nullptr for the real file dialogs and message boxes.
  MachineWindow(std::string settingsFile, std::string layoutName, Dialogs* dialogs, QWidget* parent);

  const std::string& settingsFile() const { return settingsFile_; }
  const std::string& layoutName() const { return layoutName_; }
  bool isOpened() const { return opened_; }

  // Opening happens on the first show; a caller may open a window earlier.
  void open();
  // Saves the layout (only in the normal state). Closing the window does this.
  void saveLayout();

  // The window that moves on the screen: the QMdiSubWindow holding this one,
  // or this window itself.
  QWidget* frameWindow();

  // Where this window's file dialogs start (nullptr: the current folder).
  void setFileFolders(FileFolders* folders) { folders_ = folders; }
  FileFolders* fileFolders() const { return folders_; }

 protected:
  // What opening does after the layout is restored.
  virtual void onOpen() {}
  Dialogs& dialogs() { return *dialogs_; }

  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  std::string settingsFile_;
  std::string layoutName_;
  Dialogs* dialogs_;
  FileFolders* folders_ = nullptr;
  bool opened_ = false;
};

}  // namespace vesk
