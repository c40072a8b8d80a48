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
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/hub_arrival.h"
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
};

class NetAdapter {
 public:
  static constexpr int kMaxStations = 250;
  static constexpr std::size_t kReceiveBufferCapacity = 4096;
  static constexpr int kPollIntervalMs = 100;
  static constexpr std::string_view kHubOwnName = "hub";

  NetAdapter();

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
  // Sockets a hub accepted (all but 0).
  int StationCount() const { return static_cast<int>(sockets_.size()) - 1; }

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

 private:
  struct Socket {
    int mode = 0;
  };

  static std::string NameOfSocket(int socket);
  std::optional<int> socketOfName(std::string_view name) const;
  void handleHandshake(const std::string& m, int socket);
  void handleData(const std::string& m, int socket);
  void takePublic(const std::string& m, int socket, std::string_view first, std::string_view data);
  void relay(const std::string& m, int except);
  void closeSocket(int socket);
  void setMode(int socket, int mode);
  void setPollTimer(bool enabled);
  void stateChanged();

  HubTransport* transport_ = nullptr;
  bool hubRole_ = false;
  std::string stationName_;
  std::string hubName_;
  std::string receiveBuffer_;
  std::map<int, Socket> sockets_;
  bool pollTimer_ = false;
  std::uint64_t droppedBytes_ = 0;
  std::uint64_t droppedMessages_ = 0;
  Listeners<NetAdapterListener> listeners_;
};

}  // namespace vesk
