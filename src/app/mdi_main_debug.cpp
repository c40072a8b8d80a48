// The main window's debugger parts: the breakpoints window, the markers of
// the memory, micro-memory and controllers lists, and their commands.
#include <QMdiSubWindow>
#include <QMenu>

#include "app/machine.h"
#include "app/main_toolstrip.h"
#include "app/mdi_main.h"
#include "app/turbo_driver.h"
#include "debug/breakpoint_markers.h"
#include "debug/frm_breakpoints.h"
#include "debug/step_highlights.h"
#include "app/run_driver.h"
#include "format/bit_string.h"
#include "format/number_text.h"
#include "io/frm_controllers.h"
#include "memory/frm_mem.h"
#include "memory/frm_micro_mem.h"

namespace vesk {

void MDIMain::createDebugWindows() {
  Machine& m = machine_;
  // Its depth comes with the trace limits (app/trace_limits).
  m.history.SetEnabled(true);
  auto comment = [&m](BreakKind kind, int address) -> QString {
    switch (kind) {
      case BreakKind::Command:
      case BreakKind::MemoryWrite: return QString::fromStdString(m.memory.Comment(address));
      case BreakKind::Micro: return QString::fromStdString(m.microMemory.Comment(address));
      case BreakKind::Controller: return QString::fromStdString(m.controllers.Comment(Controllers::RowOfAddress(address)));
    }
    return {};
  };
  // Framed in the area when first shown.
  breakpoints_ = new frmBreakpoints(m.breakpoints, comment, settings_.path, dialogs_, this);
  breakpoints_->hide();
  connect(breakpoints_, &frmBreakpoints::showRequested, this, &MDIMain::showBreakpointRow);

  auto same = [](int v) { return v; };
  BreakpointMarkers::Kinds memory;
  memory.breakKind = BreakKind::Command;
  memory.watchKind = BreakKind::MemoryWrite;
  memory.breakText = QStringLiteral("Точка останова");
  memory.watchText = QStringLiteral("Остановить после записи в ячейку");
  memory.addressOfRow = same;
  memory.rowOfAddress = same;
  memory.arrowRegister = Reg::CommandCounter;
  memory.arrowRow = [](const Processor& cpu) { return static_cast<int>(BitsValue(cpu.Reg_Get_CommandCounter()) & 0x7FF); };
  memoryMarkers_ = new BreakpointMarkers(*memory_->list(), m.breakpoints, m.processor, memory, nullptr, this);

  BreakpointMarkers::Kinds micro;
  micro.breakKind = BreakKind::Micro;
  micro.breakText = QStringLiteral("Точка останова");
  micro.addressOfRow = [](int row) { return row + 1; };
  micro.rowOfAddress = [](int address) { return address - 1; };
  micro.arrowRegister = Reg::MicroCounter;
  micro.arrowRow = [](const Processor& cpu) {
    const auto address = ParseHexBelow(cpu.Micro_Reg_Get_CommandCounter(), 256);
    return address && *address > 0 ? *address - 1 : -1;
  };
  microMarkers_ =
      new BreakpointMarkers(*microMemory_->list(), m.breakpoints, m.processor, micro, microMemory_->contextMenu(), this);

  BreakpointMarkers::Kinds io;
  io.watchKind = BreakKind::Controller;
  io.watchText = QStringLiteral("Остановить при изменении флага или данных");
  io.addressOfRow = &Controllers::AddressOfRow;
  io.rowOfAddress = &Controllers::RowOfAddress;
  controllerMarkers_ =
      new BreakpointMarkers(*controllers_->list(), m.breakpoints, m.processor, io, controllers_->contextMenu(), this);

  highlights_ = new StepHighlights(*memory_->list(), *microMemory_->list(), *controllers_->list(), *processor_, this);
  connect(driver_, &RunDriver::rested, this, &MDIMain::showStepChanges);
  connect(turbo_, &TurboDriver::stopped, this, &MDIMain::showStepChanges);
}

void MDIMain::showStepChanges() {
  if (highlights_ == nullptr) return;
  if (!machine_.runControl.Idle()) {
    highlights_->clear();
    return;
  }
  highlights_->show(machine_.history.LastStepChanges(machine_.processor.MODE));
}

void MDIMain::buildDebugCommands(QMenu* windows) {
  windows->addSeparator()->setObjectName("mnuSepBreakpoints");
  QAction* item = windows->addAction(QStringLiteral("Точки останова"));
  item->setObjectName("mnuWindows_Breakpoints");
  item->setShortcut(QKeySequence("Ctrl+B"));
  connect(item, &QAction::triggered, this, &MDIMain::ShowBreakpoints);
  connect(strip_->breakpoints, &QAction::triggered, this, &MDIMain::ShowBreakpoints);
}

void MDIMain::ShowBreakpoints() { presentDeviceWindow(breakpoints_); }

void MDIMain::buildStepBackCommands(QMenu* cpu) {
  QAction* stop = action("mnuProcessor_Stop");
  const QList<QAction*> items = cpu->actions();
  const qsizetype at = items.indexOf(stop);
  QAction* before = at >= 0 && at + 1 < items.size() ? items[at + 1] : nullptr;
  auto* back = new QAction(QStringLiteral("Шаг назад"), cpu);
  back->setObjectName("mnuProcessor_StepBack");
  back->setShortcut(QKeySequence("Shift+F8"));
  auto* toBreak = new QAction(QStringLiteral("Назад до точки останова"), cpu);
  toBreak->setObjectName("mnuProcessor_BackToBreakpoint");
  toBreak->setShortcut(QKeySequence("Shift+F7"));
  cpu->insertAction(before, back);
  cpu->insertAction(before, toBreak);
  connect(back, &QAction::triggered, this, &MDIMain::StepBack);
  connect(toBreak, &QAction::triggered, this, &MDIMain::StepBackToBreakpoint);
  connect(strip_->stepBack, &QAction::triggered, this, &MDIMain::StepBack);
  connect(strip_->backToBreakpoint, &QAction::triggered, this, &MDIMain::StepBackToBreakpoint);
}

namespace {

const QString kBackWhileRunning = QStringLiteral("Шаг назад возможен только при остановленной машине");
const QString kBackNowhere = QStringLiteral("Шаг назад невозможен: история шагов пуста");

}  // namespace

void MDIMain::StepBack() {
  if (turbo_->active() || !machine_.runControl.Idle()) {
    panels_[3]->setText(kBackWhileRunning);
    return;
  }
  if (!machine_.history.StepBack(machine_.processor.MODE)) panels_[3]->setText(kBackNowhere);
  showStepChanges();
}

void MDIMain::StepBackToBreakpoint() {
  if (turbo_->active() || !machine_.runControl.Idle()) {
    panels_[3]->setText(kBackWhileRunning);
    return;
  }
  if (!machine_.history.StepBackToBreakpoint(machine_.processor.MODE)) panels_[3]->setText(kBackNowhere);
  showStepChanges();
}

void MDIMain::showBreakpointRow(BreakKind kind, int address) {
  switch (kind) {
    case BreakKind::Command:
    case BreakKind::MemoryWrite:
      BringUp(static_cast<QWidget*>(memory_));
      memory_->selectRow(address);
      break;
    case BreakKind::Micro:
      BringUp(static_cast<QWidget*>(microMemory_));
      microMemory_->selectAddress(address);
      break;
    case BreakKind::Controller:
      BringUp(static_cast<QWidget*>(controllers_));
      controllers_->selectRow(Controllers::RowOfAddress(address));
      break;
  }
}

}  // namespace vesk
