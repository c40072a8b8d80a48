// The controllers window ("Контроллеры внешних устройств"): the 256 I/O
// controllers in list order, the editing row (address, flag, data register,
// display mode, comment) and the context menu "Свойства".
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QTableView>

#include "app/editor_line_edit.h"
#include "app/editor_status.h"
#include "app/machine_window.h"

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
  EditorLineEdit* addressField() { return address_; }
  QCheckBox* flagBox() { return flag_; }
  EditorLineEdit* valueField() { return value_; }
  QComboBox* modeSelector() { return mode_; }
  EditorLineEdit* commentField() { return comment_; }
  EditorStatus* status() { return status_; }
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
  void buildEditingRow();
  void loadEditor(int row);

  Controllers& controllers_;
  ControllersTableModel* model_;
  QTableView* list_;
  EditorLineEdit* address_;
  QCheckBox* flag_;
  EditorLineEdit* value_;
  QComboBox* mode_;
  EditorLineEdit* comment_;
  EditorStatus* status_;
  QMenu* menu_;
};

}  // namespace vesk
