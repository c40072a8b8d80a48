// A station of the hub protocol on a plain TCP socket, for tests and
// benchmarks that talk to vesk-hub from outside: connect, do the handshake,
// send, and read with a deadline.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vesk::testing {

class HubClient {
 public:
  HubClient() = default;
  HubClient(const HubClient&) = delete;
  HubClient& operator=(const HubClient&) = delete;
  ~HubClient() { Close(); }

  // receiveBuffer > 0 shrinks the socket's receive buffer first (a station
  // that does not read then stops the hub's sends sooner).
  bool Connect(std::uint16_t port, int receiveBuffer = 0) {
    Close();
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) return false;
    if (receiveBuffer > 0) ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  }
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  int fd() const { return fd_; }

  bool Send(std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
  }

  // The next message (without its 0x00), or nothing when the connection
  // closed or the deadline passed first.
  std::optional<std::string> Receive(double seconds = 10) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
      const std::size_t end = pending_.find('\0');
      if (end != std::string::npos) {
        std::string message = pending_.substr(0, end);
        pending_.erase(0, end + 1);
        return message;
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return std::nullopt;
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
      char buffer[65536];
      const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return std::nullopt;
      pending_.append(buffer, static_cast<std::size_t>(n));
    }
  }

  // True when the hub closed the connection within the deadline (what
  // arrives meanwhile is read and dropped).
  bool ClosedByPeer(double seconds = 10) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, 20) <= 0) continue;
      char buffer[65536];
      const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
      if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) return true;
    }
    return false;
  }

  // The station's side of the handshake; its name ("vesk3"), or "" when the
  // hub did not let it in.
  std::string Handshake(double seconds = 10) {
    if (!Send(std::string_view("quon-authorize.\0", 16))) return {};
    const auto name = Receive(seconds);
    if (!name || name->rfind("quon-name:", 0) != 0) return {};
    const std::string station = name->substr(10);
    if (!Send("quon-accepted:" + station + std::string(1, '\0'))) return {};
    const auto switching = Receive(seconds);
    const auto hubName = Receive(seconds);
    if (!switching || *switching != "quon-switching2dm." || !hubName || hubName->rfind("srvname:", 0) != 0) return {};
    return station;
  }

 private:
  int fd_ = -1;
  std::string pending_;
};

}  // namespace vesk::testing
