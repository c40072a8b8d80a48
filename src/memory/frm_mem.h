// The memory window ("Память"): the 2048 words of main memory in a list, and
// under it the editing row (address, value, display mode, comment, "go on to
// the next row").
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QTableView>

#include "app/editor_line_edit.h"
#include "app/editor_status.h"
#include "app/machine_window.h"

namespace vesk {

class MainMemory;
class MemoryTableModel;

class frmMem : public MachineWindow {
  Q_OBJECT

 public:
  // Creating the window clears the memory (Mem_Clear).
  frmMem(MainMemory& memory, std::string settingsFile, Dialogs* dialogs = nullptr, QWidget* parent = nullptr);

  MainMemory& memory() { return memory_; }

  // The widgets, for the main window and tests.
  QTableView* list() { return list_; }
  MemoryTableModel* model() { return model_; }
  EditorLineEdit* addressField() { return address_; }
  EditorLineEdit* valueField() { return value_; }
  QComboBox* modeSelector() { return mode_; }
  EditorLineEdit* commentField() { return comment_; }
  QCheckBox* nextRowBox() { return nextRow_; }
  EditorStatus* status() { return status_; }

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
  void buildEditingRow();
  void loadEditor(int address);
  void showOwnerSelection(int address);

  MainMemory& memory_;
  MemoryTableModel* model_;
  QTableView* list_;
  EditorLineEdit* address_;
  EditorLineEdit* value_;
  QComboBox* mode_;
  EditorLineEdit* comment_;
  QCheckBox* nextRow_;
  EditorStatus* status_;
};

}  // namespace vesk
