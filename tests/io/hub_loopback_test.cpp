// The network adapter over real TCP on 127.0.0.1 with the Qt socket layer:
// one hub and 50 stations in one process. Prints what it measured (handshake
// time, packets per second); the checks are about what arrived, not about time.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpSocket>
#include <QtTest/QTest>
#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "io/net_adapter.h"
#include "io/qt_hub_transport.h"

using namespace vesk;
using namespace std::string_literals;

namespace {

// One copy of the adapter with its socket layer and what it received.
struct Node : NetAdapterListener {
  NetAdapter adapter;
  std::unique_ptr<QtHubTransport> wire;
  std::multiset<std::pair<std::string, std::string>> publics;  // (first, data)
  std::vector<std::pair<std::string, std::string>> privates;   // (first, data) in arrival order
  Node() : wire(std::make_unique<QtHubTransport>(adapter)) { adapter.listeners().add(this); }
  ~Node() override { adapter.listeners().remove(this); }
  void packetReceived(const HubPacket& p) override {
    if (p.isPublic) publics.emplace(p.first, p.data);
    else privates.emplace_back(p.first, p.data);
  }
  bool inDataMode() const { return adapter.SocketMode(0) == 1 && adapter.HubName() == "hub"; }
};

std::string Hex(int byte) {
  static const char* digits = "0123456789abcdef";
  return {digits[(byte >> 4) & 15], digits[byte & 15]};
}

int IndexOfName(const std::string& name) { return std::stoi(name.substr(4)); }

struct Loopback : ::testing::Test {
  Node hub;
  std::vector<std::unique_ptr<Node>> stations;
  std::uint16_t port = 0;

  void SetUp() override {
    ASSERT_EQ(hub.adapter.StartHub("127.0.0.1", 0), "");
    port = hub.wire->ListeningPort();
    ASSERT_NE(port, 0);
  }
  Node& addStation() {
    stations.push_back(std::make_unique<Node>());
    EXPECT_EQ(stations.back()->adapter.StartStation("127.0.0.1", port), "");
    return *stations.back();
  }
  bool allInDataMode() const {
    return std::all_of(stations.begin(), stations.end(), [](const auto& s) { return s->inDataMode(); });
  }
};

}  // namespace

TEST_F(Loopback, FiftyStationsTenThousandPacketsThenRandomDisconnects) {
  constexpr int kStations = 50;
  constexpr int kPackets = 10000;
  QElapsedTimer clock;
  clock.start();
  for (int i = 0; i < kStations; ++i) addStation();
  ASSERT_TRUE(QTest::qWaitFor([&] { return allInDataMode() && hub.adapter.StationCount() == kStations; }, 10000));
  const qint64 handshakeMs = clock.elapsed();

  std::map<std::string, Node*> byName{{"hub", &hub}};
  std::set<int> indices;
  for (auto& s : stations) {
    byName[s->adapter.StationName()] = s.get();
    indices.insert(IndexOfName(s->adapter.StationName()));
  }
  ASSERT_EQ(byName.size(), static_cast<std::size_t>(kStations + 1)) << "every station has its own name";
  EXPECT_EQ(*indices.begin(), 1);
  EXPECT_EQ(*indices.rbegin(), kStations);
  for (const int i : indices) EXPECT_EQ(hub.adapter.SocketMode(i), 1);

  // Every fifth packet is public (a byte to everybody), the rest private, and
  // every 50th private one goes to the hub itself.
  std::map<Node*, std::multiset<std::pair<std::string, std::string>>> expectPublic;
  std::map<Node*, std::vector<std::pair<std::string, std::string>>> expectPrivate;
  std::size_t deliveries = 0;
  clock.restart();
  for (int k = 0; k < kPackets; ++k) {
    Node& from = *stations[static_cast<std::size_t>(k % kStations)];
    const std::string name = from.adapter.StationName();
    if (k % 5 == 0) {
      const int byte = (k / 5) % 256;
      ASSERT_TRUE(from.adapter.SendPublicByte(static_cast<std::uint8_t>(byte)));
      for (auto& [other, node] : byName)
        if (node != &from) {
          expectPublic[node].emplace(name, Hex(byte));
          ++deliveries;
        }
    } else {
      Node* to = k % 50 == 1 ? &hub : stations[static_cast<std::size_t>((k % kStations + 1 + k % 7) % kStations)].get();
      const std::string data = "p" + std::to_string(k);
      ASSERT_TRUE(from.adapter.SendPrivate(to->adapter.StationName(), data));
      expectPrivate[to].emplace_back(name, data);
      ++deliveries;
    }
  }
  auto received = [&] {
    std::size_t n = 0;
    for (auto& [name, node] : byName) n += node->publics.size() + node->privates.size();
    return n;
  };
  ASSERT_TRUE(QTest::qWaitFor([&] { return received() >= deliveries; }, 15000))
      << received() << " of " << deliveries << " deliveries arrived";
  const qint64 packetMs = std::max<qint64>(clock.elapsed(), 1);
  QTest::qWait(50);  // nothing more may come

  for (auto& [name, node] : byName) {
    EXPECT_EQ(node->publics, expectPublic[node]) << name;
    auto got = node->privates;
    auto want = expectPrivate[node];
    std::stable_sort(got.begin(), got.end(), [](auto& a, auto& b) { return a.first < b.first; });
    std::stable_sort(want.begin(), want.end(), [](auto& a, auto& b) { return a.first < b.first; });
    EXPECT_EQ(got, want) << name << ": private packets lost, misdelivered or out of order";
    EXPECT_EQ(node->adapter.ReceiveBuffer().size(), expectPublic[node].size()) << name;
    EXPECT_EQ(node->adapter.DroppedBytes(), 0u) << name;
    EXPECT_EQ(node->adapter.DroppedMessages(), 0u) << name;
  }

  // Twenty stations leave at random; the hub keeps exactly the others.
  std::mt19937 random(2026);
  std::vector<Node*> order;
  for (auto& s : stations) order.push_back(s.get());
  std::shuffle(order.begin(), order.end(), random);
  std::set<int> remaining = indices;
  for (int i = 0; i < 20; ++i) {
    order[static_cast<std::size_t>(i)]->adapter.Stop();
    remaining.erase(IndexOfName(order[static_cast<std::size_t>(i)]->adapter.StationName()));
  }
  ASSERT_TRUE(QTest::qWaitFor([&] { return hub.adapter.StationCount() == kStations - 20; }, 5000));
  std::vector<int> expected{0};
  expected.insert(expected.end(), remaining.begin(), remaining.end());
  EXPECT_EQ(hub.adapter.SocketIndices(), expected);

  // One that left comes back: it gets one more than the highest index in use.
  Node* back = order[0];
  ASSERT_EQ(back->adapter.StartStation("127.0.0.1", port), "");
  ASSERT_TRUE(QTest::qWaitFor([&] { return back->inDataMode(); }, 5000));
  EXPECT_EQ(back->adapter.StationName(), "vesk" + std::to_string(*remaining.rbegin() + 1));

  for (auto& s : stations) s->adapter.Stop();
  ASSERT_TRUE(QTest::qWaitFor([&] { return hub.adapter.StationCount() == 0; }, 5000));
  EXPECT_EQ(hub.adapter.SocketIndices(), std::vector<int>{0});

  std::printf("[ figures  ] %d handshakes in %lld ms; %d packets (%zu deliveries) in %lld ms: %.0f packets/s, %.0f deliveries/s\n",
              kStations, static_cast<long long>(handshakeMs), kPackets, deliveries, static_cast<long long>(packetMs),
              kPackets * 1000.0 / static_cast<double>(packetMs), static_cast<double>(deliveries) * 1000.0 / static_cast<double>(packetMs));
}

TEST_F(Loopback, PartialGarbageAndOversizedInputLeaveTheHubWorking) {
  QTcpSocket raw;
  raw.connectToHost("127.0.0.1", port);
  ASSERT_TRUE(raw.waitForConnected(3000));
  ASSERT_TRUE(QTest::qWaitFor([&] { return hub.adapter.StationCount() == 1; }, 3000));
  // The name request cut in two writes, with garbage and an oversized run before it.
  raw.write("\xff\xfe garbage\0"s.data(), 11);
  raw.write(std::string(10000, 'x').c_str());
  raw.write("\0quon-autho"s.data(), 11);
  raw.flush();
  QTest::qWait(30);
  raw.write("rize.\0"s.data(), 6);
  std::string got;
  ASSERT_TRUE(QTest::qWaitFor([&] {
    got += raw.readAll().toStdString();
    return got.find('\0') != std::string::npos;
  }, 3000));
  EXPECT_EQ(got, "quon-name:vesk1\0"s);
  // Disconnect in the middle of a message: the socket goes, nothing leaks.
  raw.write("quon-accepted:ve");
  raw.flush();
  raw.abort();
  ASSERT_TRUE(QTest::qWaitFor([&] { return hub.adapter.StationCount() == 0; }, 3000));
  EXPECT_EQ(hub.adapter.SocketIndices(), std::vector<int>{0});
  Node& s = addStation();
  ASSERT_TRUE(QTest::qWaitFor([&] { return s.inDataMode(); }, 3000));
  EXPECT_EQ(s.adapter.StationName(), "vesk1");
}

// 253 stations connect at once and do their handshakes: 250 get in, the
// last three are closed for want of a place.
TEST_F(Loopback, AtMost250StationsInDataModeFurtherOnesAreClosed) {
  struct Raw {
    std::unique_ptr<QTcpSocket> socket = std::make_unique<QTcpSocket>();
    std::string got;
    bool authorized = false, accepted = false;
  };
  std::vector<Raw> raws(NetAdapter::kMaxStations + 3);
  for (Raw& r : raws) r.socket->connectToHost("127.0.0.1", port);
  // One pass over the raw stations: each speaks its part of the handshake
  // when it can. Returns how many were closed by the hub.
  const auto step = [&raws] {
    int closed = 0;
    for (Raw& r : raws) {
      if (r.socket->state() == QAbstractSocket::UnconnectedState) {
        ++closed;
        continue;
      }
      if (r.socket->state() != QAbstractSocket::ConnectedState) continue;
      if (!r.authorized) r.socket->write("quon-authorize.\0", 16);
      r.authorized = true;
      r.got += r.socket->readAll().toStdString();
      const std::size_t at = r.got.find("quon-name:");
      const std::size_t end = at == std::string::npos ? at : r.got.find('\0', at);
      if (r.accepted || end == std::string::npos) continue;
      const std::string reply = "quon-accepted:" + r.got.substr(at + 10, end - at - 10) + '\0';
      r.socket->write(reply.data(), static_cast<qint64>(reply.size()));
      r.accepted = true;
    }
    return closed;
  };
  const auto inDataMode = [this] { return hub.adapter.StationCount() - hub.adapter.HandshakeCount(); };
  ASSERT_TRUE(QTest::qWaitFor([&] { return step() == 3 && inDataMode() == NetAdapter::kMaxStations; }, 30000))
      << inDataMode() << " stations in data mode, " << hub.adapter.HandshakeCount() << " in their handshake, "
      << hub.adapter.WaitingCount() << " waiting, " << step() << " closed";
  EXPECT_EQ(hub.adapter.StationCount(), NetAdapter::kMaxStations);
  for (Raw& r : raws) r.socket->abort();
  ASSERT_TRUE(QTest::qWaitFor([&] { return hub.adapter.StationCount() == 0; }, 10000));
}

TEST_F(Loopback, AStationWhoseHubWentAwayCanConnectAgain) {
  Node& s = addStation();
  ASSERT_TRUE(QTest::qWaitFor([&] { return s.inDataMode(); }, 3000));
  hub.adapter.Stop();  // the hub closes everything, its listening socket too
  ASSERT_TRUE(QTest::qWaitFor([&] { return s.adapter.SocketMode(0) == 0; }, 3000));
  EXPECT_FALSE(s.adapter.SendPublicByte(0x41));
  EXPECT_EQ(s.adapter.StartStation("127.0.0.1", port), "");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !s.adapter.PollTimerEnabled(); }, 3000)) << "the refused attempt ends the polling";
  EXPECT_EQ(s.adapter.SocketMode(0), 0);

  ASSERT_EQ(hub.adapter.StartHub("127.0.0.1", port), "");
  EXPECT_EQ(s.adapter.StartStation("127.0.0.1", port), "");
  ASSERT_TRUE(QTest::qWaitFor([&] { return s.inDataMode(); }, 3000));
  EXPECT_TRUE(s.adapter.SendPublicByte(0x41));
  ASSERT_TRUE(QTest::qWaitFor([&] { return hub.adapter.ReceiveBuffer() == "A"; }, 3000));
}

TEST_F(Loopback, AnErrorOnTheListeningSocketKeepsTheStations) {
  Node& a = addStation();
  Node& b = addStation();
  ASSERT_TRUE(QTest::qWaitFor([&] { return allInDataMode(); }, 3000));
  hub.adapter.SocketError(0, 1, "listening failed");
  EXPECT_EQ(hub.wire->ListeningPort(), 0);
  QTest::qWait(20);  // whatever Qt deletes later is gone now
  EXPECT_EQ(hub.adapter.StationCount(), 2);
  EXPECT_TRUE(a.adapter.SendPublicByte(0x31));
  ASSERT_TRUE(QTest::qWaitFor([&] { return b.adapter.ReceiveBuffer() == "1" && hub.adapter.ReceiveBuffer() == "1"; }, 3000));
  Node& late = addStation();
  QTest::qWait(300);
  EXPECT_FALSE(late.inDataMode()) << "nobody listens any more";
  EXPECT_EQ(hub.adapter.StationCount(), 2);
}

TEST(LoopbackListen, ASecondHubOnTheSamePortIsRefusedWithAReason) {
  Node first, second;
  ASSERT_EQ(first.adapter.StartHub("127.0.0.1", 0), "");
  const std::string why = second.adapter.StartHub("127.0.0.1", first.wire->ListeningPort());
  EXPECT_FALSE(why.empty());
  EXPECT_EQ(second.wire->ListeningPort(), 0);
  EXPECT_NE(second.adapter.StartHub("not an address", 5000), "");
}

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
