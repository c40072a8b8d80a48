#include "io/qt_hub_transport.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include "io/socket_error_text.h"

namespace vesk {

namespace {

// What one read takes from the system at most; the rest waits there, so a
// peer that sends faster than the hub passes data on is slowed down by TCP
// instead of filling this process.
constexpr qint64 kReadBuffer = 256 * 1024;
constexpr qint64 kWaitingReadBuffer = 4096;
constexpr int kHousekeepingMs = 100;

std::string PeerOf(const QTcpSocket* socket) {
  if (socket == nullptr) return {};
  const QHostAddress address = socket->peerAddress();
  if (address.isNull()) return {};
  QString host = address.toString();
  if (address.protocol() == QAbstractSocket::IPv6Protocol) host = "[" + host + "]";
  return (host + ":" + QString::number(socket->peerPort())).toStdString();
}

// Counts the layer's calls that are in progress.
class CallScope {
 public:
  explicit CallScope(int& depth) : depth_(depth) { ++depth_; }
  ~CallScope() { --depth_; }
  CallScope(const CallScope&) = delete;
  CallScope& operator=(const CallScope&) = delete;

 private:
  int& depth_;
};

}  // namespace

QtHubTransport::QtHubTransport(NetAdapter& adapter, QObject* parent) : QObject(parent), adapter_(adapter) {
  poll_.setInterval(NetAdapter::kPollIntervalMs);
  connect(&poll_, &QTimer::timeout, this, [this] { adapter_.PollTick(); });
  adapter_.setTransport(this);
  adapter_.listeners().add(this);
  if (adapter_.PollTimerEnabled()) poll_.start();
  housekeeping_.setInterval(kHousekeepingMs);
  connect(&housekeeping_, &QTimer::timeout, this, [this] { adapter_.HousekeepingTick(); });
}

QtHubTransport::~QtHubTransport() {
  adapter_.listeners().remove(this);
  if (adapter_.transport() == this) adapter_.setTransport(nullptr);
  for (auto& [request, socket] : pending_) discard(socket);
  for (auto& [index, connection] : connections_) discard(connection.socket);
  if (server_ != nullptr) server_->close();
}

void QtHubTransport::discard(QTcpSocket* socket) {
  if (socket == nullptr) return;
  socket->disconnect();
  socket->abort();
  socket->deleteLater();
}

void QtHubTransport::pollTimerChanged(bool enabled) {
  if (enabled) poll_.start();
  else poll_.stop();
}

void QtHubTransport::deliver(std::function<void()> event) {
  if (callDepth_ == 0) {
    event();
    return;
  }
  QMetaObject::invokeMethod(this, std::move(event), Qt::QueuedConnection);
}

QTcpSocket* QtHubTransport::socketAt(int index) const {
  const auto it = connections_.find(index);
  return it == connections_.end() ? nullptr : it->second.socket;
}

bool QtHubTransport::IsConnected(int socket) const {
  const QTcpSocket* s = socketAt(socket);
  return s != nullptr && s->state() == QAbstractSocket::ConnectedState;
}

void QtHubTransport::Send(int socket, std::string_view bytes) {
  const CallScope scope(callDepth_);
  QTcpSocket* s = socketAt(socket);
  if (s == nullptr || s->state() != QAbstractSocket::ConnectedState) return;
  s->write(bytes.data(), static_cast<qint64>(bytes.size()));
}

void QtHubTransport::wire(int index, QTcpSocket* socket) {
  socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
  socket->setReadBufferSize(kReadBuffer);
  connect(socket, &QTcpSocket::readyRead, this, [this, index, socket] { readFrom(index, socket); });
  connect(socket, &QTcpSocket::disconnected, this, [this, index, socket] { lost(index, socket, false); });
  connect(socket, &QTcpSocket::errorOccurred, this, [this, index, socket] { lost(index, socket, true); });
}

void QtHubTransport::readFrom(int index, QTcpSocket* socket) {
  const auto it = connections_.find(index);
  if (it == connections_.end() || it->second.socket != socket) return;
  const QByteArray bytes = socket->readAll();
  const std::string arrival = it->second.framer.Feed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  if (arrival.empty()) return;
  deliver([this, index, socket, arrival] {
    if (socketAt(index) == socket) adapter_.DataArrival(index, arrival);
  });
}

void QtHubTransport::lost(int index, QTcpSocket* socket, bool error) {
  if (socketAt(index) != socket) return;
  const int number = static_cast<int>(socket->error());
  const std::string description = SocketErrorText(socket->error());
  deliver([this, index, socket, error, number, description] {
    if (socketAt(index) != socket) return;
    if (!error) {
      adapter_.SocketClosed(index);
      return;
    }
    // Qt reports a peer that closed the connection as an error; for the
    // protocol it is an ordinary close.
    if (number == static_cast<int>(QAbstractSocket::RemoteHostClosedError)) adapter_.SocketClosed(index);
    else adapter_.SocketError(index, number, description);
    emit socketFailed(index, QString::fromStdString(description));
  });
}

void QtHubTransport::acceptPending() {
  while (server_ != nullptr && server_->hasPendingConnections()) {
    QTcpSocket* socket = server_->nextPendingConnection();
    // Accepted connections outlive the listening socket: a hub whose
    // listening socket fails keeps its stations.
    socket->setParent(this);
    // A connection waiting its turn holds no more than its first words.
    socket->setReadBufferSize(kWaitingReadBuffer);
    const int request = ++nextRequest_;
    pending_[request] = socket;
    // The adapter takes it, refuses it, or lets it wait its turn.
    adapter_.ConnectionRequest(0, request);
  }
}

bool QtHubTransport::Accept(int request, int socket) {
  const CallScope scope(callDepth_);
  const auto it = pending_.find(request);
  if (it == pending_.end()) return false;
  QTcpSocket* s = it->second;
  pending_.erase(it);
  if (s->state() != QAbstractSocket::ConnectedState || connections_.count(socket) > 0) {
    discard(s);
    return false;
  }
  connections_[socket].socket = s;
  wire(socket, s);
  // Bytes that came before the socket was taken wait in its buffer.
  if (s->bytesAvailable() > 0)
    QMetaObject::invokeMethod(this, [this, socket, s] { readFrom(socket, s); }, Qt::QueuedConnection);
  return true;
}

void QtHubTransport::Refuse(int request) {
  const CallScope scope(callDepth_);
  const auto it = pending_.find(request);
  if (it == pending_.end()) return;
  discard(it->second);
  pending_.erase(it);
}

void QtHubTransport::Close(int socket) {
  const CallScope scope(callDepth_);
  if (socket == 0 && server_ != nullptr) {
    server_->disconnect(this);
    server_->close();
    server_->deleteLater();
    server_ = nullptr;
  }
  const auto it = connections_.find(socket);
  if (it == connections_.end()) return;
  discard(it->second.socket);
  connections_.erase(it);
}

std::string QtHubTransport::Listen(const std::string& host, std::uint16_t port) {
  const CallScope scope(callDepth_);
  Close(0);
  QHostAddress address;
  if (!address.setAddress(QString::fromStdString(host))) return "'" + host + "' - не IP-адрес";
  server_ = new QTcpServer(this);
  // Only a hub has handshakes to watch; from its first listen on, a few times a second.
  housekeeping_.start();
  // Stations that connect in a burst wait in the kernel's queue, not in SYN
  // retries; whoever is over the limit is closed by the adapter at once.
  server_->setListenBacklogSize(NetAdapter::kMaxStations + 6);
  connect(server_, &QTcpServer::newConnection, this, &QtHubTransport::acceptPending);
  connect(server_, &QTcpServer::acceptError, this, [this](QAbstractSocket::SocketError error) {
    const std::string description = SocketErrorText(error);
    deliver([this, error, description] { adapter_.SocketError(0, static_cast<int>(error), description); });
  });
  if (!server_->listen(address, port)) {
    const std::string why = SocketErrorText(server_->serverError());
    Close(0);
    return why;
  }
  return {};
}

std::string QtHubTransport::Connect(const std::string& host, std::uint16_t port) {
  const CallScope scope(callDepth_);
  Close(0);
  if (host.empty()) return "не указан адрес концентратора";
  if (port == 0) return "не указан порт концентратора";
  auto* socket = new QTcpSocket(this);
  connections_[0].socket = socket;
  wire(0, socket);
  socket->connectToHost(QString::fromStdString(host), port);
  return {};
}

std::size_t QtHubTransport::UnsentBytes(int socket) {
  QTcpSocket* s = socketAt(socket);
  if (s == nullptr) return 0;
  // Qt hands queued bytes to the system from the event loop; a burst sent in
  // one go is first offered to the system here, so only what it refuses counts.
  if (static_cast<std::size_t>(s->bytesToWrite()) > NetAdapter::kMaxUnsentBytes / 2) {
    const CallScope scope(callDepth_);
    s->flush();
  }
  return static_cast<std::size_t>(s->bytesToWrite());
}

std::string QtHubTransport::PeerText(int socket) const { return PeerOf(socketAt(socket)); }

bool QtHubTransport::RequestHasData(int request) const {
  const auto it = pending_.find(request);
  return it != pending_.end() && it->second->bytesAvailable() > 0;
}

std::string QtHubTransport::RequestPeerText(int request) const {
  const auto it = pending_.find(request);
  return it == pending_.end() ? std::string() : PeerOf(it->second);
}

std::uint16_t QtHubTransport::ListeningPort() const {
  return server_ != nullptr && server_->isListening() ? server_->serverPort() : 0;
}

std::string QtHubTransport::ListeningAddress() const {
  return server_ != nullptr && server_->isListening() ? server_->serverAddress().toString().toStdString() : std::string();
}

}  // namespace vesk
