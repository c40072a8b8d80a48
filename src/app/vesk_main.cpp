// vesk: the window program. It takes no command-line arguments.
#include <QApplication>

#include "app/machine.h"
#include "app/mdi_main.h"
#include "app/russian_texts.h"
#include "app/runner.h"
#include "util/exit_signals.h"

int main(int argc, char** argv) {
  // A save in progress leaves no temporary file behind on SIGINT, SIGTERM or SIGHUP.
  vesk::ExitCleanlyOnSignals("vesk: остановлено сигналом");
  QApplication app(argc, argv);
  QApplication::setApplicationName("Vesk");
  vesk::InstallRussianQtTexts(app);
  vesk::Machine machine;
  vesk::MDIMain window(machine, vesk::ProgramDirectory());
  window.show();
  window.StartUp();
  return QApplication::exec();
}
