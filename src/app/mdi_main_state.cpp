// The machine state commands of the main window: "Сохранить состояние
// машины..." and "Загрузить состояние машины..." in the menu "Vesk".
#include <QFile>
#include <QFileInfo>
#include <chrono>

#include "app/machine.h"
#include "app/machine_owners.h"
#include "app/main_toolstrip.h"
#include "app/mdi_main.h"
#include "app/run_driver.h"
#include "app/turbo_driver.h"
#include "state/state_file.h"
#include "widgets/dialogs.h"
#include "widgets/file_folders.h"
#include "widgets/file_result_box.h"

namespace vesk {

namespace {

const QString kFilter = QStringLiteral("Состояние машины Vesk (*.vstate);;Все файлы (*.*)");
const QString kSaveTitle = QStringLiteral("Сохранить состояние машины...");
const QString kLoadTitle = QStringLiteral("Загрузить состояние машины...");
// How long the rest of a command may take when the machine is stopped for a
// state: a micro-program that never reaches the end of its command is left
// running.
constexpr auto kStopLimit = std::chrono::seconds(2);

}  // namespace

bool MDIMain::stopForState(const QString& title, const QString& action) {
  RunControl& rc = machine_.runControl;
  if (!turbo_->active() && rc.Idle()) return true;
  const QString question = QStringLiteral("Машина работает.\nОстановить её в конце команды и %1?").arg(action);
  if (!dialogs_->askYesNo(this, title, question, Dialogs::Icon::Question)) return false;
  // The question's own event loop may have let the run end meanwhile.
  rc.P_STOP();
  const auto deadline = std::chrono::steady_clock::now() + kStopLimit;
  if (turbo_->active()) {
    // As the fast drive would have stopped: back to back, to the boundary.
    while (!rc.Idle() && std::chrono::steady_clock::now() < deadline) rc.RunFast(1'000'000, deadline);
  } else {
    // As the live drive would have stopped, tick by tick, only sooner.
    int sinceClock = 0;
    while (!rc.Idle()) {
      rc.Tick();
      if (++sinceClock == 4096) {
        sinceClock = 0;
        if (std::chrono::steady_clock::now() >= deadline) break;
      }
    }
  }
  if (!rc.Idle()) {
    dialogs_->tell(this, title,
                   QStringLiteral("Машина не остановилась: команда не закончилась за %1 с.\n"
                                  "Состояние не тронуто; машина остановится в конце команды.")
                       .arg(std::chrono::duration_cast<std::chrono::seconds>(kStopLimit).count()),
                   Dialogs::Icon::Warning);
    return false;
  }
  // At rest: the drives end and every window shows the machine whole.
  turbo_->halt();
  driver_->halt();
  showStepChanges();
  return true;
}

bool MDIMain::SaveMachineState() {
  const QString startText = strip_->startAddress->text().toUpper();
  if (!Machine::StartAddress(startText.toStdString())) {
    dialogs_->tell(this, kSaveTitle,
                   QStringLiteral("Адрес первой команды %1 вне памяти.\nПамять занимает адреса 000–7FF; "
                                  "состояние не сохранено.")
                       .arg(startText),
                   Dialogs::Icon::Warning);
    strip_->startAddress->setFocus();
    strip_->startAddress->selectAll();
    return false;
  }
  if (!stopForState(kSaveTitle, QStringLiteral("сохранить состояние"))) return false;
  const QString path = dialogs_->saveFile(this, kSaveTitle, kFilter,
                                          StartFolder(folders_.get(), FileFolders::Kind::MachineState));
  if (path.isEmpty()) return false;
  RememberFolder(folders_.get(), FileFolders::Kind::MachineState, path);
  if (QFileInfo::exists(path)) {
    const QString question = QStringLiteral("Такой файл уже существует!") + "\n" + QStringLiteral("Перезаписать?");
    if (!dialogs_->askYesNo(this, QStringLiteral("Сохранение состояния машины..."), question,
                            Dialogs::Icon::Warning))
      return false;
  }
  // Captured after the dialogs: whatever was edited meanwhile is saved too.
  const std::optional<MachineState> state =
      CaptureState(OwnersOf(machine_), strip_->startAddress->text().toUpper().toStdString());
  if (!state) {
    dialogs_->tell(this, kSaveTitle,
                   QStringLiteral("Адрес первой команды вне памяти; состояние не сохранено."),
                   Dialogs::Icon::Warning);
    return false;
  }
  const FileResult result = SaveStateFile(*state, QFile::encodeName(path).toStdString());
  ShowFileResult(*dialogs_, this, kSaveTitle, QStringLiteral("Состояние машины не сохранено."), result);
  return result.ok;
}

bool MDIMain::LoadMachineState() {
  const QString path = dialogs_->openFile(this, kLoadTitle, kFilter,
                                          StartFolder(folders_.get(), FileFolders::Kind::MachineState));
  if (path.isEmpty()) return false;
  RememberFolder(folders_.get(), FileFolders::Kind::MachineState, path);
  // The whole file is read and checked before anything changes, the run
  // included.
  const StateRead read = LoadStateFile(QFile::encodeName(path).toStdString());
  if (!read.ok) {
    dialogs_->tell(this, kLoadTitle,
                   QStringLiteral("Состояние машины не загружено.") + "\n" + QString::fromStdString(read.error),
                   Dialogs::Icon::Warning);
    return false;
  }
  if (!stopForState(kLoadTitle, QStringLiteral("загрузить состояние"))) return false;
  ApplyState(read.state, OwnersOf(machine_));
  // What the registers and memories held before is gone: stepping back
  // into it would mix two machines.
  machine_.history.Clear(History::kClearedNote);
  syncModeChecks();
  strip_->startAddress->setText(QString::fromStdString(read.state.start));
  // A state saved by the runner in the middle of a command says the machine
  // runs: it finishes that command live (the run request is off).
  driver_->wake();
  showStepChanges();
  return true;
}

}  // namespace vesk
