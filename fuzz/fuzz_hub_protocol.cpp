// The network adapter under arbitrary socket events: arrivals (straight, or
// cut anywhere and put together again by the socket layer's framer),
// connection requests, closes and errors on any socket index, poll ticks,
// sends, role changes and a socket layer that connects and fails at random.
//
// Input: records of [operation][socket][length, 2 bytes little-endian][bytes].
// After every record the adapter must agree with its socket layer: exactly the
// accepted sockets are open (nothing leaks, nothing is used after its close),
// every new socket took one more than the highest index in use, at most 250
// stations, bounded buffers and names, mode marks 0 or 1, and every send went
// to a connected socket and ended with 0x00.
#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "fuzz_support.h"
#include "io/hub_arrival.h"
#include "io/hub_transport.h"
#include "io/net_adapter.h"

using namespace vesk;
using vesk::fuzz::Require;

namespace {

class CheckingTransport : public HubTransport {
 public:
  std::set<int> open;           // accepted sockets
  bool socketZeroConnected = false;
  bool acceptSucceeds = true;
  std::set<int> pendingRequests;

  bool IsConnected(int socket) const override {
    return socket == 0 ? socketZeroConnected : open.count(socket) > 0;
  }
  void Send(int socket, std::string_view bytes) override {
    Require(IsConnected(socket), "sends go to connected sockets only");
    Require(!bytes.empty() && bytes.back() == '\0', "every send ends with 0x00");
    Require(bytes.size() <= 2 * kMaxHubMessage + 2, "a send is bounded");
  }
  bool Accept(int request, int socket) override {
    Require(pendingRequests.erase(request) == 1, "only a pending request is accepted, once");
    Require(socket > 0 && open.count(socket) == 0, "a new socket index is not in use");
    const int highest = open.empty() ? 0 : *open.rbegin();
    Require(socket == highest + 1, "a new socket is one more than the highest index in use");
    Require(open.size() < static_cast<std::size_t>(NetAdapter::kMaxStations), "at most 250 stations");
    if (!acceptSucceeds) return false;
    open.insert(socket);
    return true;
  }
  void Refuse(int request) override { Require(pendingRequests.erase(request) == 1, "only a pending request is refused, once"); }
  void Close(int socket) override {
    if (socket == 0) socketZeroConnected = false;
    open.erase(socket);
  }
  std::string Listen(const std::string&, std::uint16_t) override { return {}; }
  std::string Connect(const std::string&, std::uint16_t) override { return {}; }
};

void CheckInvariants(const NetAdapter& adapter, const CheckingTransport& wire, const std::map<int, MessageFramer>& framers) {
  const std::vector<int> indices = adapter.SocketIndices();
  Require(!indices.empty() && indices.front() == 0, "socket 0 is always in the array");
  const std::set<int> accepted(indices.begin() + 1, indices.end());
  Require(accepted == wire.open, "the array holds exactly the open accepted sockets");
  Require(adapter.StationCount() <= NetAdapter::kMaxStations, "at most 250 stations");
  Require(adapter.HubRole() || adapter.StationCount() == 0, "a station has no accepted sockets");
  for (const int i : indices) {
    const auto mode = adapter.SocketMode(i);
    Require(mode && (*mode == 0 || *mode == 1), "mode marks are 0 or 1");
  }
  Require(adapter.ReceiveBuffer().size() <= NetAdapter::kReceiveBufferCapacity, "the receive buffer is bounded");
  Require(adapter.StationName().size() <= kMaxHubMessage, "the station name is bounded");
  Require(adapter.HubName().size() <= kMaxHubMessage, "the hub name is bounded");
  Require(!adapter.PollTimerEnabled() || !adapter.HubRole(), "only a station polls");
  for (const auto& [socket, framer] : framers) Require(framer.Pending() <= kMaxHubMessage, "the framer's tail is bounded");
  Require(wire.pendingRequests.size() == static_cast<std::size_t>(adapter.WaitingCount()),
          "a request neither taken nor refused waits in the line, and nothing else does");
  Require(adapter.WaitingCount() <= static_cast<int>(NetAdapter::kMaxWaiting), "the line is bounded");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  NetAdapter adapter;
  CheckingTransport wire;
  adapter.setTransport(&wire);
  std::map<int, MessageFramer> framers;
  int nextRequest = 1;

  std::size_t at = 0;
  if (size > 0 && (data[at++] & 1u) != 0) {
    Require(adapter.StartHub("127.0.0.1", 4000).empty(), "the hub starts");
  } else {
    Require(adapter.StartStation("127.0.0.1", 4000).empty(), "the station starts");
  }
  while (at + 4 <= size) {
    const int op = data[at] % 14;
    const int socketByte = data[at + 1];
    std::size_t length = static_cast<std::size_t>(data[at + 2]) | (static_cast<std::size_t>(data[at + 3]) << 8);
    at += 4;
    if (length > size - at) length = size - at;
    const std::string_view bytes(reinterpret_cast<const char*>(data + at), length);
    at += length;

    const std::vector<int> indices = adapter.SocketIndices();
    const int highest = indices.back();
    const int socket = socketByte == 255 ? highest : socketByte == 254 ? highest + 1 : socketByte - 2;

    switch (op) {
      case 0:
        adapter.DataArrival(socket, bytes);
        break;
      case 1: {
        const std::string arrival = framers[socket].Feed(bytes);
        Require(arrival.empty() || arrival.back() == '\0', "the framer hands over whole messages");
        if (!arrival.empty()) adapter.DataArrival(socket, arrival);
        break;
      }
      case 2: {
        const int request = nextRequest++;
        wire.pendingRequests.insert(request);
        adapter.ConnectionRequest(socketByte % 4 == 0 ? socket : 0, request);
        // Taken, refused, or in the hub's line while its handshakes are full.
        Require(wire.pendingRequests.count(request) == 0 || adapter.WaitingCount() > 0,
                "every connection request is taken, refused or waits in the line");
        break;
      }
      case 3:
        adapter.SocketClosed(socket);
        Require(socket == 0 || !adapter.SocketMode(socket), "a closed accepted socket leaves the array");
        framers.erase(socket);
        break;
      case 4:
        adapter.SocketError(socket, static_cast<int>(length), bytes);
        Require(adapter.SocketMode(0).has_value(), "socket 0 stays");
        framers.erase(socket);
        break;
      case 5:
        adapter.PollTick();
        break;
      case 6:
        wire.socketZeroConnected = !wire.socketZeroConnected;
        break;
      case 7:
        adapter.SendPublicByte(static_cast<std::uint8_t>(socketByte));
        break;
      case 8: {
        const std::size_t cut = bytes.find(';');
        adapter.SendPrivate(bytes.substr(0, cut), cut == std::string_view::npos ? "" : bytes.substr(cut + 1));
        break;
      }
      case 9:
        Require(adapter.StartHub("127.0.0.1", 4000).empty(), "the hub starts");
        Require(wire.open.empty(), "starting closes the old connections");
        break;
      case 10:
        Require(adapter.StartStation("127.0.0.1", 4000).empty(), "the station starts");
        Require(wire.open.empty() && adapter.PollTimerEnabled(), "a station starts polling with no connections");
        break;
      case 11: {
        const std::size_t before = adapter.ReceiveBuffer().size();
        const auto byte = adapter.TakeReceivedByte();
        Require(byte.has_value() == (before > 0), "a byte is taken exactly when one waits");
        Require(adapter.ReceiveBuffer().size() == (before > 0 ? before - 1 : 0), "taking removes one byte");
        break;
      }
      case 12:
        adapter.HandleHubMessage(bytes, socket);
        break;
      default:
        wire.acceptSucceeds = !wire.acceptSucceeds;
        break;
    }
    CheckInvariants(adapter, wire, framers);
  }
  adapter.Stop();
  Require(wire.open.empty() && !wire.socketZeroConnected, "stopping closes every socket");
  Require(wire.pendingRequests.empty(), "stopping settles every waiting request");
  return 0;
}
