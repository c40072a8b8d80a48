#include "util/exit_signals.h"

#include <signal.h>
#include <unistd.h>

#include <cstring>
#include <initializer_list>

#include "util/temp_files.h"

namespace vesk {

namespace {

const char* lineStart = "";

void Put(const char* text) {
  const std::size_t n = std::strlen(text);
  // Nothing can be done about a failed write on the way out.
  if (::write(STDERR_FILENO, text, n) < 0) return;
}

void OnExitSignal(int signo) {
  temp_files::RemoveAll();
  Put(lineStart);
  Put(" ");
  Put(SignalName(signo));
  Put("\n");
  ::_exit(128 + signo);
}

}  // namespace

const char* SignalName(int signo) {
  switch (signo) {
    case SIGINT: return "SIGINT";
    case SIGTERM: return "SIGTERM";
    case SIGHUP: return "SIGHUP";
    case SIGXFSZ: return "SIGXFSZ";
    case SIGPIPE: return "SIGPIPE";
    default: return "signal";
  }
}

void IgnoreFileSignals() {
  ::signal(SIGXFSZ, SIG_IGN);
  ::signal(SIGPIPE, SIG_IGN);
}

void HandleStopSignals(void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  // One signal at a time: a second one waits until the first has been handled.
  for (const int signo : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&action.sa_mask, signo);
  for (const int signo : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction old {};
    if (::sigaction(signo, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
    ::sigaction(signo, &action, nullptr);
  }
}

void ExitCleanlyOnSignals(const char* line) {
  lineStart = line;
  IgnoreFileSignals();
  HandleStopSignals(OnExitSignal);
}

}  // namespace vesk
