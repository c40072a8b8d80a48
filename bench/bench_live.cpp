// Live runs of the window program in real time (offscreen, every window open,
// both traces growing): micro-commands per second with the periods 0, 1, 1
// (nominal 1000) and with the default periods 20, 100, 100 in the short
// period (nominal 1000 / 21 = 47.6) and the full period (1000 / 223 = 4.48).
// Usage: bench_live [seconds] (default 10 per run)
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <cstdio>
#include <cstdlib>

#include "util/ini_file.h"
#include "app/machine.h"
#include "app/mdi_main.h"
#include "app/runner.h"
#include "format/bit_string.h"
#include "support/temp_dir.h"

using namespace vesk;

namespace {

double Run(int seconds, int mode, int t1, int t2, int t3, long& micro, long& commands) {
  vesk::testing::TempDir dir;
  const std::string ini = dir / "cfg.ini";
  WriteIni(ini, "General", "Microprogram", ProgramDirectory() + "/vesk.mpdmp");
  Machine machine;
  QElapsedTimer startUp;
  startUp.start();
  MDIMain window(machine, ProgramDirectory(), nullptr, SettingsLocation{ini, false, ""});
  window.show();
  window.StartUp();
  QApplication::processEvents();
  std::printf("start-up to a shown main window: %lld ms\n", static_cast<long long>(startUp.elapsed()));
  machine.runControl.SetIntervals(t1, t2, t3);
  window.SetMode(mode);
  // A loop that reads and writes memory: ADD 010, MOV 011, BR 000.
  const char* program[] = {"4010", "3011", "C000"};
  for (int a = 0; a < 3; ++a) machine.memory.SetRow(a, FitWidth(HexToBin(program[a]), 16), "");
  machine.memory.SetRow(0x10, FitWidth(HexToBin("0001"), 16), "");
  const long micro0 = machine.microTrace.MCCounter();
  window.Start();
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < seconds * 1000) QTest::qWait(50);
  const double elapsed = clock.elapsed() / 1000.0;
  micro = machine.microTrace.MCCounter() - micro0;
  commands = machine.trace.CCounter();
  window.Stop();
  return elapsed;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
  long micro = 0, commands = 0;
  double s = Run(seconds, 2, 0, 1, 1, micro, commands);
  std::printf("periods 0,1,1 (short): %ld micro-commands, %ld commands in %.2f s = %.1f micro-commands per second "
              "(nominal 1000)\n",
              micro, commands, s, micro / s);
  s = Run(seconds, 2, 20, 100, 100, micro, commands);
  std::printf("periods 20,100,100 (short): %ld micro-commands in %.2f s = %.2f per second (nominal 47.62, %+.2f%%)\n",
              micro, s, micro / s, (micro / s / (1000.0 / 21) - 1) * 100);
  s = Run(seconds, 1, 20, 100, 100, micro, commands);
  std::printf("periods 20,100,100 (full): %ld micro-commands in %.2f s = %.2f per second (nominal 1000 / 223 = 4.48, "
              "%+.1f%%)\n",
              micro, s, micro / s, (micro / s / (1000.0 / 223) - 1) * 100);
  return 0;
}
