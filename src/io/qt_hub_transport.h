// The network adapter's socket layer on Qt Network: socket 0 is a QTcpServer
// on a hub and a QTcpSocket on a station, sockets 1.. are the connections the
// hub accepted. It also runs the adapter's 100 ms poll timer and its
// housekeeping (handshake deadlines). Qt Core and Qt Network only, so that
// vesk-hub runs without a display.
//
// Events reach the adapter from the event loop only. One that Qt raises while
// the adapter is inside a call of this layer (a socket that fails while it is
// written, say) is delivered afterwards, from the event loop.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <map>

#include "io/hub_arrival.h"
#include "io/hub_transport.h"
#include "io/net_adapter.h"

class QTcpServer;
class QTcpSocket;

namespace vesk {

class QtHubTransport final : public QObject, public HubTransport, private NetAdapterListener {
  Q_OBJECT

 public:
  // Becomes the adapter's socket layer.
  explicit QtHubTransport(NetAdapter& adapter, QObject* parent = nullptr);
  // Closes every socket without telling the adapter, and leaves it without a
  // socket layer.
  ~QtHubTransport() override;

  bool IsConnected(int socket) const override;
  void Send(int socket, std::string_view bytes) override;
  bool Accept(int request, int socket) override;
  void Refuse(int request) override;
  void Close(int socket) override;
  std::string Listen(const std::string& host, std::uint16_t port) override;
  std::string Connect(const std::string& host, std::uint16_t port) override;
  std::size_t UnsentBytes(int socket) override;
  std::string PeerText(int socket) const override;
  std::string RequestPeerText(int request) const override;
  bool RequestHasData(int request) const override;

  // The port socket 0 listens on (0 when it does not listen); useful after
  // listening on port 0.
  std::uint16_t ListeningPort() const;
  // The address socket 0 listens on ("127.0.0.1", "0.0.0.0"), or "".
  std::string ListeningAddress() const;
  bool PollTimerActive() const { return poll_.isActive(); }

 signals:
  // A socket failed (refused, reset, host not found...), after the adapter
  // was told. The adapter itself shows nothing; a window may.
  void socketFailed(int socket, const QString& description);

 private:
  struct Connection {
    QTcpSocket* socket = nullptr;
    MessageFramer framer;
  };

  void pollTimerChanged(bool enabled) override;

  void acceptPending();
  void wire(int index, QTcpSocket* socket);
  void readFrom(int index, QTcpSocket* socket);
  void lost(int index, QTcpSocket* socket, bool error);
  // Runs an event for the adapter now, or later when a call of the adapter
  // into this layer is still running.
  void deliver(std::function<void()> event);
  QTcpSocket* socketAt(int index) const;
  static void discard(QTcpSocket* socket);

  NetAdapter& adapter_;
  QTcpServer* server_ = nullptr;
  std::map<int, Connection> connections_;  // 0: a station's link to its hub
  std::map<int, QTcpSocket*> pending_;     // connection requests not yet answered
  int nextRequest_ = 0;
  int callDepth_ = 0;
  QTimer poll_;
  QTimer housekeeping_;
};

}  // namespace vesk
