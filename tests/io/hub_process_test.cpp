// vesk-hub as a child process, attacked from outside as a classroom network
// could attack it: a station that floods while another never reads, and a
// crowd of connections that never finish their handshake.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/hub_client.h"
#include "support/temp_dir.h"

using vesk::testing::ChildProcess;
using vesk::testing::HubClient;
using vesk::testing::TempDir;

namespace {

struct Hub : ::testing::Test {
  TempDir dir;
  std::unique_ptr<ChildProcess> hub;
  std::uint16_t port = 0;

  // How the hub is started (a test of nohup's way overrides it).
  virtual ChildProcess::Options Started() const { return {}; }

  void SetUp() override {
    hub = std::make_unique<ChildProcess>(VESK_HUB_PATH, std::vector<std::string>{"--listen", "127.0.0.1:0"},
                                         dir / "log.txt", dir / "err.txt", Started());
    const std::string marker = "концентратор принимает станции на 127.0.0.1:";
    ASSERT_TRUE(ChildProcess::WaitFor([&] { return hub->Out().find('\n') != std::string::npos; })) << hub->Err();
    const std::string first = hub->Out();
    const std::size_t at = first.find(marker);
    ASSERT_NE(at, std::string::npos) << first;
    port = static_cast<std::uint16_t>(std::stoi(first.substr(at + marker.size())));
  }
  bool Logged(const std::string& text, double seconds = 10) const {
    return ChildProcess::WaitFor([&] { return hub->Out().find(text) != std::string::npos; }, seconds);
  }
  // The hub's peak resident memory, from the kernel's count.
  std::string PeakMemory() const {
    std::ifstream status("/proc/" + std::to_string(hub->pid()) + "/status");
    for (std::string line; std::getline(status, line);)
      if (line.rfind("VmHWM:", 0) == 0) return line.substr(6);
    return "?";
  }
};

struct HubUnderNohup : Hub {
  ChildProcess::Options Started() const override { return {.hangUpIgnored = true}; }
};

}  // namespace

TEST(HubCommandLine, HelpBadOptionsAndAnAddressInUse) {
  TempDir dir;
  const auto run = [&](const std::vector<std::string>& args) {
    ChildProcess p(VESK_HUB_PATH, args, dir / "out.txt", dir / "err.txt");
    const auto status = p.Wait(30);
    return std::make_tuple(status && WIFEXITED(*status) ? WEXITSTATUS(*status) : -1, p.Out(), p.Err());
  };
  const auto [help, usage, helpErr] = run({"--help"});
  EXPECT_EQ(help, 0);
  EXPECT_EQ(usage.rfind("Usage: vesk-hub [OPTIONS]\n", 0), 0u) << usage;
  for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
           {"--bogus"}, {"--listen"}, {"--listen", "localhost:20100"}, {"--listen", "127.0.0.1"},
           {"--listen", "127.0.0.1:65536"}, {"--listen", "300.0.0.1:1"}, {"--listen", ""}}) {
    const auto [status, out, err] = run(bad);
    EXPECT_EQ(status, 2) << bad.back();
    EXPECT_EQ(err.rfind("vesk-hub: ", 0), 0u) << err;
    EXPECT_EQ(out, "");
  }
  HubClient squatter;
  ChildProcess first(VESK_HUB_PATH, {"--listen", "127.0.0.1:0"}, dir / "first.txt", dir / "first-err.txt");
  ASSERT_TRUE(ChildProcess::WaitFor([&] { return first.Out().find('\n') != std::string::npos; }));
  const std::string line = first.Out();
  const std::string taken = line.substr(line.rfind(':') + 1, line.find('\n') - line.rfind(':') - 1);
  const auto [status, out, err] = run({"--listen", "127.0.0.1:" + taken});
  EXPECT_EQ(status, 1);
  EXPECT_EQ(err.rfind("vesk-hub: cannot listen on 127.0.0.1:" + taken + ": ", 0), 0u) << err;
}

TEST_F(Hub, LogsJoinsAndLeavesAndEndsWithASummaryOnATerminationSignal) {
  HubClient a, b;
  ASSERT_TRUE(a.Connect(port));
  ASSERT_EQ(a.Handshake(), "vesk1");
  ASSERT_TRUE(b.Connect(port));
  ASSERT_EQ(b.Handshake(), "vesk2");
  ASSERT_TRUE(Logged("станция vesk2 подключилась (127.0.0.1:"));
  ASSERT_TRUE(a.Send(std::string("public-packet:vesk1;41\0", 23)));
  EXPECT_EQ(b.Receive(), "public-packet:vesk1;41");
  a.Close();
  ASSERT_TRUE(Logged("станция vesk1 отключилась"));
  hub->Signal(SIGTERM);
  const auto status = hub->Wait();
  ASSERT_TRUE(status);
  ASSERT_TRUE(WIFEXITED(*status));
  EXPECT_EQ(WEXITSTATUS(*status), 0);
  EXPECT_NE(hub->Out().find("концентратор остановлен (SIGTERM); итог: станций подключалось 2, отключилось 1, "
                            "отключено концентратором 0, подключений отклонено 0; сейчас станций 1; пакетов передано 1\n"),
            std::string::npos)
      << hub->Out();
  EXPECT_TRUE(b.ClosedByPeer());
}

// A station floods public packets while another never reads: the hub
// disconnects the one that does not read, and goes on serving the others.
TEST_F(Hub, AStationThatNeverReadsIsDisconnectedWhileAnotherFloods) {
  HubClient flooder, sleeper, reader;
  ASSERT_TRUE(flooder.Connect(port));
  ASSERT_EQ(flooder.Handshake(), "vesk1");
  ASSERT_TRUE(sleeper.Connect(port, 4096));
  ASSERT_EQ(sleeper.Handshake(), "vesk2");
  ASSERT_TRUE(reader.Connect(port));
  ASSERT_EQ(reader.Handshake(), "vesk3");

  constexpr std::size_t kPacket = 23;
  std::string batch;
  for (int i = 0; i < 2048; ++i) batch.append("public-packet:vesk1;41\0", kPacket);
  const std::size_t cap = std::size_t{256} << 20;  // far beyond what a bounded hub needs
  const std::string line = "станция vesk2 отключена: не принимает данные";
  std::size_t sent = 0, received = 0, sentAtDisconnect = 0, offset = 0;
  bool stopping = false;
  char buffer[1 << 16];
  for (;;) {
    // After the disconnection: finish the packet under way, then take what is left.
    const bool sending = !stopping || offset % kPacket != 0;
    if ((!sending && received >= sent) || sent >= cap) break;
    pollfd p[2] = {{flooder.fd(), static_cast<short>(sending ? POLLOUT : 0), 0}, {reader.fd(), POLLIN, 0}};
    if (::poll(p, 2, 5000) <= 0) break;
    if (sending && (p[0].revents & POLLOUT) != 0) {
      const std::size_t length = stopping ? kPacket - offset % kPacket : batch.size() - offset;
      const ssize_t n = ::send(flooder.fd(), batch.data() + offset, length, MSG_NOSIGNAL | MSG_DONTWAIT);
      if (n > 0) {
        offset = (offset + static_cast<std::size_t>(n)) % batch.size();
        sent += static_cast<std::size_t>(n);
      }
    }
    if ((p[1].revents & POLLIN) != 0) {
      const ssize_t n = ::recv(reader.fd(), buffer, sizeof buffer, 0);
      ASSERT_GT(n, 0) << "the reading station must stay connected";
      received += static_cast<std::size_t>(n);
    }
    if (!stopping && hub->Out().find(line) != std::string::npos) {
      stopping = true;
      sentAtDisconnect = sent;
    }
  }
  std::printf("[ figures  ] %zu MB flooded until the never-reading station went; hub peak memory%s\n",
              sentAtDisconnect >> 20, PeakMemory().c_str());
  ASSERT_NE(sentAtDisconnect, 0u) << "the station that never reads is still connected after " << (sent >> 20) << " MB";
  EXPECT_LT(sentAtDisconnect, std::size_t{64} << 20);
  EXPECT_EQ(received, sent) << "the reading station got every packet";
  EXPECT_TRUE(sleeper.ClosedByPeer());
  EXPECT_EQ(hub->Out().find("vesk3 отключена"), std::string::npos);
}

// Connections that never finish their handshake cannot lock out a station.
TEST_F(Hub, ThreeHundredIdleConnectionsThenARealStationJoins) {
  std::vector<std::unique_ptr<HubClient>> idle;
  for (int i = 0; i < 300; ++i) {
    idle.push_back(std::make_unique<HubClient>());
    ASSERT_TRUE(idle.back()->Connect(port)) << i;
  }
  ASSERT_TRUE(Logged("молчит, а другие ждут очереди"));
  HubClient real;
  ASSERT_TRUE(real.Connect(port));
  const auto start = std::chrono::steady_clock::now();
  // Well below the 10 s handshake deadline, so only the rules for the crowd can let it in.
  const std::string name = real.Handshake(5);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("[ figures  ] a station joined %.3f s after connecting behind 300 idle connections\n", seconds);
  ASSERT_FALSE(name.empty()) << "the station was locked out";
  ASSERT_TRUE(Logged("станция " + name + " подключилась"));
  // The idle ones went as the station came; those that last took the 32
  // places of the handshake stay until their 10 s run out, as nobody waits.
  int closed = 0;
  for (auto& c : idle) closed += c->ClosedByPeer(0.01) ? 1 : 0;
  EXPECT_GE(closed, 300 - 32);
}

// A teacher starts the hub with nohup and logs out: the SIGHUP it was started
// ignoring stays ignored, and SIGTERM still ends it with its summary.
TEST_F(HubUnderNohup, AHangUpIgnoredAtTheStartStaysIgnored) {
  hub->Signal(SIGHUP);
  // The signal is pending from here on: a hub that took it would stop before
  // the several turns of its event loop a handshake needs.
  HubClient station;
  ASSERT_TRUE(station.Connect(port));
  EXPECT_EQ(station.Handshake(), "vesk1") << hub->Out();
  hub->Signal(SIGTERM);
  const auto status = hub->Wait();
  ASSERT_TRUE(status && WIFEXITED(*status));
  EXPECT_EQ(WEXITSTATUS(*status), 0);
  EXPECT_NE(hub->Out().find("концентратор остановлен (SIGTERM)"), std::string::npos) << hub->Out();
  EXPECT_EQ(hub->Out().find("(SIGHUP)"), std::string::npos) << hub->Out();
}
