// The source windows in the main window: "Программа" and "Микропрограмма
// (текст)" as MDI children, their items in "Окна" and their buttons on the
// window toolbar, the start address they exchange with the tool strip, and
// the question before their unsaved texts are lost at exit.
#include <QMdiSubWindow>
#include <QMenu>
#include <algorithm>
#include <optional>

#include "app/machine.h"
#include "app/main_toolstrip.h"
#include "app/mdi_main.h"
#include "app/source_icons.h"
#include "memory/frm_micro_program.h"
#include "memory/frm_program.h"
#include "widgets/window_layout.h"

namespace vesk {

// The windows exist from start-up (hidden, owned by the main window); each
// gets its MDI frame when it is first shown.
void MDIMain::createSourceWindows() {
  program_ = new frmProgram(machine_.memory, machine_.processor, settings_.path, dialogs_, this);
  microProgram_ = new frmMicroProgram(machine_.microMemory, machine_.processor, settings_.path, dialogs_, this);
  for (SourceWindow* w : {static_cast<SourceWindow*>(program_), static_cast<SourceWindow*>(microProgram_)}) {
    w->hide();
    // Program sources lie beside the dumps, micro-program sources beside the micro-programs.
    w->setFileFolders(folders_.get());
  }
  program_->setBreakpoints(machine_.breakpoints, BreakKind::Command);
  microProgram_->setBreakpoints(machine_.breakpoints, BreakKind::Micro);
  program_->setStartAddressSource([this] { return strip_->startAddress->text(); });
  connect(program_, &frmProgram::startAddressAssembled, strip_->startAddress, &QLineEdit::setText);
}

void MDIMain::ShowSourceWindow(SourceWindow* window) {
  if (window == nullptr) return;
  QMdiSubWindow* sub = frameOf(window);
  const bool first = sub == nullptr;
  if (first) {
    sub = mdi_->addSubWindow(window);
    // Closing hides it with its text; the menu and the toolbar bring it back.
    sub->setAttribute(Qt::WA_DeleteOnClose, false);
    sub->setWindowIcon(MakeSourceIcon(window == microProgram_));
    frames_.emplace_back(window, sub);
    const QSize area = mdi_->viewport()->size();
    sub->resize(QSize(820, 560).boundedTo(area.expandedTo(QSize(1, 1))));
    sub->move(std::max(0, (area.width() - sub->width()) / 2), std::max(0, (area.height() - sub->height()) / 4));
  }
  BringUp(window);  // the first showing opens it
  // Where it was left last time, in its size, within the area.
  if (first)
    if (const std::optional<QRect> stored = StoredFrame(window->settingsFile(), window->layoutName()))
      placeWithin(sub, window, *stored);
}

void MDIMain::addSourceCommands(QMenu* windows) {
  windows->addSeparator()->setObjectName("mnuSep12");
  QAction* program = windows->addAction(MakeSourceIcon(false), "Программа");
  program->setObjectName("mnuWindows_Program");
  QAction* micro = windows->addAction(MakeSourceIcon(true), "Микропрограмма (текст)");
  micro->setObjectName("mnuWindows_MicroProgramText");
  connect(program, &QAction::triggered, this, [this] { ShowSourceWindow(program_); });
  connect(micro, &QAction::triggered, this, [this] { ShowSourceWindow(microProgram_); });

  // On the window toolbar, before the separator in front of "Свернуть".
  QToolBar* bar = strip_->windowBar;
  const QList<QAction*> actions = bar->actions();
  const qsizetype at = actions.indexOf(strip_->minimize);
  QAction* before = at > 0 ? actions[at - 1] : nullptr;
  for (QAction* a : {program, micro}) {
    QAction* button = new QAction(a->icon(), a->text(), bar);
    button->setToolTip(a == program ? "Программа (текст)" : "Микропрограмма (текст)");
    button->setObjectName(a == program ? "showProgram" : "showMicroProgramText");
    connect(button, &QAction::triggered, a, &QAction::trigger);
    bar->insertAction(before, button);
  }
}

bool MDIMain::confirmSourcesSaved() {
  for (SourceWindow* w : {static_cast<SourceWindow*>(program_), static_cast<SourceWindow*>(microProgram_)}) {
    if (w == nullptr || !w->isModified()) continue;
    ShowSourceWindow(w);
    if (!w->ConfirmDiscard()) return false;
  }
  return true;
}

}  // namespace vesk
