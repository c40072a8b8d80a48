// vesk-hub under a flood: one station sends public packets as fast as it
// can, a second never reads, a third reads everything. Reports when the hub
// dropped the one that does not read, the packets per second it passed on,
// and its peak resident memory (target: under 64 MB).
// Usage: bench_hub_flood [packets]        (default 20000000)
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "support/child_process.h"
#include "support/hub_client.h"
#include "support/temp_dir.h"

using vesk::testing::ChildProcess;
using vesk::testing::HubClient;

namespace {

long HubKiB(pid_t pid, const char* field) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::string(field).size());
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t packets = argc > 1 ? static_cast<std::size_t>(std::atoll(argv[1])) : 20000000;
  vesk::testing::TempDir dir;
  ChildProcess hub(VESK_HUB_PATH, {"--listen", "127.0.0.1:0"}, dir / "log.txt", dir / "err.txt");
  const std::string marker = "концентратор принимает станции на 127.0.0.1:";
  if (!ChildProcess::WaitFor([&] { return hub.Out().find('\n') != std::string::npos; }, 10)) {
    std::fprintf(stderr, "vesk-hub did not start: %s\n", hub.Err().c_str());
    return 1;
  }
  const auto port = static_cast<std::uint16_t>(std::stoi(hub.Out().substr(hub.Out().find(marker) + marker.size())));
  const long base = HubKiB(hub.pid(), "VmRSS:");

  HubClient flooder, sleeper, reader;
  if (!flooder.Connect(port) || flooder.Handshake().empty() || !sleeper.Connect(port, 4096) ||
      sleeper.Handshake().empty() || !reader.Connect(port) || reader.Handshake().empty()) {
    std::fprintf(stderr, "the stations could not join\n");
    return 1;
  }
  constexpr std::size_t kPacket = 23;
  std::string batch;
  for (int i = 0; i < 4096; ++i) batch.append("public-packet:vesk1;41\0", kPacket);
  const std::size_t total = packets * kPacket;
  const std::string dropped = "станция vesk2 отключена: не принимает данные";
  std::size_t sent = 0, received = 0, offset = 0, sentAtDrop = 0;
  long peakDuring = 0;
  char buffer[1 << 16];
  const auto start = std::chrono::steady_clock::now();
  int checks = 0;
  while (received < total) {
    const bool sending = sent < total;
    pollfd p[2] = {{flooder.fd(), static_cast<short>(sending ? POLLOUT : 0), 0}, {reader.fd(), POLLIN, 0}};
    if (::poll(p, 2, 10000) <= 0) {
      std::fprintf(stderr, "the flood stalled after %zu of %zu packets\n", received / kPacket, packets);
      break;
    }
    if (sending && (p[0].revents & POLLOUT) != 0) {
      const std::size_t length = std::min(batch.size() - offset, total - sent);
      const ssize_t n = ::send(flooder.fd(), batch.data() + offset, length, MSG_NOSIGNAL | MSG_DONTWAIT);
      if (n > 0) {
        offset = (offset + static_cast<std::size_t>(n)) % batch.size();
        sent += static_cast<std::size_t>(n);
      }
    }
    if ((p[1].revents & POLLIN) != 0) {
      const ssize_t n = ::recv(reader.fd(), buffer, sizeof buffer, 0);
      if (n <= 0) {
        std::fprintf(stderr, "the reading station was disconnected\n");
        break;
      }
      received += static_cast<std::size_t>(n);
    }
    if (++checks % 256 == 0) {
      peakDuring = std::max(peakDuring, HubKiB(hub.pid(), "VmRSS:"));
      if (sentAtDrop == 0 && hub.Out().find(dropped) != std::string::npos) sentAtDrop = sent;
    }
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (sentAtDrop == 0 && hub.Out().find(dropped) != std::string::npos) sentAtDrop = sent;
  const long peak = HubKiB(hub.pid(), "VmHWM:");
  std::printf("%zu packets (%.0f MB) through the hub in %.1f s: %.0f packets/s to the reading station\n",
              received / kPacket, received / 1048576.0, seconds, received / kPacket / seconds);
  if (sentAtDrop != 0)
    std::printf("the station that never reads was dropped after %.1f MB had been sent\n", sentAtDrop / 1048576.0);
  else
    std::printf("the station that never reads was NOT dropped\n");
  std::printf("hub resident memory: %.1f MB at the start, peak %.1f MB (target: under 64 MB)\n", base / 1024.0,
              peak / 1024.0);
  hub.Signal(SIGTERM);
  hub.Wait(10);
  const std::string log = hub.Out();
  const std::size_t summary = log.rfind("итог:");
  if (summary != std::string::npos) std::printf("hub: %s", log.substr(summary).c_str());
  return sentAtDrop != 0 && peak < 64 * 1024 ? 0 : 1;
}
