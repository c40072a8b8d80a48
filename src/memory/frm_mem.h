// The memory window ("Память"): the 2048 words of main memory in a list, and
// under it the editing row (address, value, display mode, comment, "go on to
// the next row").
#pragma once

#include <QTableView>

#include "widgets/editing_row.h"
#include "widgets/machine_window.h"

namespace vesk {

class MainMemory;
class MemoryTableModel;

class frmMem : public MachineWindow {
  Q_OBJECT

 public:
  // Creating the window clears the memory (Mem_Clear).
  frmMem(MainMemory& memory, std::string settingsFile, Dialogs* dialogs = nullptr, QWidget* parent = nullptr);

  MainMemory& memory() { return memory_; }

  QTableView* list() { return list_; }
  MemoryTableModel* model() { return model_; }
  EditingRow* editor() { return editor_; }
  EditorLineEdit* addressField() { return editor_->addressField(); }
  EditorLineEdit* valueField() { return editor_->valueField(); }
  QComboBox* modeSelector() { return editor_->modeSelector(); }
  EditorLineEdit* commentField() { return editor_->commentField(); }
  QCheckBox* nextRowBox() { return editor_->nextRowBox(); }
  EditorStatus* status() { return editor_->status(); }

  // The row the list shows selected, or -1.
  int selectedRow() const;

 public slots:
  // What a click on the row of `address` does: selects it and loads the editor.
  void selectRow(int address);
  // Enter in the value or comment field.
  void commitEditor();
  // The main window's "Обнулить память", "Загрузить дамп", "Сохранить дамп"
  // with this window's dialogs (see memory/dump_dialogs.h).
  bool ClearMemory();
  bool LoadDump();
  bool SaveDump();

 private:
  void loadEditor(int address);
  void showOwnerSelection(int address);

  MainMemory& memory_;
  MemoryTableModel* model_;
  QTableView* list_;
  EditingRow* editor_;
};

}  // namespace vesk
