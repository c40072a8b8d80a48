// A Unix socket bound to a path in a test's scratch folder: the kind of
// file a save must refuse to replace.
#pragma once

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <string>

namespace vesk::testing {

class BoundSocket {
 public:
  explicit BoundSocket(const std::string& path) : fd_(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (fd_ < 0 || path.size() >= sizeof address.sun_path) return;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    bound_ = ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  }
  BoundSocket(const BoundSocket&) = delete;
  BoundSocket& operator=(const BoundSocket&) = delete;
  ~BoundSocket() {
    if (fd_ >= 0) ::close(fd_);
  }
  bool ok() const { return bound_; }

 private:
  int fd_;
  bool bound_ = false;
};

}  // namespace vesk::testing
