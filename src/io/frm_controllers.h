// The controllers window ("Контроллеры внешних устройств"): the 256 I/O
// controllers in list order, the editing row (address, flag, data register,
// display mode, comment) and the context menu "Свойства".
#pragma once

#include <QMenu>
#include <QTableView>

#include "widgets/editing_row.h"
#include "widgets/machine_window.h"

namespace vesk {

class Controllers;
class ControllersTableModel;

class frmControllers : public MachineWindow {
  Q_OBJECT

 public:
  frmControllers(Controllers& controllers, std::string settingsFile, Dialogs* dialogs = nullptr,
                 QWidget* parent = nullptr);

  Controllers& controllers() { return controllers_; }

  QTableView* list() { return list_; }
  ControllersTableModel* model() { return model_; }
  EditingRow* editor() { return editor_; }
  EditorLineEdit* addressField() { return editor_->addressField(); }
  QCheckBox* flagBox() { return editor_->flagBox(); }
  EditorLineEdit* valueField() { return editor_->valueField(); }
  QComboBox* modeSelector() { return editor_->modeSelector(); }
  EditorLineEdit* commentField() { return editor_->commentField(); }
  EditorStatus* status() { return editor_->status(); }
  QMenu* contextMenu() { return menu_; }

  // The list row (0..255) shown selected, or -1.
  int selectedRow() const;

 public slots:
  // What a click on a list row does.
  void selectRow(int row);
  void commitEditor();
  // The flag box was ticked or cleared by the user.
  void applyFlag(bool set);

 signals:
  // "Свойства" for the selected row: the device dialog opens for it.
  void propertiesRequested(int row);

 private:
  void loadEditor(int row);

  Controllers& controllers_;
  ControllersTableModel* model_;
  QTableView* list_;
  EditingRow* editor_;
  QMenu* menu_;
};

}  // namespace vesk
