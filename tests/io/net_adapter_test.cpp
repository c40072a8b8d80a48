#include "io/net_adapter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/hub_transports.h"

using namespace vesk;
using namespace std::string_literals;
using Messages = std::vector<std::string>;

namespace {

struct Recorder : NetAdapterListener {
  std::vector<HubPacket> packets;
  std::vector<bool> timer;
  std::vector<HubEvent> events;
  int states = 0, buffers = 0;
  void adapterStateChanged() override { ++states; }
  void receiveBufferChanged() override { ++buffers; }
  void pollTimerChanged(bool enabled) override { timer.push_back(enabled); }
  void packetReceived(const HubPacket& p) override { packets.push_back(p); }
  void hubEvent(const HubEvent& e) override { events.push_back(e); }
  std::vector<std::string> lines() const {
    std::vector<std::string> out;
    for (const HubEvent& e : events) out.push_back(HubEventText(e));
    return out;
  }
};

struct AdapterFixture : ::testing::Test {
  NetAdapter adapter;
  vesk::testing::RecordingTransport wire;
  Recorder seen;
  void SetUp() override {
    adapter.setTransport(&wire);
    adapter.listeners().add(&seen);
  }
  // A station connected to its hub and named `name`, in data mode.
  void station(const std::string& name = "vesk1") {
    ASSERT_EQ(adapter.StartStation("127.0.0.1", 4000), "");
    wire.connected.insert(0);
    adapter.DataArrival(0, "quon-name:" + name + '\0' + "quon-switching2dm.\0srvname:hub\0"s);
    ASSERT_EQ(adapter.SocketMode(0), 1);
    wire.sent.clear();
    wire.closed.clear();
  }
  // A hub with stations on sockets 1..n, all in data mode.
  void hub(int n) {
    ASSERT_EQ(adapter.StartHub("127.0.0.1", 4000), "");
    for (int i = 1; i <= n; ++i) {
      adapter.ConnectionRequest(0, 100 + i);
      adapter.DataArrival(i, "quon-authorize.\0quon-accepted:vesk"s + std::to_string(i) + '\0');
      ASSERT_EQ(adapter.SocketMode(i), 1);
    }
    wire.sent.clear();
    wire.closed.clear();
  }
};

}  // namespace

TEST_F(AdapterFixture, StartsAsAnIdleStationWithSocketZeroOnly) {
  NetAdapter fresh;
  EXPECT_FALSE(fresh.HubRole());
  EXPECT_EQ(fresh.StationName(), "");
  EXPECT_EQ(fresh.HubName(), "");
  EXPECT_EQ(fresh.ReceiveBuffer(), "");
  EXPECT_FALSE(fresh.PollTimerEnabled());
  EXPECT_EQ(fresh.SocketIndices(), std::vector<int>{0});
  EXPECT_EQ(fresh.SocketMode(0), 0);
  EXPECT_FALSE(fresh.SocketMode(1).has_value());
  // Without a socket layer nothing goes anywhere and nothing breaks.
  fresh.SendHubMessage(0, "quon-authorize.");
  EXPECT_FALSE(fresh.SendPublicByte(0x41));
  EXPECT_NE(fresh.StartStation("127.0.0.1", 1), "");
  fresh.ConnectionRequest(0, 1);
  EXPECT_EQ(fresh.SocketIndices(), std::vector<int>{0});
}

TEST_F(AdapterFixture, SendHubMessageAddsOneZeroAndSendsOnlyWhenConnected) {
  adapter.SendHubMessage(0, "quon-authorize.");
  EXPECT_TRUE(wire.sent.empty());
  wire.connected.insert(0);
  adapter.SendHubMessage(0, "quon-authorize.");
  ASSERT_EQ(wire.sent[0].size(), 1u);
  EXPECT_EQ(wire.sent[0][0], "quon-authorize.\0"s);
}

TEST_F(AdapterFixture, PollTimerAuthorizesOnceSocketZeroIsConnected) {
  adapter.PollTick();
  wire.connected.insert(0);
  adapter.PollTick();
  EXPECT_TRUE(wire.sent.empty()) << "a disabled timer does nothing";

  wire.connected.clear();
  ASSERT_EQ(adapter.StartStation("127.0.0.1", 4000), "");
  EXPECT_TRUE(adapter.PollTimerEnabled());
  adapter.PollTick();
  EXPECT_TRUE(adapter.PollTimerEnabled()) << "not connected yet: keep polling";
  EXPECT_TRUE(wire.sent.empty());
  wire.connected.insert(0);
  adapter.PollTick();
  EXPECT_FALSE(adapter.PollTimerEnabled());
  adapter.PollTick();
  EXPECT_EQ(wire.Messages(0), Messages{"quon-authorize."});
  EXPECT_EQ(seen.timer, (std::vector<bool>{true, false}));
}

TEST_F(AdapterFixture, StationTakesItsNameInAnyCaseAndAccepts) {
  ASSERT_EQ(adapter.StartStation("127.0.0.1", 4000), "");
  wire.connected.insert(0);
  adapter.HandleHubMessage("QUON-NAME:Vesk3", 0);
  EXPECT_EQ(adapter.StationName(), "vesk3");
  EXPECT_EQ(wire.Messages(0), Messages{"quon-accepted:vesk3"});
  EXPECT_EQ(adapter.SocketMode(0), 0) << "the name alone does not switch";
}

TEST_F(AdapterFixture, OneArrivalSwitchesToDataModeThenSetsTheHubName) {
  ASSERT_EQ(adapter.StartStation("127.0.0.1", 4000), "");
  adapter.DataArrival(0, "quon-switching2dm.\0srvname:VESK0\0"s);
  EXPECT_EQ(adapter.SocketMode(0), 1);
  EXPECT_EQ(adapter.HubName(), "vesk0");

  // In the other order the name comes in handshake mode and is ignored.
  NetAdapter other;
  other.DataArrival(0, "srvname:vesk0\0quon-switching2dm.\0"s);
  EXPECT_EQ(other.SocketMode(0), 1);
  EXPECT_EQ(other.HubName(), "");
}

TEST_F(AdapterFixture, TheUnterminatedLastMessageOfAnArrivalIsLost) {
  ASSERT_EQ(adapter.StartStation("127.0.0.1", 4000), "");
  adapter.DataArrival(0, "\0\0quon-switching2dm.\0\0srvname:hub"s);
  EXPECT_EQ(adapter.SocketMode(0), 1);
  EXPECT_EQ(adapter.HubName(), "");
  adapter.DataArrival(0, "\0"s);
  EXPECT_EQ(adapter.HubName(), "") << "nothing is carried over to the next arrival";
}

TEST_F(AdapterFixture, HandshakeIgnoresWhatDoesNotStartWithQuon) {
  ASSERT_EQ(adapter.StartStation("127.0.0.1", 4000), "");
  wire.connected.insert(0);
  adapter.DataArrival(0, "name:vesk1\0xquon-name:vesk1\0public-packet:x;41\0srvname:hub\0"s);
  EXPECT_EQ(adapter.StationName(), "");
  EXPECT_EQ(adapter.ReceiveBuffer(), "") << "packets in handshake mode are ignored";
  EXPECT_EQ(adapter.HubName(), "");
  EXPECT_TRUE(wire.sent.empty());
  adapter.DataArrival(0, "quon-something-else\0"s);
  EXPECT_EQ(adapter.SocketMode(0), 0);
}

TEST_F(AdapterFixture, DataModeIgnoresHandshakeMessages) {
  station("vesk1");
  adapter.DataArrival(0, "quon-name:vesk9\0quon-switching2dm.\0quon-authorize.\0"s);
  EXPECT_EQ(adapter.StationName(), "vesk1");
  EXPECT_EQ(adapter.SocketMode(0), 1);
  EXPECT_TRUE(wire.sent.empty());
}

TEST_F(AdapterFixture, PublicPacketsAppendTheirByte) {
  station();
  adapter.HandleHubMessage("public-packet:x;41", 0);
  adapter.HandleHubMessage("PUBLIC-PACKET:Vesk2;4A", 0);
  adapter.HandleHubMessage("public-packet:;7", 0);
  adapter.HandleHubMessage("public-packet:a;b;41", 0);  // data "b;41" is no code
  adapter.HandleHubMessage("public-packet:x;zz", 0);
  adapter.HandleHubMessage("public-packet:x;041", 0);
  adapter.HandleHubMessage("public-packet:x;", 0);
  adapter.HandleHubMessage("public-packet:x41", 0);  // no ';'
  EXPECT_EQ(adapter.ReceiveBuffer(), "AJ\x07");
  ASSERT_EQ(seen.packets.size(), 3u);
  EXPECT_TRUE(seen.packets[1].isPublic);
  EXPECT_EQ(seen.packets[1].first, "vesk2");
  EXPECT_EQ(seen.packets[1].data, "4a");
  EXPECT_EQ(adapter.TakeReceivedByte(), std::optional<std::uint8_t>(0x41));
  EXPECT_EQ(adapter.ReceiveBuffer(), "J\x07");
  EXPECT_TRUE(wire.sent.empty()) << "a station relays nothing";
}

TEST_F(AdapterFixture, APrivatePacketIsRecognisedOnlyByItsRecipient) {
  station("vesk1");
  adapter.HandleHubMessage("private-packet:x;vesk1;hello", 0);
  ASSERT_EQ(seen.packets.size(), 1u);
  EXPECT_FALSE(seen.packets[0].isPublic);
  EXPECT_EQ(seen.packets[0].recipient, "vesk1");
  EXPECT_EQ(seen.packets[0].data, "hello");
  EXPECT_EQ(adapter.ReceiveBuffer(), "") << "it changes nothing else";
  EXPECT_EQ(adapter.StationName(), "vesk1");
  adapter.HandleHubMessage("private-packet:x;vesk2;hello", 0);
  adapter.HandleHubMessage("private-packet:x;vesk1", 0);
  adapter.HandleHubMessage("private-packet:vesk1", 0);
  EXPECT_EQ(seen.packets.size(), 1u);
  EXPECT_TRUE(wire.sent.empty());
}

TEST_F(AdapterFixture, HubNamesEachStationAfterItsSocket) {
  ASSERT_EQ(adapter.StartHub("127.0.0.1", 4000), "");
  EXPECT_TRUE(adapter.HubRole());
  EXPECT_EQ(adapter.StationName(), "hub");
  adapter.ConnectionRequest(0, 7);
  adapter.ConnectionRequest(0, 8);
  EXPECT_EQ(wire.accepted, (std::vector<std::pair<int, int>>{{7, 1}, {8, 2}}));
  EXPECT_EQ(adapter.SocketMode(2), 0);
  adapter.HandleHubMessage("quon-authorize.", 1);
  EXPECT_EQ(wire.Messages(1), Messages{"quon-name:vesk1"});

  adapter.HandleHubMessage("quon-accepted:vesk2", 1);
  EXPECT_EQ(wire.Messages(1), Messages{"quon-name:vesk1"}) << "the wrong name changes nothing";
  EXPECT_EQ(adapter.SocketMode(1), 0);

  adapter.HandleHubMessage("quon-accepted:vesk2", 2);
  ASSERT_EQ(wire.sent[2].size(), 1u) << "switch and name go in one transmission";
  EXPECT_EQ(wire.sent[2][0], "quon-switching2dm.\0srvname:hub\0"s);
  EXPECT_EQ(adapter.SocketMode(2), 1);
}

TEST_F(AdapterFixture, HubTakesPublicPacketsAndPassesThemToEveryOtherStationInDataMode) {
  hub(3);
  adapter.ConnectionRequest(0, 200);  // socket 4, still in handshake
  wire.sent.clear();
  adapter.HandleHubMessage("public-packet:vesk1;5A", 1);
  EXPECT_EQ(adapter.ReceiveBuffer(), "Z");
  EXPECT_EQ(wire.sent.count(1), 0u) << "not back to the sender";
  EXPECT_EQ(wire.Messages(2), Messages{"public-packet:vesk1;5a"});
  EXPECT_EQ(wire.Messages(3), Messages{"public-packet:vesk1;5a"});
  EXPECT_EQ(wire.sent.count(4), 0u) << "not to a station still in handshake";
  adapter.HandleHubMessage("public-packet:vesk4;41", 4);
  EXPECT_EQ(adapter.ReceiveBuffer(), "Z") << "nor from it";
}

TEST_F(AdapterFixture, HubPassesPrivatePacketsToTheNamedStationOnly) {
  hub(3);
  adapter.HandleHubMessage("private-packet:vesk1;vesk3;Hi", 1);
  EXPECT_EQ(wire.Messages(3), Messages{"private-packet:vesk1;vesk3;hi"});
  EXPECT_EQ(wire.sent.count(2), 0u);
  EXPECT_TRUE(seen.packets.empty());
  for (const char* recipient : {"vesk9", "vesk03", "vesk", "vesk0", "vesk-1", "vesk99999999999"})
    adapter.HandleHubMessage("private-packet:vesk1;"s + recipient + ";x", 1);
  EXPECT_EQ(wire.sent.size(), 1u) << "unknown names go nowhere";
  adapter.HandleHubMessage("private-packet:vesk1;hub;for you", 1);
  ASSERT_EQ(seen.packets.size(), 1u);
  EXPECT_EQ(seen.packets[0].data, "for you");
  EXPECT_EQ(seen.packets[0].socket, 1);
}

TEST_F(AdapterFixture, ANewSocketGetsOneMoreThanTheHighestIndexInUse) {
  ASSERT_EQ(adapter.StartHub("127.0.0.1", 4000), "");
  wire.closed.clear();
  for (int r = 1; r <= 3; ++r) adapter.ConnectionRequest(0, r);
  EXPECT_EQ(adapter.SocketIndices(), (std::vector<int>{0, 1, 2, 3}));
  adapter.SocketClosed(3);
  adapter.ConnectionRequest(0, 4);
  EXPECT_EQ(adapter.SocketIndices(), (std::vector<int>{0, 1, 2, 3})) << "the highest index is free again";
  adapter.SocketError(2, 10054, "reset");
  adapter.ConnectionRequest(0, 5);
  EXPECT_EQ(adapter.SocketIndices(), (std::vector<int>{0, 1, 3, 4})) << "a gap below the highest is not filled";
  EXPECT_EQ(wire.accepted.back(), std::make_pair(5, 4));
  EXPECT_EQ(wire.closed, (std::vector<int>{3, 2}));
}

TEST_F(AdapterFixture, RequestsThatCannotBeTakenAreRefusedAtOnce) {
  adapter.ConnectionRequest(0, 1);  // a station takes no connections
  ASSERT_EQ(adapter.StartHub("127.0.0.1", 4000), "");
  adapter.ConnectionRequest(0, 2);
  adapter.ConnectionRequest(1, 3);  // only socket 0 takes requests
  wire.acceptSucceeds = false;
  adapter.ConnectionRequest(0, 4);  // the peer left before it was taken
  EXPECT_EQ(wire.refused, (std::vector<int>{1, 3}));
  EXPECT_EQ(adapter.SocketIndices(), (std::vector<int>{0, 1}));
}

TEST_F(AdapterFixture, AtMost250StationsInDataModeAndTheRestAreRefusedWithAReason) {
  hub(NetAdapter::kMaxStations);
  seen.events.clear();
  wire.refusedPeers[900] = "10.0.0.9:5000";
  adapter.ConnectionRequest(0, 900);
  EXPECT_EQ(adapter.StationCount(), NetAdapter::kMaxStations);
  EXPECT_EQ(wire.refused, std::vector<int>{900});
  ASSERT_EQ(seen.lines(), Messages{"подключение с 10.0.0.9:5000 отклонено: нет свободных мест"});
  adapter.SocketClosed(17);
  EXPECT_EQ(seen.lines().back(), "станция vesk17 отключилась");
  adapter.ConnectionRequest(0, 999);
  EXPECT_EQ(adapter.StationCount(), NetAdapter::kMaxStations) << "a freed place can be taken again";
  EXPECT_EQ(wire.accepted.back(), std::make_pair(999, NetAdapter::kMaxStations + 1));
}

TEST_F(AdapterFixture, CloseAndErrorRemoveAcceptedSocketsButKeepSocketZeroAndTheState) {
  hub(2);
  adapter.HandleHubMessage("public-packet:vesk1;41", 1);
  adapter.SocketError(1, 10053, "aborted");
  EXPECT_EQ(adapter.SocketIndices(), (std::vector<int>{0, 2}));
  EXPECT_FALSE(wire.IsConnected(1));
  adapter.DataArrival(1, "public-packet:vesk1;42\0"s);  // a late arrival on a gone socket
  adapter.SocketClosed(1);
  EXPECT_EQ(adapter.ReceiveBuffer(), "A");
  EXPECT_EQ(wire.closed, std::vector<int>{1});

  adapter.SocketClosed(0);
  EXPECT_EQ(adapter.SocketIndices(), (std::vector<int>{0, 2})) << "socket 0 is never removed";
  EXPECT_EQ(adapter.StationName(), "hub");
  EXPECT_EQ(adapter.ReceiveBuffer(), "A");
}

TEST_F(AdapterFixture, AStationWhoseConnectionClosedCanConnectAgain) {
  station("vesk4");
  adapter.HandleHubMessage("public-packet:hub;41", 0);
  adapter.SocketClosed(0);
  EXPECT_EQ(adapter.SocketMode(0), 0);
  EXPECT_FALSE(adapter.SendPublicByte(0x41));
  EXPECT_EQ(adapter.StationName(), "vesk4") << "the adapter's state stays";
  EXPECT_EQ(adapter.HubName(), "hub");
  EXPECT_EQ(adapter.ReceiveBuffer(), "A");
  ASSERT_EQ(adapter.StartStation("127.0.0.1", 4000), "");
  EXPECT_TRUE(adapter.PollTimerEnabled());
  wire.connected.insert(0);
  adapter.PollTick();
  adapter.DataArrival(0, "quon-name:vesk2\0quon-switching2dm.\0"s);
  EXPECT_EQ(adapter.StationName(), "vesk2");
  EXPECT_EQ(adapter.SocketMode(0), 1);
  EXPECT_EQ(wire.Messages(0), (Messages{"quon-authorize.", "quon-accepted:vesk2"}));
}

TEST_F(AdapterFixture, AConnectionThatFailsStopsThePolling) {
  ASSERT_EQ(adapter.StartStation("127.0.0.1", 4000), "");
  wire.closed.clear();
  adapter.SocketError(0, 10061, "refused");
  EXPECT_FALSE(adapter.PollTimerEnabled());
  EXPECT_EQ(wire.closed, std::vector<int>{0});
}

TEST_F(AdapterFixture, MessagesLongerThan4KiBAreDropped) {
  station();
  const std::string fits = "public-packet:" + std::string(kMaxHubMessage - 17, 'x') + ";41";
  ASSERT_EQ(fits.size(), kMaxHubMessage);
  adapter.DataArrival(0, fits + '\0' + "public-packet:" + std::string(kMaxHubMessage, 'x') + ";42\0public-packet:x;43\0"s);
  EXPECT_EQ(adapter.ReceiveBuffer(), "AC");
  EXPECT_EQ(adapter.DroppedMessages(), 1u);
}

TEST_F(AdapterFixture, TheReceiveBufferIsBounded) {
  station();
  for (std::size_t i = 0; i < NetAdapter::kReceiveBufferCapacity + 3; ++i) adapter.HandleHubMessage("public-packet:x;30", 0);
  EXPECT_EQ(adapter.ReceiveBuffer().size(), NetAdapter::kReceiveBufferCapacity);
  EXPECT_EQ(adapter.DroppedBytes(), 3u);
  adapter.TakeReceivedByte();
  adapter.HandleHubMessage("public-packet:x;31", 0);
  EXPECT_EQ(adapter.ReceiveBuffer().back(), '1');
}

TEST_F(AdapterFixture, AStationSendsItsPacketsToTheHubOnceInDataMode) {
  ASSERT_EQ(adapter.StartStation("127.0.0.1", 4000), "");
  wire.connected.insert(0);
  adapter.HandleHubMessage("quon-name:vesk5", 0);
  wire.sent.clear();
  EXPECT_FALSE(adapter.SendPublicByte(0x41)) << "still in handshake";
  EXPECT_FALSE(adapter.SendPrivate("vesk1", "x"));
  adapter.HandleHubMessage("quon-switching2dm.", 0);
  EXPECT_TRUE(adapter.SendPublicByte(0xAF));
  EXPECT_TRUE(adapter.SendPrivate("vesk1", "a;b"));
  EXPECT_FALSE(adapter.SendPrivate("ves;k1", "x"));
  EXPECT_FALSE(adapter.SendPrivate("vesk1", "a\0b"s));
  EXPECT_FALSE(adapter.SendPrivate("vesk1", std::string(kMaxHubMessage, 'x')));
  EXPECT_EQ(wire.Messages(0), (Messages{"public-packet:vesk5;AF", "private-packet:vesk5;vesk1;a;b"}));
}

TEST_F(AdapterFixture, AHubSendsItsOwnBytesToEveryStationInDataMode) {
  EXPECT_EQ(adapter.StartHub("127.0.0.1", 4000), "");
  EXPECT_FALSE(adapter.SendPublicByte(0x41)) << "no station yet";
  hub(2);
  adapter.ConnectionRequest(0, 300);  // socket 3 in handshake
  wire.sent.clear();
  EXPECT_TRUE(adapter.SendPublicByte(0x0D));
  EXPECT_EQ(wire.Messages(1), Messages{"public-packet:hub;0D"});
  EXPECT_EQ(wire.Messages(2), Messages{"public-packet:hub;0D"});
  EXPECT_EQ(wire.sent.count(3), 0u);
  EXPECT_EQ(adapter.ReceiveBuffer(), "") << "the hub does not take its own byte";
  EXPECT_TRUE(adapter.SendPrivate("VESK2", "x"));
  EXPECT_FALSE(adapter.SendPrivate("vesk3", "x"));
  EXPECT_FALSE(adapter.SendPrivate("vesk7", "x"));
  EXPECT_EQ(wire.Messages(2), (Messages{"public-packet:hub;0D", "private-packet:hub;VESK2;x"}));
}

TEST_F(AdapterFixture, StartingReportsTheSocketLayersRefusalAndStopClosesEverything) {
  wire.listenResult = "address in use";
  EXPECT_EQ(adapter.StartHub("127.0.0.1", 4000), "address in use");
  ASSERT_FALSE(wire.closed.empty());
  EXPECT_EQ(wire.closed.back(), 0) << "socket 0 does not stay half open";
  wire.listenResult.clear();
  hub(2);
  wire.closed.clear();
  adapter.Stop();
  EXPECT_EQ(wire.closed, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(adapter.SocketIndices(), std::vector<int>{0});
  EXPECT_TRUE(adapter.HubRole()) << "the role stays until the next start";

  wire.connectResult = "bad address";
  EXPECT_EQ(adapter.StartStation("nowhere", 4000), "bad address");
  EXPECT_FALSE(adapter.PollTimerEnabled());
  EXPECT_FALSE(adapter.HubRole());
  EXPECT_EQ(adapter.StationName(), "") << "a former hub forgets its own name";
}

// ---- limits that keep a hub alive --------------------------------------------

TEST_F(AdapterFixture, AStationThatDoesNotReadIsDisconnectedAndTheOthersGoOn) {
  hub(3);
  seen.events.clear();
  wire.unsent[2] = NetAdapter::kMaxUnsentBytes;  // at the limit: still in
  adapter.DataArrival(1, "public-packet:vesk1;41\0"s);
  EXPECT_EQ(adapter.SocketIndices(), (std::vector<int>{0, 1, 2, 3}));
  wire.unsent[2] = NetAdapter::kMaxUnsentBytes + 1;
  adapter.DataArrival(1, "public-packet:vesk1;42\0"s);
  EXPECT_EQ(adapter.SocketIndices(), (std::vector<int>{0, 1, 3}));
  EXPECT_EQ(wire.closed, std::vector<int>{2});
  EXPECT_EQ(seen.lines(), Messages{"станция vesk2 отключена: не принимает данные"});
  EXPECT_EQ(wire.Messages(3), (Messages{"public-packet:vesk1;41", "public-packet:vesk1;42"}));
  adapter.DataArrival(1, "public-packet:vesk1;43\0"s);
  EXPECT_EQ(wire.Messages(3).back(), "public-packet:vesk1;43");
  EXPECT_EQ(adapter.PacketsPassedOn(), 3u);
}

TEST_F(AdapterFixture, AStationWhoseHubDoesNotReadClosesTheLink) {
  station("vesk1");
  wire.unsent[0] = NetAdapter::kMaxUnsentBytes + 1;
  EXPECT_TRUE(adapter.SendPublicByte(0x41));
  EXPECT_EQ(wire.closed, std::vector<int>{0});
  EXPECT_EQ(adapter.SocketMode(0), 0);
  EXPECT_EQ(seen.lines(), Messages{"связь с концентратором закрыта: концентратор не принимает данные"});
}

TEST_F(AdapterFixture, JoinsAndLeavesAreTold) {
  ASSERT_EQ(adapter.StartHub("127.0.0.1", 4000), "");
  wire.refusedPeers[7] = "127.0.0.1:50000";
  adapter.ConnectionRequest(0, 7);
  EXPECT_TRUE(seen.events.empty()) << "a connection is no station until its handshake ends";
  adapter.DataArrival(1, "quon-authorize.\0quon-accepted:vesk1\0"s);
  adapter.SocketError(1, 10054, "reset");
  EXPECT_EQ(seen.lines(), (Messages{"станция vesk1 подключилась (127.0.0.1:50000)",
                                    "станция vesk1 отключилась: соединение разорвано"}));
  adapter.ConnectionRequest(0, 8);
  adapter.SocketClosed(1);
  EXPECT_EQ(seen.events.size(), 2u) << "a connection that never joined leaves unnoticed";
}

TEST_F(AdapterFixture, AHandshakeLongerThanTenSecondsIsClosed) {
  auto now = std::chrono::steady_clock::time_point{} + std::chrono::hours(1);
  adapter.setClock([&now] { return now; });
  hub(1);
  seen.events.clear();
  wire.refusedPeers[20] = "127.0.0.1:40000";
  adapter.ConnectionRequest(0, 20);                 // socket 2: silent
  adapter.ConnectionRequest(0, 21);                 // socket 3: a byte a second, never a message
  now += std::chrono::seconds(5);
  adapter.ConnectionRequest(0, 22);                 // socket 4: five seconds younger
  adapter.DataArrival(3, "quon-authorize.\0"s);   // begun, not finished
  now += std::chrono::milliseconds(4999);
  adapter.HousekeepingTick();
  EXPECT_EQ(adapter.StationCount(), 4);
  now += std::chrono::milliseconds(1);
  adapter.HousekeepingTick();
  EXPECT_EQ(adapter.SocketIndices(), (std::vector<int>{0, 1, 4}));
  EXPECT_EQ(seen.lines(), (Messages{"подключение vesk2 (127.0.0.1:40000) закрыто: не завершило вход за 10 с",
                                    "подключение vesk3 закрыто: не завершило вход за 10 с"}));
  now += std::chrono::seconds(5);
  adapter.HousekeepingTick();
  EXPECT_EQ(adapter.SocketIndices(), (std::vector<int>{0, 1})) << "the station in data mode stays";
}

TEST_F(AdapterFixture, IdleConnectionsNeverTakeTheSlotsOfStationsOrLockOutANewOne) {
  auto now = std::chrono::steady_clock::time_point{} + std::chrono::hours(1);
  adapter.setClock([&now] { return now; });
  hub(5);
  seen.events.clear();
  // One that has begun its handshake, then 300 that say nothing.
  adapter.ConnectionRequest(0, 1000);
  adapter.DataArrival(6, "quon-authorize.\0"s);
  for (int r = 1; r <= 300; ++r) adapter.ConnectionRequest(0, 1000 + r);
  EXPECT_EQ(adapter.HandshakeCount(), NetAdapter::kMaxHandshakes);
  // The line holds 256; the oldest silent ones make room for newcomers.
  EXPECT_EQ(adapter.WaitingCount(), static_cast<int>(NetAdapter::kMaxWaiting));
  EXPECT_EQ(adapter.StationCount() - adapter.HandshakeCount(), 5) << "the stations keep their places";
  EXPECT_EQ(wire.refused.size(), 300 - NetAdapter::kMaxHandshakes + 1 - NetAdapter::kMaxWaiting);
  // A real station connects and speaks at once; it waits at the end of the line.
  now += std::chrono::milliseconds(100);
  wire.requestsWithData.insert(5000);
  adapter.ConnectionRequest(0, 5000);
  EXPECT_EQ(adapter.WaitingCount(), static_cast<int>(NetAdapter::kMaxWaiting));
  // Half a second of silence while others wait: the silent ones go, the station comes in.
  now += std::chrono::milliseconds(400);
  adapter.HousekeepingTick();
  EXPECT_EQ(adapter.WaitingCount(), 0);
  EXPECT_EQ(adapter.HandshakeCount(), 2);
  EXPECT_EQ(adapter.SocketMode(6), 0) << "the one that began its handshake stays";
  const int index = adapter.SocketIndices().back();
  EXPECT_EQ(wire.accepted.back().first, 5000);
  adapter.DataArrival(index, "quon-authorize.\0quon-accepted:vesk"s + std::to_string(index) + '\0');
  EXPECT_EQ(adapter.SocketMode(index), 1);
  EXPECT_EQ(seen.events.size(), 300u + 1u);  // 300 gone, one joined
  EXPECT_EQ(seen.lines().front(), "подключение отклонено: молчит, а другие ждут очереди");
  EXPECT_EQ(seen.lines()[269], "подключение vesk7 закрыто: молчит, а другие ждут очереди");
  EXPECT_EQ(seen.lines().back(), "станция vesk" + std::to_string(index) + " подключилась");
}

TEST_F(AdapterFixture, AClassConnectingAtOnceAllGetsIn) {
  ASSERT_EQ(adapter.StartHub("127.0.0.1", 4000), "");
  for (int r = 1; r <= 50; ++r) adapter.ConnectionRequest(0, r);
  EXPECT_EQ(adapter.HandshakeCount(), NetAdapter::kMaxHandshakes);
  EXPECT_EQ(adapter.WaitingCount(), 50 - NetAdapter::kMaxHandshakes);
  // Each finishes its handshake; every place that frees lets the next one in.
  for (int i = 1; i <= 50; ++i) {
    for (int r = 1; r <= 50; ++r) wire.requestsWithData.insert(r);
    ASSERT_EQ(adapter.SocketMode(i), 0) << i;
    adapter.DataArrival(i, "quon-authorize.\0quon-accepted:vesk"s + std::to_string(i) + '\0');
    ASSERT_EQ(adapter.SocketMode(i), 1) << i;
  }
  EXPECT_EQ(adapter.StationCount(), 50);
  EXPECT_TRUE(wire.refused.empty());
}

TEST_F(AdapterFixture, WaitingConnectionsLeaveAtTheirDeadlineAndTheLineIsBounded) {
  auto now = std::chrono::steady_clock::time_point{} + std::chrono::hours(1);
  adapter.setClock([&now] { return now; });
  ASSERT_EQ(adapter.StartHub("127.0.0.1", 4000), "");
  for (int r = 1; r <= NetAdapter::kMaxHandshakes; ++r) {
    adapter.ConnectionRequest(0, r);
    adapter.DataArrival(r, "quon-authorize.\0"s);  // begun, never finished
  }
  for (std::size_t r = 1; r <= NetAdapter::kMaxWaiting + 1; ++r) {
    wire.requestsWithData.insert(100 + static_cast<int>(r));
    adapter.ConnectionRequest(0, 100 + static_cast<int>(r));
  }
  EXPECT_EQ(adapter.WaitingCount(), static_cast<int>(NetAdapter::kMaxWaiting));
  EXPECT_EQ(seen.lines().back(), "подключение отклонено: слишком много подключений ждут очереди");
  now += NetAdapter::kHandshakeDeadline;
  adapter.HousekeepingTick();
  // The stalled handshakes and the requests that waited as long all go.
  EXPECT_EQ(adapter.StationCount(), 0);
  EXPECT_EQ(adapter.WaitingCount(), 0);
  EXPECT_EQ(wire.refused.size(), NetAdapter::kMaxWaiting + 1);
}

TEST_F(AdapterFixture, AHandshakeThatEndsWhenEveryPlaceIsTakenIsClosed) {
  ASSERT_EQ(adapter.StartHub("127.0.0.1", 4000), "");
  adapter.ConnectionRequest(0, 1);  // socket 1 waits in its handshake
  for (int i = 2; i <= NetAdapter::kMaxStations + 1; ++i) {
    adapter.ConnectionRequest(0, 100 + i);
    adapter.DataArrival(i, "quon-authorize.\0quon-accepted:vesk"s + std::to_string(i) + '\0');
  }
  seen.events.clear();
  adapter.DataArrival(1, "quon-authorize.\0quon-accepted:vesk1\0"s);
  EXPECT_FALSE(adapter.SocketMode(1));
  EXPECT_EQ(seen.lines(), Messages{"подключение vesk1 закрыто: нет свободных мест"});
}
