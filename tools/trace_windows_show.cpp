// Shows the two trace windows over a long run, for a look at traces of any
// length on screen (under a window manager: ../shared/tools/screenshot.sh).
// The shipped micro-program runs the multiplication example again and again
// until the command trace holds the lines asked for; the lists are at their
// newest line, the command list with a few lines selected.
// Usage: trace_windows_show [command lines] (default 300)
#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/machine.h"
#include "common/shipped_example.h"
#include "trace/frm_micro_trace.h"
#include "trace/frm_trace.h"

using namespace vesk;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const long lines = argc > 1 ? std::atol(argv[1]) : 300;
  Machine m;
  const std::string source = VESK_SOURCE_DIR;
  if (!vesk::tools::LoadShippedExample(m, source)) return 1;
  m.runControl.SetIntervals(0, 0, 0);
  m.processor.MODE = 2;
  const auto far = std::chrono::steady_clock::now() + std::chrono::hours(1);
  while (m.trace.LineCount() < lines) {
    m.processor.Reset();
    m.Start("000");
    while (!m.runControl.Idle() && m.trace.LineCount() < lines) m.runControl.RunFast(100'000, far);
  }
  m.runControl.P_STOP();
  while (!m.runControl.Idle()) m.runControl.Tick();

  // A settings file of its own, gone at the end: the windows' layout is not
  // written anywhere else.
  QTemporaryDir scratch;
  const std::string settings = (scratch.path() + "/cfg.ini").toStdString();
  frmTrace trace(m.trace, settings);
  frmMicroTrace micro(m.microTrace, settings);
  trace.resize(1100, 340);
  micro.resize(1100, 340);
  trace.show();
  micro.show();
  // After the windows' own placement on showing: one above the other.
  QTimer::singleShot(300, &micro, [&] {
    trace.move(0, 0);
    micro.move(0, 400);
  });
  trace.list()->scrollToBottom();
  micro.list()->scrollToBottom();
  const int last = trace.model()->rowCount() - 1;
  trace.list()->selectionModel()->select(
      QItemSelection(trace.model()->index(std::max(0, last - 4), 0), trace.model()->index(std::max(0, last - 2), 0)),
      QItemSelectionModel::Select | QItemSelectionModel::Rows);
  std::printf("%lld command lines, %lld micro-command lines\n", static_cast<long long>(m.trace.LineCount()),
              static_cast<long long>(m.microTrace.LineCount()));
  std::fflush(stdout);
  return app.exec();
}
