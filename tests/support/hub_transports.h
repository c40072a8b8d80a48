// Socket layers for tests of the network adapter, without real sockets.
//
// RecordingTransport: one adapter alone; the test decides which sockets are
// connected and reads back what was sent, accepted, refused and closed.
// FakeHubNetwork: several adapters joined in memory. Everything a transport
// reports is queued and delivered by Run(), as an event loop would, and every
// send reaches its peer cut into random pieces that go through the same
// MessageFramer as the real socket layer.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "io/hub_arrival.h"
#include "io/hub_transport.h"
#include "io/net_adapter.h"

namespace vesk::testing {

class RecordingTransport : public HubTransport {
 public:
  std::set<int> connected;
  std::map<int, std::vector<std::string>> sent;  // raw bytes of each Send, by socket
  std::vector<std::pair<int, int>> accepted;     // (request, socket)
  std::vector<int> refused, closed;
  bool acceptSucceeds = true;
  std::string listenResult, connectResult;
  std::map<int, std::size_t> unsent;              // what UnsentBytes reports, by socket
  std::map<int, std::string> refusedPeers;        // what RequestPeerText reports, by request
  std::set<int> requestsWithData;                 // requests whose peers have sent bytes

  bool IsConnected(int socket) const override { return connected.count(socket) > 0; }
  void Send(int socket, std::string_view bytes) override { sent[socket].emplace_back(bytes); }
  bool Accept(int request, int socket) override {
    if (!acceptSucceeds) return false;
    accepted.emplace_back(request, socket);
    connected.insert(socket);
    return true;
  }
  void Refuse(int request) override { refused.push_back(request); }
  void Close(int socket) override {
    closed.push_back(socket);
    connected.erase(socket);
  }
  std::string Listen(const std::string&, std::uint16_t) override { return listenResult; }
  std::string Connect(const std::string&, std::uint16_t) override { return connectResult; }
  std::size_t UnsentBytes(int socket) override {
    const auto it = unsent.find(socket);
    return it == unsent.end() ? 0 : it->second;
  }
  bool RequestHasData(int request) const override { return requestsWithData.count(request) > 0; }
  std::string RequestPeerText(int request) const override {
    const auto it = refusedPeers.find(request);
    return it == refusedPeers.end() ? std::string() : it->second;
  }

  // The messages sent on a socket, split at their 0x00 (every send must end
  // with one).
  std::vector<std::string> Messages(int socket) const {
    std::vector<std::string> out;
    const auto it = sent.find(socket);
    if (it == sent.end()) return out;
    for (const std::string& bytes : it->second) {
      std::size_t start = 0;
      for (std::size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\0') {
          out.push_back(bytes.substr(start, i - start));
          start = i + 1;
        }
      if (start != bytes.size()) out.push_back("<unterminated>" + bytes.substr(start));
    }
    return out;
  }
};

class FakeHubNetwork {
 public:
  class Transport;

  explicit FakeHubNetwork(unsigned seed = 1) : random_(seed) {}

  // A socket layer for the adapter, owned by the network.
  Transport& Attach(NetAdapter& adapter) {
    transports_.push_back(std::make_unique<Transport>(*this, adapter));
    adapter.setTransport(transports_.back().get());
    return *transports_.back();
  }

  // Delivers queued events until none is left (or the limit is reached);
  // returns how many ran.
  long Run(long limit = 10'000'000) {
    long n = 0;
    while (!events_.empty() && n < limit) {
      auto event = std::move(events_.front());
      events_.pop_front();
      event();
      ++n;
    }
    return n;
  }

  // Ticks every adapter's poll timer, then runs.
  void Poll() {
    for (auto& t : transports_) t->adapter().PollTick();
    Run();
  }

  class Transport : public HubTransport {
   public:
    Transport(FakeHubNetwork& net, NetAdapter& adapter) : net_(net), adapter_(adapter) {}
    NetAdapter& adapter() { return adapter_; }
    int OpenSockets() const { return static_cast<int>(peers_.size()); }
    bool Listening() const { return !listenKey_.empty(); }

    bool IsConnected(int socket) const override { return peers_.count(socket) > 0; }
    void Send(int socket, std::string_view bytes) override {
      const auto it = peers_.find(socket);
      if (it == peers_.end()) return;
      Transport* peer = it->second.transport;
      const int peerSocket = it->second.socket;
      const std::uint64_t link = it->second.link;
      // Cut into 1..3 pieces at random places.
      std::string rest(bytes);
      std::vector<std::string> pieces;
      while (rest.size() > 1 && pieces.size() < 2 && net_.coin()) {
        const std::size_t cut = 1 + net_.below(rest.size() - 1);
        pieces.push_back(rest.substr(0, cut));
        rest.erase(0, cut);
      }
      pieces.push_back(rest);
      for (std::string& piece : pieces)
        net_.post([peer, peerSocket, link, piece] { peer->receive(peerSocket, link, piece); });
    }
    bool Accept(int request, int socket) override {
      const auto it = net_.pending_.find(request);
      if (it == net_.pending_.end() || it->second.listener != this) return false;
      Transport* station = it->second.station;
      net_.pending_.erase(it);
      if (station->connecting_ != request) return false;
      station->connecting_ = 0;
      const std::uint64_t link = ++net_.links_;
      peers_[socket] = Peer{station, 0, link};
      station->peers_[0] = Peer{this, socket, link};
      framers_[socket].Reset();
      station->framers_[0].Reset();
      return true;
    }
    void Refuse(int request) override {
      const auto it = net_.pending_.find(request);
      if (it == net_.pending_.end()) return;
      Transport* station = it->second.station;
      net_.pending_.erase(it);
      if (station->connecting_ != request) return;
      station->connecting_ = 0;
      net_.post([station] { station->adapter_.SocketClosed(0); });
    }
    void Close(int socket) override {
      if (socket == 0) {
        if (!listenKey_.empty()) net_.listeners_.erase(listenKey_);
        listenKey_.clear();
        connecting_ = 0;
      }
      const auto it = peers_.find(socket);
      if (it == peers_.end()) return;
      Transport* peer = it->second.transport;
      const int peerSocket = it->second.socket;
      const std::uint64_t link = it->second.link;
      peers_.erase(it);
      net_.post([peer, peerSocket, link] {
        const auto p = peer->peers_.find(peerSocket);
        if (p == peer->peers_.end() || p->second.link != link) return;
        peer->peers_.erase(p);
        peer->adapter_.SocketClosed(peerSocket);
      });
    }
    std::string Listen(const std::string& host, std::uint16_t port) override {
      const std::string key = host + ":" + std::to_string(port);
      if (net_.listeners_.count(key) > 0) return "address in use";
      net_.listeners_[key] = this;
      listenKey_ = key;
      return {};
    }
    std::string Connect(const std::string& host, std::uint16_t port) override {
      const std::string key = host + ":" + std::to_string(port);
      const auto it = net_.listeners_.find(key);
      if (it == net_.listeners_.end()) {
        net_.post([this] { adapter_.SocketError(0, 10061, "connection refused"); });
        return {};
      }
      const int request = ++net_.requests_;
      connecting_ = request;
      net_.pending_[request] = Pending{it->second, this};
      Transport* listener = it->second;
      net_.post([listener, request] { listener->adapter_.ConnectionRequest(0, request); });
      return {};
    }

   private:
    friend class FakeHubNetwork;
    struct Peer {
      Transport* transport;
      int socket;
      std::uint64_t link;
    };
    void receive(int socket, std::uint64_t link, const std::string& bytes) {
      const auto it = peers_.find(socket);
      if (it == peers_.end() || it->second.link != link) return;
      const std::string arrival = framers_[socket].Feed(bytes);
      if (!arrival.empty()) adapter_.DataArrival(socket, arrival);
    }

    FakeHubNetwork& net_;
    NetAdapter& adapter_;
    std::map<int, Peer> peers_;
    std::map<int, MessageFramer> framers_;
    std::string listenKey_;
    int connecting_ = 0;
  };

 private:
  struct Pending {
    Transport* listener;
    Transport* station;
  };
  void post(std::function<void()> event) { events_.push_back(std::move(event)); }
  bool coin() { return (random_() & 1u) != 0; }
  std::size_t below(std::size_t n) { return static_cast<std::size_t>(random_() % n); }

  std::mt19937 random_;
  std::deque<std::function<void()>> events_;
  std::vector<std::unique_ptr<Transport>> transports_;
  std::map<std::string, Transport*> listeners_;
  std::map<int, Pending> pending_;
  int requests_ = 0;
  std::uint64_t links_ = 0;
};

}  // namespace vesk::testing
