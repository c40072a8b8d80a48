#include "widgets/machine_window.h"

#include <QCloseEvent>
#include <QMdiSubWindow>

#include "widgets/dialogs.h"
#include "widgets/window_layout.h"

namespace vesk {

MachineWindow::MachineWindow(std::string settingsFile, std::string layoutName, Dialogs* dialogs, QWidget* parent)
    : QWidget(parent),
      settingsFile_(std::move(settingsFile)),
      layoutName_(std::move(layoutName)),
      dialogs_(dialogs != nullptr ? dialogs : &StandardDialogs()) {}

QWidget* MachineWindow::frameWindow() {
  if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) return sub;
  return this;
}

void MachineWindow::open() {
  if (opened_) return;
  opened_ = true;
  RestoreLayout(*frameWindow(), settingsFile_, layoutName_);
  onOpen();
}

void MachineWindow::saveLayout() { SaveLayout(*frameWindow(), settingsFile_, layoutName_); }

void MachineWindow::showEvent(QShowEvent* event) {
  open();
  QWidget::showEvent(event);
}

void MachineWindow::closeEvent(QCloseEvent* event) {
  if (opened_) saveLayout();
  QWidget::closeEvent(event);
}

}  // namespace vesk
