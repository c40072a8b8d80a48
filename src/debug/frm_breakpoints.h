// The breakpoints window ("Точки останова"): every breakpoint and watchpoint
// with its kind, address and the comment of its row; a new one by kind and
// address; enable or disable, remove, remove all. A double click asks for
// the row in its own window.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <functional>

#include "debug/breakpoints.h"
#include "widgets/machine_window.h"

namespace vesk {

class BreakpointsTableModel;

class frmBreakpoints : public MachineWindow {
  Q_OBJECT

 public:
  frmBreakpoints(Breakpoints& breakpoints, std::function<QString(BreakKind, int)> comment, std::string settingsFile,
                 Dialogs* dialogs = nullptr, QWidget* parent = nullptr);

  QTableView* list() { return list_; }
  BreakpointsTableModel* model() { return model_; }
  QComboBox* kindSelector() { return kind_; }
  QLineEdit* addressField() { return address_; }
  QPushButton* addButton() { return add_; }
  QPushButton* toggleButton() { return toggle_; }
  QPushButton* removeButton() { return remove_; }
  QPushButton* removeAllButton() { return removeAll_; }
  QLabel* note() { return note_; }

 public slots:
  // The kind and address fields as a new breakpoint (enabled).
  void addFromFields();
  // On the selected row.
  void toggleSelected();
  void removeSelected();
  void removeAll();

 signals:
  // A double click: show this row in the memory, micro-memory or
  // controllers window.
  void showRequested(BreakKind kind, int address);

 protected:
  void onOpen() override;

 private:
  int selectedRow() const;
  void syncButtons();

  Breakpoints& breakpoints_;
  BreakpointsTableModel* model_;
  QTableView* list_;
  QComboBox* kind_;
  QLineEdit* address_;
  QPushButton* add_;
  QPushButton* toggle_;
  QPushButton* remove_;
  QPushButton* removeAll_;
  QLabel* note_;
};

}  // namespace vesk
