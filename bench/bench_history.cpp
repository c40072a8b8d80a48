// The step-back history:
//  1. speed of a long run in virtual time (as vesk-run runs, traces not
//     stored) with the history off and on, and the cost in percent: the
//     median over rounds of one run each way (a quarter of the count each);
//  2. depth and memory of the history after the run (default depth);
//  3. the time of one step back over a whole command with both trace windows
//     open (offscreen) on a trace of a million command lines, including the
//     windows taking the shortened traces; then the time the windows take to
//     show a batch of new lines as a live run brings them (four commands).
// Usage: bench_history [micro-commands for 1] [command lines for 3]
//        (defaults 20000000 and 1000000). With ONLY=0 or ONLY=1 in the
//        environment, only one run of part 1 with the history off or on
//        (for a profiler). SPACING=n in the environment: a checkpoint at
//        least every n markers instead of the default.
#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
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

void Configure(History& h) {
  if (const char* spacing = std::getenv("SPACING")) h.SetCheckpointSpacing(std::atoi(spacing));
}

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

// The CPU time this thread has used: unlike the wall clock, it leaves out
// the time a shared machine gave to others.
double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

double RunRate(bool history, long count) {
  Machine m;
  Prepare(m);
  m.trace.setStoring(false);
  m.microTrace.setStoring(false);
  Configure(m.history);
  m.history.SetEnabled(history);
  m.Start("000");
  const double start = ThreadSeconds();
  while (m.microTrace.MCCounter() < count) m.runControl.Tick();
  return count / (ThreadSeconds() - start);
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
  // 1. Rounds of one run each way, in turn first; the cost of each round
  //    from its own pair, the median of those (a shared machine's speed
  //    wanders from one second to the next).
  constexpr int kRounds = 15;
  const long each = std::max(count / 4, 1L);
  std::vector<double> offRates, onRates, costs;
  for (int round = 0; round < kRounds; ++round) {
    double off = 0, on = 0;
    if (round % 2 == 0) {
      off = RunRate(false, each);
      on = RunRate(true, each);
    } else {
      on = RunRate(true, each);
      off = RunRate(false, each);
    }
    offRates.push_back(off);
    onRates.push_back(on);
    costs.push_back((1.0 - on / off) * 100.0);
  }
  const auto median = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  };
  std::sort(costs.begin(), costs.end());
  std::printf("run in virtual time (%d rounds of %ld micro-commands each way, CPU time): history off %.2f, on %.2f "
              "million micro-commands per second (medians); cost: median %.1f %%, middle half %.1f to %.1f %%\n",
              kRounds, each, median(offRates) / 1e6, median(onRates) / 1e6, costs[costs.size() / 2],
              costs[costs.size() / 4], costs[costs.size() * 3 / 4]);

  // 2.
  {
    Machine m;
    Prepare(m);
    Configure(m.history);
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
  Configure(m.history);
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
  std::vector<double> times, alone;
  for (int i = 0; i < 20; ++i) {
    QElapsedTimer t;
    t.start();
    if (!m.history.StepBack(2)) break;
    alone.push_back(t.nsecsElapsed() / 1e6);
    trace.model()->flush();
    micro.model()->flush();
    QApplication::processEvents();
    times.push_back(t.nsecsElapsed() / 1e6);
  }
  std::sort(times.begin(), times.end());
  std::sort(alone.begin(), alone.end());
  if (!times.empty())
    std::printf("one step back of a whole command, windows included: median %.2f ms, worst %.2f ms (%zu steps; "
                "the machine's part alone: median %.2f ms)\n",
                times[times.size() / 2], times.back(), times.size(), alone[alone.size() / 2]);
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
