// The main window's commands: run control, periods, windows.
#include <QMdiSubWindow>

#include "widgets/dialogs.h"
#include "util/ini_file.h"
#include "app/machine.h"
#include "widgets/machine_window.h"
#include "app/main_toolstrip.h"
#include "app/cascade.h"
#include "app/mdi_main.h"
#include "app/period_input.h"
#include "app/run_driver.h"
#include "app/turbo_driver.h"

namespace vesk {

void MDIMain::Start() {
  if (startMachine()) driveLive();
}

bool MDIMain::startMachine() {
  // The field takes hex digits only (its validator); upper-case them, since
  // the address conversion reads upper-case digits.
  const std::string address = strip_->startAddress->text().toUpper().toStdString();
  if (!Machine::StartAddress(address)) {
    // Bit 11 would be dropped and the run would begin somewhere else.
    dialogs_->tell(this, windowTitle(),
                   QStringLiteral("Адрес первой команды %1 вне памяти.\nПамять занимает адреса 000–7FF; "
                                  "программа не запущена.")
                       .arg(QString::fromStdString(address)),
                   Dialogs::Icon::Warning);
    strip_->startAddress->setFocus();
    strip_->startAddress->selectAll();
    return false;
  }
  machine_.Start(address);
  return true;
}

void MDIMain::Reset() { machine_.processor.Reset(); }

void MDIMain::Step() {
  // While a fast run lasts the machine is running: a step does nothing.
  if (turbo_->active()) return;
  machine_.runControl.P_EXECUTE_NEXT_COMMAND();
  showStepChanges();
  driver_->wake();
}

void MDIMain::Continue() {
  machine_.runControl.P_CONTINUE();
  driveLive();
}

void MDIMain::Stop() { machine_.runControl.P_STOP(); }

void MDIMain::SetMode(int mode) {
  machine_.processor.MODE = mode;
  syncModeChecks();
}

void MDIMain::syncModeChecks() {
  fullPeriod_->setChecked(machine_.processor.MODE == 1);
  shortPeriod_->setChecked(machine_.processor.MODE == 2);
}

void MDIMain::Interrupt() {
  // A request, not an edit: the step-back history keeps it.
  machine_.history.Input([this] { machine_.processor.SetInterruptReg(1); });
  // A click on the pressed button must not show it released.
  strip_->interrupt->setChecked(machine_.processor.InterruptButtonPressed());
}

void MDIMain::ApplyPeriods() {
  const auto text = [this](std::size_t i) { return strip_->periods[i]->text().toStdString(); };
  const PeriodInput in = ReadPeriods(text(0), text(1), text(2));
  RunControl& rc = machine_.runControl;
  if (!in.ok) {
    dialogs_->tell(this, windowTitle(), QString::fromStdString(in.error), Dialogs::Icon::Warning);
    for (std::size_t i = 0; i < 3; ++i) strip_->periods[i]->setText(QString::number(rc.Interval(static_cast<int>(i + 1))));
    return;
  }
  rc.SetIntervals(in.periods[0], in.periods[1], in.periods[2]);
  // The fields now hold the rounded values; they are what the file keeps.
  for (std::size_t i = 0; i < 3; ++i)
    WriteIni(settings_.path, "General", "Interval" + std::to_string(i + 1), text(i));
}

void MDIMain::ArrangeMinimized(ArrangeSide side) {
  std::vector<ArrangeWindow> windows;
  std::vector<QMdiSubWindow*> subs;
  for (MachineWindow* child : childList_) {
    QMdiSubWindow* sub = frameOf(child);
    subs.push_back(sub);
    const bool minimized = sub != nullptr && sub->isVisible() && sub->isMinimized();
    const QSize size = sub != nullptr ? sub->frameGeometry().size() : QSize();
    windows.push_back({size.width() * 15, size.height() * 15, minimized});
  }
  const QSize client = mdi_->viewport()->size();
  const auto moves = vesk::ArrangeMinimized(side, client.width() * 15, client.height() * 15, windows);
  for (std::size_t i = 0; i < moves.size(); ++i)
    if (moves[i]) subs[i]->move(moves[i]->x, moves[i]->y);
}

void MDIMain::CascadeWindows() {
  std::vector<QMdiSubWindow*> subs;
  std::vector<PixelSize> sizes;
  for (QMdiSubWindow* sub : mdi_->subWindowList(QMdiArea::StackingOrder)) {
    if (!sub->isVisible() || sub->isMinimized()) continue;
    if (sub->isMaximized()) sub->showNormal();
    subs.push_back(sub);
    sizes.push_back({sub->width(), sub->height()});
  }
  if (subs.empty()) return;
  // One title bar lower each: the height of the frame above the content.
  const int step = subs.front()->widget() != nullptr ? subs.front()->widget()->geometry().top() : 24;
  const QSize area = mdi_->viewport()->size();
  const auto places = Cascade({area.width(), area.height()}, sizes, step);
  for (std::size_t i = 0; i < subs.size(); ++i) {
    subs[i]->setGeometry(places[i].x, places[i].y, places[i].width, places[i].height);
    subs[i]->raise();
  }
}

void MDIMain::ArrangeDefault() {
  // Every maximized window first: the MDI area maximizes a window shown
  // while another one is maximized.
  for (QMdiSubWindow* sub : mdi_->subWindowList())
    if (sub->isMaximized()) sub->showNormal();
  for (MachineWindow* child : arranged_) {
    QMdiSubWindow* sub = frameOf(child);
    if (sub == nullptr) continue;
    if (sub->isMinimized()) sub->showNormal();
    if (!sub->isVisible()) {
      sub->show();
      child->show();
    }
  }
  // In the arrangement's order, each above the ones before, as it expects
  // where a small area makes them overlap.
  for (MachineWindow* child : arranged_)
    if (QMdiSubWindow* sub = frameOf(child)) {
      if (sub->isMaximized()) sub->showNormal();
      sub->setGeometry(defaultPlace(child));
      sub->raise();
    }
}

void MDIMain::BringUp(QWidget* child) {
  QMdiSubWindow* sub = frameOf(child);
  if (sub == nullptr) return;
  if (sub->isMinimized()) sub->showNormal();
  if (!sub->isVisible()) {
    sub->show();
    child->show();
  }
  mdi_->setActiveSubWindow(sub);
  child->setFocus();
}

void MDIMain::MinimizeActive() {
  if (QMdiSubWindow* sub = mdi_->activeSubWindow()) sub->showMinimized();
}

}  // namespace vesk
