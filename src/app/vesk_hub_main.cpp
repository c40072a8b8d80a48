// vesk-hub: the hub of a classroom network of Vesk copies, without windows.
// It speaks the same protocol through the same code as the network window's
// hub, and logs one line per join, leave, refusal and disconnection.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QSocketNotifier>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "app/hub_options.h"
#include "io/hub_log.h"
#include "io/net_adapter.h"
#include "io/qt_hub_transport.h"
#include "util/exit_signals.h"

namespace {

int stopPipe[2] = {-1, -1};
volatile sig_atomic_t stopSignal = 0;

// The event loop hears of the signal through the pipe and stops there.
void OnStop(int signo) {
  stopSignal = signo;
  const char byte = 1;
  if (::write(stopPipe[1], &byte, 1) < 0) return;
}

void Print(const std::string& line) {
  const std::string stamped =
      QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")).toStdString() + " " + line + "\n";
  std::fwrite(stamped.data(), 1, stamped.size(), stdout);
  std::fflush(stdout);
}

std::string Endpoint(const std::string& host, std::uint16_t port) {
  const bool v6 = host.find(':') != std::string::npos;
  return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

}  // namespace

int main(int argc, char** argv) {
  vesk::IgnoreFileSignals();
  const std::vector<std::string> args(argv + 1, argv + argc);
  const auto [options, why] = vesk::ParseHubArgs(args);
  if (!options) {
    std::cerr << "vesk-hub: " << why << "\n";
    return vesk::kHubUsageError;
  }
  if (options->help) {
    std::cout << vesk::HubUsage();
    return vesk::kHubStopped;
  }
  if (::pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
    std::perror("vesk-hub: pipe");
    return vesk::kHubCannotListen;
  }
  vesk::HandleStopSignals(OnStop);

  int qtArgc = 1;
  QCoreApplication app(qtArgc, argv);
  vesk::NetAdapter adapter;
  vesk::QtHubTransport transport(adapter);
  vesk::HubLog log(adapter, Print);
  QObject::connect(&transport, &vesk::QtHubTransport::socketFailed, &app, [](int socket, const QString& description) {
    if (socket == 0) Print("концентратор больше не принимает станции: " + description.toStdString());
  });

  if (const std::string failure = adapter.StartHub(options->host, options->port); !failure.empty()) {
    std::cerr << "vesk-hub: cannot listen on " << Endpoint(options->host, options->port) << ": " << failure << "\n";
    return vesk::kHubCannotListen;
  }
  Print("концентратор принимает станции на " + Endpoint(transport.ListeningAddress(), transport.ListeningPort()));

  QSocketNotifier stop(stopPipe[0], QSocketNotifier::Read);
  QObject::connect(&stop, &QSocketNotifier::activated, &app, [&] {
    char drain[16];
    while (::read(stopPipe[0], drain, sizeof drain) > 0) {
    }
    Print(std::string("концентратор остановлен (") + vesk::SignalName(stopSignal) + "); " + log.Summary());
    adapter.Stop();
    QCoreApplication::quit();
  });
  QCoreApplication::exec();
  return vesk::kHubStopped;
}
