// The step-back history:
//  1. speed of a long run in virtual time (as vesk-run runs, traces not
//     stored) with the history off and on, and the cost in percent;
//  2. depth and memory of the history after the run (default depth);
//  3. the time of one step back over a whole command with both trace windows
//     open (offscreen) on a trace of a million command lines, including the
//     windows taking the shortened traces; then the time the windows take to
//     show a batch of new lines as a live run brings them (four commands).
// Usage: bench_history [micro-commands for 1] [command lines for 3]
//        (defaults 20000000 and 1000000). With ONLY=0 or ONLY=1 in the
//        environment, only one run of part 1 with the history off or on
//        (for a profiler).
#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/machine.h"
#include "support/temp_dir.h"
#include "support/tiny_micro_program.h"
#include "trace/frm_micro_trace.h"
#include "trace/frm_trace.h"
#include "trace/trace_table_model.h"

using namespace vesk;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// Memory all zero: increments forever, 12 micro-commands each (the tiny
// micro-program of the tests); every fourth word writes memory.
void Prepare(Machine& m) {
  vesk::testing::LoadTinyMicroProgram(m.microMemory);
  for (int a = 0; a < 64; a += 4) m.memory.SetRow(a, "0100000001000000", "");
  m.memory.SetRow(64, "0000000000000000", "");
  m.runControl.SetIntervals(0, 0, 0);
  m.processor.MODE = 2;
}

double RunRate(bool history, long count) {
  Machine m;
  Prepare(m);
  m.trace.setStoring(false);
  m.microTrace.setStoring(false);
  m.history.SetEnabled(history);
  m.Start("000");
  const auto start = Clock::now();
  while (m.microTrace.MCCounter() < count) m.runControl.Tick();
  return count / Seconds(start);
}

}  // namespace

int main(int argc, char** argv) {
  const long count = argc > 1 ? std::atol(argv[1]) : 20'000'000;
  const long lines = argc > 2 ? std::atol(argv[2]) : 1'000'000;

  if (const char* only = std::getenv("ONLY")) {
    const bool h = only[0] == '1';
    std::printf("%s %.2f\n", only, RunRate(h, count) / 1e6);
    return 0;
  }
  // 1. Best of five each, alternating (a shared machine's speed wanders).
  double off = 0, on = 0;
  for (int round = 0; round < 5; ++round) {
    off = std::max(off, RunRate(false, count));
    on = std::max(on, RunRate(true, count));
  }
  std::printf("run in virtual time: history off %.2f, on %.2f million micro-commands per second; cost %.1f %%\n",
              off / 1e6, on / 1e6, (1.0 - on / off) * 100.0);

  // 2.
  {
    Machine m;
    Prepare(m);
    m.history.SetEnabled(true);
    m.Start("000");
    while (m.microTrace.MCCounter() < 3 * History::kDefaultDepth) m.runControl.Tick();
    std::printf("history: depth %lld micro-commands (default %lld), %.1f MB (%.0f bytes per micro-command)\n",
                static_cast<long long>(m.history.Size()), static_cast<long long>(History::kDefaultDepth),
                m.history.MemoryBytes() / 1e6, static_cast<double>(m.history.MemoryBytes()) / m.history.Size());
  }

  // 3.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  vesk::testing::TempDir dir;
  Machine m;
  Prepare(m);
  m.trace.setClock([] { return std::time_t{1765100000}; });
  m.history.SetEnabled(true);
  frmTrace trace(m.trace, dir.file("cfg.ini"));
  frmMicroTrace micro(m.microTrace, dir.file("cfg.ini"));
  trace.resize(1000, 400);
  micro.resize(1000, 400);
  trace.show();
  micro.show();
  m.Start("000");
  const auto far = Clock::now() + std::chrono::hours(1);
  const auto fill = Clock::now();
  while (m.trace.LineCount() < lines) m.runControl.RunFast(1'000'000, far);
  m.runControl.P_STOP();
  while (!m.runControl.Idle()) m.runControl.Tick();
  trace.model()->flush();
  micro.model()->flush();
  QApplication::processEvents();
  std::printf("trace windows: %lld command lines and %lld micro-command lines in %.1f s\n",
              static_cast<long long>(m.trace.LineCount()), static_cast<long long>(m.microTrace.LineCount()),
              Seconds(fill));
  std::vector<double> times;
  for (int i = 0; i < 20; ++i) {
    QElapsedTimer t;
    t.start();
    if (!m.history.StepBack(2)) break;
    trace.model()->flush();
    micro.model()->flush();
    QApplication::processEvents();
    times.push_back(t.nsecsElapsed() / 1e6);
  }
  std::sort(times.begin(), times.end());
  if (!times.empty())
    std::printf("one step back of a whole command, windows included: median %.2f ms, worst %.2f ms (%zu steps)\n",
                times[times.size() / 2], times.back(), times.size());
  std::printf("trace windows now: %d and %d rows\n", trace.model()->rowCount(), micro.model()->rowCount());

  times.clear();
  const std::int64_t microBefore = m.microTrace.LineCount() + m.microTrace.LinesDropped();
  for (int i = 0; i < 20; ++i) {
    for (int c = 0; c < 4; ++c) {
      m.runControl.P_EXECUTE_NEXT_COMMAND();
      while (!m.runControl.Idle()) m.runControl.Tick();
    }
    QElapsedTimer t;
    t.start();
    trace.model()->flush();
    micro.model()->flush();
    QApplication::processEvents();
    times.push_back(t.nsecsElapsed() / 1e6);
  }
  std::sort(times.begin(), times.end());
  std::printf("a live batch (4 commands, %.0f micro-command lines) shown by both windows: median %.2f ms, worst %.2f ms\n",
              static_cast<double>(m.microTrace.LineCount() + m.microTrace.LinesDropped() - microBefore) / 20,
              times[times.size() / 2], times.back());
  return 0;
}
