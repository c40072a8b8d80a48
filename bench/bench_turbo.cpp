// The fast run of the window program (offscreen, every window open, both
// traces growing): the shipped micro-program runs the multiplication example
// in an endless loop (its HLT becomes a branch to a few commands that put x,
// y and the bit counter back, then to its start). Measures micro-commands
// per second, how often the windows were refreshed (beats, and paints of the
// status bar's micro-command count), how long the event loop kept a
// queued command waiting (as a menu command or a key waits), how soon a
// menu opened and painted, and the time from "Стоп" (F6) to the stopped
// machine and to every window showing it in full, over several stop and
// fast-continue rounds.
// Usage: bench_turbo [seconds per round] [rounds]   (defaults 5 and 4)
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "app/machine.h"
#include "app/mdi_main.h"
#include "app/runner.h"
#include "app/turbo_driver.h"
#include "widgets/dialogs.h"
#include "core/frm_processor1.h"
#include "core/register_panel.h"
#include "core/value_field.h"
#include "format/bit_string.h"
#include "io/device_windows.h"
#include "memory/dump_file.h"
#include "support/temp_dir.h"
#include "util/ini_file.h"
#include "widgets/refresh_beat.h"

using namespace vesk;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Counts the paint events of one widget.
class PaintCounter : public QObject {
 public:
  long paints = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
};

// Notes when a menu first paints after it was asked to open.
class MenuWatch : public QObject {
 public:
  Clock::time_point asked;
  std::vector<double> delays;
  bool waiting = false;
  bool eventFilter(QObject*, QEvent* e) override {
    if (waiting && e->type() == QEvent::Paint) {
      delays.push_back(Ms(Clock::now() - asked));
      waiting = false;
    }
    return false;
  }
};

// Notes when the machine reports itself stopped (the status text changes).
class StopWatch : public ProcessorListener {
 public:
  Clock::time_point at;
  void runStateTextChanged(std::string_view text) override {
    if (text == kStatusStopped) at = Clock::now();
  }
};

struct Figures {
  std::vector<double> values;
  void add(double v) { values.push_back(v); }
  double max() const { return values.empty() ? 0 : *std::max_element(values.begin(), values.end()); }
  double mean() const {
    double s = 0;
    for (double v : values) s += v;
    return values.empty() ? 0 : s / values.size();
  }
};

// The multiplication example, looping: HLT branches to a prologue at 040
// that restores x, y and the counter from 050..052 and goes to the start.
bool LoadLoopingMultiply(Machine& m) {
  const FileResult loaded = Mem_LoadDump(m.memory, std::string(VESK_SOURCE_DIR) + "/examples/multiply.vdmp");
  if (!loaded.ok) {
    std::fprintf(stderr, "cannot load multiply.vdmp: %s\n", loaded.error.c_str());
    return false;
  }
  int halt = -1;
  for (int a = 0x10; a < 0x30 && halt < 0; ++a)
    if (BinToHex(m.memory.Value(a)) == "F000") halt = a;
  if (halt < 0) {
    std::fprintf(stderr, "multiply.vdmp has no HLT where expected\n");
    return false;
  }
  auto put = [&m](int address, const char* hex) { m.memory.SetRow(address, FitWidth(HexToBin(hex), 16), ""); };
  put(0x50, BinToHex(m.memory.Value(0x30)).str().c_str());
  put(0x51, BinToHex(m.memory.Value(0x31)).str().c_str());
  put(0x52, BinToHex(m.memory.Value(0x33)).str().c_str());
  const char* prologue[] = {"F200", "4050", "3030", "F200", "4051", "3031", "F200", "4052", "3033", "C000"};
  for (int i = 0; i < 10; ++i) put(0x40 + i, prologue[i]);
  put(halt, "C040");
  return true;
}

// Machine errors go to standard error; the bench never waits on a box.
class PrintingDialogs final : public Dialogs {
 public:
  QString openFile(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
  QString saveFile(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
  bool askYesNo(QWidget*, const QString&, const QString&, Icon) override { return false; }
  void tell(QWidget*, const QString&, const QString& text, Icon) override {
    std::fprintf(stderr, "%s\n", qPrintable(text));
  }
};

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 4;

  vesk::testing::TempDir dir;
  const std::string ini = dir / "cfg.ini";
  WriteIni(ini, "General", "Microprogram", ProgramDirectory() + "/vesk.mpdmp");
  Machine machine;
  PrintingDialogs dialogs;
  MDIMain window(machine, ProgramDirectory(), &dialogs, SettingsLocation{ini, false, ""});
  window.show();
  window.StartUp();
  window.deviceWindows().showMonitor();
  window.deviceWindows().showKeyboard();
  QApplication::processEvents();
  if (machine.microMemory.Value(1) == std::string(16, '0')) {
    std::fprintf(stderr, "the shipped micro-program is not beside the bench (%s/vesk.mpdmp)\n",
                 ProgramDirectory().c_str());
    return 1;
  }
  if (!LoadLoopingMultiply(machine)) return 1;

  PaintCounter paints;
  QWidget* countPanel = window.findChild<QWidget*>("statusPanel2");
  countPanel->installEventFilter(&paints);
  QMenu* cpuMenu = window.findChild<QMenu*>("mnuProcessor_");
  MenuWatch menuWatch;
  cpuMenu->installEventFilter(&menuWatch);
  TurboDriver& turbo = window.turboDriver();
  StopWatch stopWatch;
  machine.processor.listeners().add(&stopWatch);

  // A second thread plays the user: it queues commands to the window as a
  // key or a click would arrive, and notes when each was asked for.
  std::mutex lock;
  Figures queueDelay, stopDelay, shownDelay, rates, beatRates, paintRates;
  std::atomic<bool> userDone{false};
  std::printf("fast run, every window open, shipped micro-program on multiply.vdmp in a loop, %d rounds of %d s\n",
              rounds, seconds);
  for (int round = 0; round < rounds; ++round) {
    const std::int64_t micro0 = turbo.microCommands();
    const std::int64_t beats0 = window.refreshBeat().beats();
    const long paints0 = paints.paints;
    if (round == 0)
      window.FastStart();
    else
      window.FastContinue();
    const Clock::time_point begin = Clock::now();
    Clock::time_point pressed;
    userDone = false;
    std::thread user([&] {
      // Every 100 ms a queued no-op (the event loop's delay) and every
      // second the menu "Процессор" opens and closes again.
      for (int tick = 1; tick * 100 <= seconds * 1000; ++tick) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const Clock::time_point asked = Clock::now();
        QMetaObject::invokeMethod(
            &window,
            [&, asked, tick] {
              std::lock_guard<std::mutex> g(lock);
              queueDelay.add(Ms(Clock::now() - asked));
              if (tick % 10 == 5) {
                menuWatch.asked = asked;
                menuWatch.waiting = true;
                cpuMenu->popup(window.mapToGlobal(QPoint(40, 40)));
              } else if (tick % 10 == 7) {
                cpuMenu->hide();
              }
            },
            Qt::QueuedConnection);
      }
      // "Стоп" pressed at a moment the run does not know: most likely in
      // the middle of a slice.
      std::this_thread::sleep_for(std::chrono::microseconds(1000 + 997 * round));
      pressed = Clock::now();
      QMetaObject::invokeMethod(&window, "Stop", Qt::QueuedConnection);
      userDone = true;
    });
    while (!userDone || turbo.active()) QTest::qWait(1);
    user.join();
    const double runSeconds = std::chrono::duration<double>(pressed - begin).count();
    QApplication::processEvents();  // the paints of the full refresh
    const Clock::time_point shown = Clock::now();
    const double rate = (turbo.microCommands() - micro0) / runSeconds;
    const double beatRate = (window.refreshBeat().beats() - beats0) / runSeconds;
    const double paintRate = (paints.paints - paints0) / runSeconds;
    rates.add(rate);
    beatRates.add(beatRate);
    paintRates.add(paintRate);
    stopDelay.add(Ms(stopWatch.at - pressed));
    shownDelay.add(Ms(shown - pressed));
    std::printf("round %d: %.0f micro-commands per second; %.1f refreshes per second (%.1f paints of the count panel); "
                "Стоп to stopped %.1f ms, to all shown %.1f ms\n",
                round + 1, rate, beatRate, paintRate, Ms(stopWatch.at - pressed), Ms(shown - pressed));
  }
  std::printf("mean %.0f micro-commands per second (min %.0f); refreshes %.1f per second (paints of the count panel %.1f)\n",
              rates.mean(), *std::min_element(rates.values.begin(), rates.values.end()), beatRates.mean(),
              paintRates.mean());
  std::printf("queued commands waited %.1f ms on average, %.1f ms at most (%zu of them)\n", queueDelay.mean(),
              queueDelay.max(), queueDelay.values.size());
  std::printf("menu opened and painted %zu times: %.1f ms on average, %.1f ms at most after the click\n",
              menuWatch.delays.size(), Figures{menuWatch.delays}.mean(), Figures{menuWatch.delays}.max());
  std::printf("Стоп to a stopped machine: %.1f ms on average, %.1f ms at most; to every window showing it in full "
              "(traces with every line): %.1f ms on average, %.1f ms at most\n",
              stopDelay.mean(), stopDelay.max(), shownDelay.mean(), shownDelay.max());
  std::printf("traces: %lld command lines, %lld micro-command lines\n",
              static_cast<long long>(machine.trace.LineCount()), static_cast<long long>(machine.microTrace.LineCount()));
  machine.processor.listeners().remove(&stopWatch);
  return 0;
}
