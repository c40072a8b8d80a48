// The fast run of the main window: its commands, and the refresh beat every
// display of the machine follows while it lasts.
#include <QMenu>

#include "app/machine.h"
#include "app/main_toolstrip.h"
#include "app/mdi_main.h"
#include "app/run_driver.h"
#include "app/turbo_driver.h"
#include "core/frm_processor1.h"
#include "io/controllers_table_model.h"
#include "io/device_windows.h"
#include "io/frm_controllers.h"
#include "io/frm_dev_monitor.h"
#include "io/monitor_screen_model.h"
#include "memory/frm_mem.h"
#include "memory/frm_micro_mem.h"
#include "memory/frm_micro_program.h"
#include "memory/frm_program.h"
#include "memory/memory_table_model.h"
#include "memory/micro_memory_table_model.h"
#include "trace/frm_micro_trace.h"
#include "trace/frm_trace.h"
#include "widgets/deferred_refresh.h"
#include "widgets/refresh_beat.h"

namespace vesk {

void MDIMain::buildFastRunCommands(QMenu* cpu, QAction* afterStart, QAction* afterContinue) {
  auto insertAfter = [this, cpu](QAction* before, const char* name, const QString& caption, const QKeySequence& key) {
    const QList<QAction*> items = cpu->actions();
    const qsizetype at = items.indexOf(before);
    auto* a = new QAction(caption, cpu);
    a->setObjectName(name);
    a->setShortcut(key);
    cpu->insertAction(at + 1 < items.size() ? items[at + 1] : nullptr, a);
    return a;
  };
  QAction* fastStart = insertAfter(afterStart, "mnuProcessor_FastStart", "Быстрый пуск", QKeySequence("Ctrl+F5"));
  QAction* fastResume =
      insertAfter(afterContinue, "mnuProcessor_FastContinue", "Быстро продолжить", QKeySequence("Ctrl+F7"));
  connect(fastStart, &QAction::triggered, this, &MDIMain::FastStart);
  connect(fastResume, &QAction::triggered, this, &MDIMain::FastContinue);
  connect(strip_->fastStart, &QAction::triggered, this, &MDIMain::FastStart);
  connect(strip_->fastResume, &QAction::triggered, this, &MDIMain::FastContinue);
}

void MDIMain::FastStart() {
  if (startMachine()) driveFast();
}

void MDIMain::FastContinue() {
  machine_.runControl.P_CONTINUE();
  driveFast();
}

void MDIMain::driveFast() {
  showStepChanges();  // running: none shown
  driver_->halt();
  followRefreshBeat();
  turbo_->start();
}

void MDIMain::driveLive() {
  showStepChanges();
  turbo_->halt();
  driver_->wake();
}

void MDIMain::followRefreshBeat() {
  RefreshBeat* beat = beat_;
  statusRefresh().follow(beat);
  if (processor_ != nullptr) processor_->deferredRefresh().follow(beat);
  if (memory_ != nullptr) memory_->model()->deferredRefresh().follow(beat);
  if (microMemory_ != nullptr) microMemory_->model()->deferredRefresh().follow(beat);
  if (controllers_ != nullptr) controllers_->model()->deferredRefresh().follow(beat);
  if (trace_ != nullptr) trace_->model()->deferredRefresh().follow(beat);
  if (microTrace_ != nullptr) microTrace_->model()->deferredRefresh().follow(beat);
  if (program_ != nullptr) program_->deferredRefresh().follow(beat);
  if (microProgram_ != nullptr) microProgram_->deferredRefresh().follow(beat);
  if (devices_->hasMonitor()) devices_->monitor().model()->deferredRefresh().follow(beat);
}

}  // namespace vesk
