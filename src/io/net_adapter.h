// The network adapter: the hub protocol over an array of sockets.
//
// One copy of Vesk acts as the hub: it listens on socket 0, accepts stations
// on sockets 1, 2, ..., names each "vesk" + its socket index and switches it
// to data mode. Stations then exchange packets through the hub:
//   public-packet:<first>;<byte as hex>          to everybody
//   private-packet:<first>;<recipient>;<data>     to one named station
// Every message on the wire is text ended by one 0x00; every received message
// is lower-cased before it is looked at.
//
// The hub takes the public packets of its stations itself and passes them on
// to every other station in data mode; it passes a private packet to the
// station it names. Received public bytes collect in ReceiveBuffer, from where
// the controller the adapter is attached to takes them (DeviceLinks).
//
// The socket layer is injected (HubTransport); the adapter works without one,
// as if nothing were connected.
//
// Limits that keep a hub alive whatever its peers do:
// - at most kMaxStations stations in data mode; connections still in their
//   handshake never take their places;
// - at most kMaxHandshakes connections in their handshake at a time, each
//   for at most kHandshakeDeadline. Further connections wait their turn (at
//   most kMaxWaiting, each for at most kHandshakeDeadline), those that have
//   sent something first. While some wait, a connection that has said
//   nothing for kSilenceGrace gives way, whether it is in its handshake or
//   waiting: idle connections cannot lock stations out, and a class whose
//   stations all connect at once still gets in;
// - at most kMaxUnsentBytes waiting to be sent to any one peer: a station
//   that does not read is disconnected.
// Listeners hear every join, leave, refusal and disconnection (HubEvent).
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/hub_arrival.h"
#include "io/hub_event.h"
#include "io/hub_transport.h"
#include "util/listeners.h"

namespace vesk {

struct HubPacket {
  bool isPublic = true;
  int socket = 0;          // where it arrived
  std::string first;       // as received (lower case)
  std::string recipient;   // private packets only
  std::string data;        // public: the hex text; private: the data text
};

class NetAdapterListener {
 public:
  virtual ~NetAdapterListener() = default;
  // Role, names, the socket array or a socket's mode changed.
  virtual void adapterStateChanged() {}
  // Bytes were appended to or taken from ReceiveBuffer.
  virtual void receiveBufferChanged() {}
  virtual void pollTimerChanged(bool /*enabled*/) {}
  // A packet for this copy: a public packet it took (the hub takes its
  // stations' packets too), or a private packet addressed to it.
  virtual void packetReceived(const HubPacket& /*packet*/) {}
  // A station joined, left, was refused or was disconnected.
  virtual void hubEvent(const HubEvent& /*event*/) {}
};

class NetAdapter {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  static constexpr int kMaxStations = 250;
  static constexpr int kMaxHandshakes = 32;
  static constexpr std::chrono::seconds kHandshakeDeadline{10};
  static constexpr std::size_t kMaxWaiting = 256;
  static constexpr std::chrono::milliseconds kSilenceGrace{500};
  static constexpr std::size_t kMaxUnsentBytes = std::size_t{1} << 20;
  static constexpr std::size_t kReceiveBufferCapacity = 4096;
  static constexpr int kPollIntervalMs = 100;
  static constexpr std::uint16_t kDefaultHubPort = 20100;
  static constexpr std::string_view kHubOwnName = "hub";

  NetAdapter();
  // The time handshake deadlines are measured in (steady_clock by default).
  void setClock(Clock clock) { clock_ = std::move(clock); }

  Listeners<NetAdapterListener>& listeners() { return listeners_; }
  void setTransport(HubTransport* transport) { transport_ = transport; }
  HubTransport* transport() const { return transport_; }

  bool HubRole() const { return hubRole_; }
  const std::string& StationName() const { return stationName_; }
  const std::string& HubName() const { return hubName_; }
  // Windows-1251 bytes received in public packets and not yet taken.
  const std::string& ReceiveBuffer() const { return receiveBuffer_; }
  bool PollTimerEnabled() const { return pollTimer_; }

  // The socket array: indices in use (0 always), and the mode mark of one
  // (0 handshake, 1 data mode; nothing when the index is not in use).
  std::vector<int> SocketIndices() const;
  std::optional<int> SocketMode(int socket) const;
  // Sockets a hub accepted (all but 0), and of those the ones still in
  // their handshake.
  int StationCount() const { return static_cast<int>(sockets_.size()) - 1; }
  int HandshakeCount() const;
  // Connection requests waiting for a place in the handshake.
  int WaitingCount() const { return static_cast<int>(waiting_.size()); }

  // Become the hub listening on host:port, or a station connecting to the hub
  // at host:port. Whatever ran before is stopped first. An empty text on
  // success, else why it failed (the adapter is then stopped).
  std::string StartHub(const std::string& host, std::uint16_t port);
  std::string StartStation(const std::string& host, std::uint16_t port);
  // Closes every socket; accepted sockets leave the array, socket 0 stays.
  void Stop();

  // The protocol's operations.
  void SendHubMessage(int socket, std::string_view text);
  void HandleHubMessage(std::string_view text, int socket);
  void PollTick();
  // Closes the connections whose handshake ran past its deadline and lets
  // waiting ones in; the socket layer calls it a few times a second.
  void HousekeepingTick();

  // Events of the socket layer.
  void DataArrival(int socket, std::string_view bytes);
  void ConnectionRequest(int socket, int request);
  void SocketClosed(int socket);
  void SocketError(int socket, int number, std::string_view description);

  // The machine's side. OUT to the adapter's controller: a public packet
  // with the byte, from this copy's name. False when it could not go out
  // (no connection in data mode; a hub with no station in data mode).
  bool SendPublicByte(std::uint8_t byte);
  // A private packet to the station named recipient; false as above.
  bool SendPrivate(std::string_view recipient, std::string_view data);
  // The oldest byte of ReceiveBuffer, removed.
  std::optional<std::uint8_t> TakeReceivedByte();
  // Public bytes lost because ReceiveBuffer was full, and messages dropped for
  // their length, since the start.
  std::uint64_t DroppedBytes() const { return droppedBytes_; }
  std::uint64_t DroppedMessages() const { return droppedMessages_; }
  // Packets a hub passed on to its stations since the start.
  std::uint64_t PacketsPassedOn() const { return packetsPassedOn_; }

 private:
  struct Socket {
    int mode = 0;
    std::chrono::steady_clock::time_point arrived{};  // its handshake deadline counts from here
    std::chrono::steady_clock::time_point taken{};    // its silence counts from here
    bool authorized = false;  // its handshake has begun: "quon-authorize." came
    std::string peer;
  };

  static std::string NameOfSocket(int socket);
  std::optional<int> socketOfName(std::string_view name) const;
  void handleHandshake(const std::string& m, int socket);
  void handleData(const std::string& m, int socket);
  void takePublic(const std::string& m, int socket, std::string_view first, std::string_view data);
  void relay(const std::string& m, int except);
  void closeSocket(int socket);
  // Closes a socket for a reason, telling the listeners.
  void disconnect(int socket, const char* reason);
  // A close or error reported by the socket layer.
  void lost(int socket, bool broken);
  void tell(const HubEvent& event);
  // Waiting requests past their time leave, silent connections give way to
  // waiting ones, and waiting ones fill the free places of the handshake.
  void admitWaiting();
  bool acceptRequest(int request, std::chrono::steady_clock::time_point arrived, const std::string& peer);
  void refuse(int request, const std::string& peer, const char* reason);
  int dataStationCount() const;
  void setMode(int socket, int mode);
  void setPollTimer(bool enabled);
  void stateChanged();

  HubTransport* transport_ = nullptr;
  bool hubRole_ = false;
  std::string stationName_;
  std::string hubName_;
  std::string receiveBuffer_;
  std::map<int, Socket> sockets_;
  struct Waiting {
    int request = 0;
    std::chrono::steady_clock::time_point arrived{};
    std::string peer;
  };
  std::deque<Waiting> waiting_;
  bool admitting_ = false;
  bool pollTimer_ = false;
  std::uint64_t droppedBytes_ = 0;
  std::uint64_t droppedMessages_ = 0;
  std::uint64_t packetsPassedOn_ = 0;
  Clock clock_ = [] { return std::chrono::steady_clock::now(); };
  Listeners<NetAdapterListener> listeners_;
};

}  // namespace vesk
