// The socket layer under the network adapter: an array of TCP sockets
// indexed from 0, as the hub protocol sees it. The adapter calls these; the
// layer reports back through the adapter's event operations (DataArrival,
// ConnectionRequest, SocketClosed, SocketError), always from the one thread
// the machine runs on, and never from inside one of these calls.
//
// Socket 0 is the listening socket on a hub and the connection to the hub on
// a station; sockets 1.. are the connections a hub accepted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vesk {

class HubTransport {
 public:
  virtual ~HubTransport() = default;

  // True when the socket exists and its connection is established.
  virtual bool IsConnected(int socket) const = 0;
  // Queues bytes on a connected socket (the layer does not frame them).
  virtual void Send(int socket, std::string_view bytes) = 0;
  // Takes the pending connection `request` on the new socket index; false
  // when the request is gone (the peer left meanwhile). A request stays
  // pending until the adapter takes or refuses it, and bytes its peer sends
  // meanwhile wait for the socket.
  virtual bool Accept(int request, int socket) = 0;
  // Closes the pending connection `request` at once.
  virtual void Refuse(int request) = 0;
  // Closes the socket; no event about it follows. Closing a socket that does
  // not exist does nothing.
  virtual void Close(int socket) = 0;

  // Socket 0 listens on host:port; an empty text on success, else why not.
  virtual std::string Listen(const std::string& host, std::uint16_t port) = 0;
  // Socket 0 starts connecting to host:port; an empty text when the attempt
  // started (its failure comes later as SocketError on socket 0).
  virtual std::string Connect(const std::string& host, std::uint16_t port) = 0;

  // Bytes sent on the socket that its peer has not taken yet and that wait
  // in this process (what the system buffers does not count).
  virtual std::size_t UnsentBytes(int /*socket*/) { return 0; }
  // "127.0.0.1:40122": the other end of a socket, or of a pending
  // connection request; "" when unknown.
  virtual std::string PeerText(int /*socket*/) const { return {}; }
  virtual std::string RequestPeerText(int /*request*/) const { return {}; }
  // True when the peer of a pending connection request has sent bytes.
  virtual bool RequestHasData(int /*request*/) const { return false; }
};

}  // namespace vesk
