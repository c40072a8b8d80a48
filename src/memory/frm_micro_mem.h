// The micro-memory window ("Микропрограмма"): the 255 micro-commands in
// vertical and horizontal form, the editing row, and the context menu that
// loads and saves micro-programs.
#pragma once

#include <QMenu>
#include <QTableView>

#include "widgets/editing_row.h"
#include "widgets/machine_window.h"

namespace vesk {

class MicroMemory;
class MicroMemoryTableModel;

class frmMicroMem : public MachineWindow {
  Q_OBJECT

 public:
  frmMicroMem(MicroMemory& memory, std::string settingsFile, Dialogs* dialogs = nullptr, QWidget* parent = nullptr);

  MicroMemory& memory() { return memory_; }

  // Where a relative [General] Microprogram path starts; by default the
  // folder of the executable.
  void setProgramDirectory(const QString& dir) { programDir_ = dir; }
  QString programDirectory() const;

  QTableView* list() { return list_; }
  MicroMemoryTableModel* model() { return model_; }
  EditingRow* editor() { return editor_; }
  EditorLineEdit* addressField() { return editor_->addressField(); }
  EditorLineEdit* valueField() { return editor_->valueField(); }
  QComboBox* modeSelector() { return editor_->modeSelector(); }
  EditorLineEdit* commentField() { return editor_->commentField(); }
  QCheckBox* nextRowBox() { return editor_->nextRowBox(); }
  EditorStatus* status() { return editor_->status(); }
  // "Загрузить микропрограмму по-умолчанию", separator,
  // "Загрузить микропрограмму...", "Сохранить микропрограмму...".
  QMenu* contextMenu() { return menu_; }

  // The address (01..FF) of the row the list shows selected, or -1.
  int selectedAddress() const;

 public slots:
  void selectAddress(int address);
  void commitEditor();
  // The context menu's commands; the main window runs LoadDefault at start-up.
  // Each returns true when it loaded or saved a file.
  bool LoadDefault();
  bool LoadWithDialog();
  bool SaveWithDialog();

 private:
  void buildContextMenu();
  void loadEditor(int address);
  void showOwnerSelection(int address);
  bool loadFile(const QString& path, const QString& title);

  MicroMemory& memory_;
  MicroMemoryTableModel* model_;
  QTableView* list_;
  EditingRow* editor_;
  QMenu* menu_;
  QString programDir_;
};

}  // namespace vesk
