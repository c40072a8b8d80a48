#include "io/net_adapter.h"

#include <algorithm>
#include <climits>

namespace vesk {

namespace {

constexpr std::string_view kAuthorize = "quon-authorize.";
constexpr std::string_view kName = "quon-name:";
constexpr std::string_view kAccepted = "quon-accepted:";
constexpr std::string_view kSwitching = "quon-switching2dm.";
constexpr std::string_view kServerName = "srvname:";
constexpr std::string_view kPrivate = "private-packet:";
constexpr std::string_view kPublic = "public-packet:";
constexpr std::string_view kStationPrefix = "vesk";

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The byte of a public packet's data: one or two hex digits, nothing else.
std::optional<std::uint8_t> PacketByte(std::string_view data) {
  if (data.empty() || data.size() > 2) return std::nullopt;
  int value = 0;
  for (const char c : data) {
    const int d = HexDigit(c);
    if (d < 0) return std::nullopt;
    value = value * 16 + d;
  }
  return static_cast<std::uint8_t>(value);
}

std::string ByteHex(std::uint8_t byte) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  return {kDigits[byte >> 4], kDigits[byte & 0x0F]};
}

}  // namespace

NetAdapter::NetAdapter() { sockets_[0] = Socket{}; }

std::string NetAdapter::NameOfSocket(int socket) { return std::string(kStationPrefix) + std::to_string(socket); }

std::optional<int> NetAdapter::socketOfName(std::string_view name) const {
  if (!StartsWith(name, kStationPrefix)) return std::nullopt;
  const std::string_view digits = name.substr(kStationPrefix.size());
  if (digits.empty() || digits.size() > 9 || (digits.size() > 1 && digits[0] == '0')) return std::nullopt;
  int index = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    index = index * 10 + (c - '0');
  }
  if (index == 0 || sockets_.count(index) == 0) return std::nullopt;
  return index;
}

std::vector<int> NetAdapter::SocketIndices() const {
  std::vector<int> indices;
  indices.reserve(sockets_.size());
  for (const auto& [index, socket] : sockets_) indices.push_back(index);
  return indices;
}

int NetAdapter::HandshakeCount() const {
  int n = 0;
  for (const auto& [index, socket] : sockets_) n += index > 0 && socket.mode == 0 ? 1 : 0;
  return n;
}

int NetAdapter::dataStationCount() const { return StationCount() - HandshakeCount(); }

void NetAdapter::tell(const HubEvent& event) {
  listeners_.each([&event](NetAdapterListener& l) { l.hubEvent(event); });
}

void NetAdapter::disconnect(int socket, const char* reason) {
  const auto it = sockets_.find(socket);
  if (it == sockets_.end()) return;
  HubEvent event;
  event.kind = HubEvent::Kind::Disconnected;
  event.reason = reason;
  event.name = NameOfSocket(socket);
  event.peer = it->second.peer;
  event.joined = it->second.mode == 1;
  event.hubLink = socket == 0;
  closeSocket(socket);
  if (socket != 0 || !hubRole_) tell(event);
  admitWaiting();
}

std::optional<int> NetAdapter::SocketMode(int socket) const {
  const auto it = sockets_.find(socket);
  if (it == sockets_.end()) return std::nullopt;
  return it->second.mode;
}

void NetAdapter::stateChanged() {
  listeners_.each([](NetAdapterListener& l) { l.adapterStateChanged(); });
}

void NetAdapter::setMode(int socket, int mode) {
  const auto it = sockets_.find(socket);
  if (it == sockets_.end()) return;
  it->second.mode = mode;
  stateChanged();
}

void NetAdapter::setPollTimer(bool enabled) {
  if (pollTimer_ == enabled) return;
  pollTimer_ = enabled;
  listeners_.each([enabled](NetAdapterListener& l) { l.pollTimerChanged(enabled); });
}

// ---- starting and stopping -------------------------------------------------

void NetAdapter::Stop() {
  setPollTimer(false);
  for (const Waiting& w : waiting_)
    if (transport_ != nullptr) transport_->Refuse(w.request);
  waiting_.clear();
  for (const int index : SocketIndices())
    if (transport_ != nullptr) transport_->Close(index);
  sockets_.clear();
  sockets_[0] = Socket{};
  stateChanged();
}

std::string NetAdapter::StartHub(const std::string& host, std::uint16_t port) {
  Stop();
  hubRole_ = true;
  stationName_ = std::string(kHubOwnName);
  hubName_.clear();
  stateChanged();
  if (transport_ == nullptr) return "нет сетевого уровня";
  std::string why = transport_->Listen(host, port);
  if (!why.empty()) transport_->Close(0);
  return why;
}

std::string NetAdapter::StartStation(const std::string& host, std::uint16_t port) {
  const bool wasHub = hubRole_;
  Stop();
  hubRole_ = false;
  if (wasHub) {
    stationName_.clear();
    hubName_.clear();
  }
  stateChanged();
  if (transport_ == nullptr) return "нет сетевого уровня";
  std::string why = transport_->Connect(host, port);
  if (!why.empty()) {
    transport_->Close(0);
    return why;
  }
  setPollTimer(true);
  return {};
}

// ---- the protocol ----------------------------------------------------------

void NetAdapter::SendHubMessage(int socket, std::string_view text) {
  if (transport_ == nullptr || !transport_->IsConnected(socket)) return;
  std::string bytes;
  bytes.reserve(text.size() + 1);
  bytes.append(text);
  bytes.push_back('\0');
  transport_->Send(socket, bytes);
  // A peer that does not take what is sent would make this process hold it all.
  if (transport_->UnsentBytes(socket) > kMaxUnsentBytes) disconnect(socket, kReasonNotReading);
}

void NetAdapter::HousekeepingTick() {
  if (!hubRole_) return;
  const auto now = clock_();
  std::vector<int> late;
  for (const auto& [index, socket] : sockets_)
    if (index > 0 && socket.mode == 0 && now - socket.arrived >= kHandshakeDeadline) late.push_back(index);
  for (const int index : late) disconnect(index, kReasonHandshakeTimeout);
  admitWaiting();
}

void NetAdapter::PollTick() {
  if (!pollTimer_) return;
  if (transport_ == nullptr || !transport_->IsConnected(0)) return;
  setPollTimer(false);
  SendHubMessage(0, kAuthorize);
}

void NetAdapter::HandleHubMessage(std::string_view text, int socket) {
  const auto it = sockets_.find(socket);
  if (it == sockets_.end()) return;
  const std::string m = Cp1251Lower(text);
  if (it->second.mode == 0) {
    if (StartsWith(m, "quon")) handleHandshake(m, socket);
  } else if (it->second.mode == 1) {
    handleData(m, socket);
  }
}

void NetAdapter::handleHandshake(const std::string& m, int socket) {
  if (hubRole_) {
    if (StartsWith(m, kAuthorize)) {
      sockets_[socket].authorized = true;
      SendHubMessage(socket, std::string(kName) + NameOfSocket(socket));
    } else if (StartsWith(m, kAccepted)) {
      if (std::string_view(m).substr(kAccepted.size()) != NameOfSocket(socket)) return;
      // Others may have taken the last places while this one shook hands.
      if (dataStationCount() >= kMaxStations) {
        disconnect(socket, kReasonNoSlot);
        return;
      }
      std::string reply(kSwitching);
      reply.push_back('\0');
      reply += kServerName;
      reply += stationName_;
      SendHubMessage(socket, reply);
      const auto it = sockets_.find(socket);
      if (it == sockets_.end()) return;
      setMode(socket, 1);
      HubEvent event;
      event.name = NameOfSocket(socket);
      event.peer = it->second.peer;
      tell(event);
      admitWaiting();
    }
    return;
  }
  if (StartsWith(m, kName)) {
    stationName_ = m.substr(kName.size());
    SendHubMessage(socket, std::string(kAccepted) + stationName_);
    stateChanged();
  } else if (StartsWith(m, kSwitching)) {
    setMode(socket, 1);
  }
}

void NetAdapter::handleData(const std::string& m, int socket) {
  if (!hubRole_ && StartsWith(m, kServerName)) {
    hubName_ = m.substr(kServerName.size());
    stateChanged();
    return;
  }
  const std::string_view view(m);
  if (StartsWith(view, kPrivate)) {
    const std::size_t first = view.find(';');
    if (first == std::string_view::npos) return;
    const std::size_t second = view.find(';', first + 1);
    if (second == std::string_view::npos) return;
    const std::string_view recipient = view.substr(first + 1, second - first - 1);
    if (recipient == stationName_) {
      HubPacket packet{false, socket, std::string(view.substr(kPrivate.size(), first - kPrivate.size())),
                       std::string(recipient), std::string(view.substr(second + 1))};
      listeners_.each([&packet](NetAdapterListener& l) { l.packetReceived(packet); });
      return;
    }
    if (!hubRole_) return;
    const auto target = socketOfName(recipient);
    if (target && SocketMode(*target) == 1) {
      ++packetsPassedOn_;
      SendHubMessage(*target, m);
    }
  } else if (StartsWith(view, kPublic)) {
    const std::size_t first = view.find(';');
    if (first == std::string_view::npos) return;
    takePublic(m, socket, view.substr(kPublic.size(), first - kPublic.size()), view.substr(first + 1));
  }
}

void NetAdapter::takePublic(const std::string& m, int socket, std::string_view first, std::string_view data) {
  const auto byte = PacketByte(data);
  if (!byte) return;
  if (receiveBuffer_.size() < kReceiveBufferCapacity) {
    receiveBuffer_.push_back(static_cast<char>(*byte));
    listeners_.each([](NetAdapterListener& l) { l.receiveBufferChanged(); });
  } else {
    ++droppedBytes_;
  }
  const HubPacket packet{true, socket, std::string(first), {}, std::string(data)};
  listeners_.each([&packet](NetAdapterListener& l) { l.packetReceived(packet); });
  if (hubRole_) relay(m, socket);
}

void NetAdapter::relay(const std::string& m, int except) {
  ++packetsPassedOn_;
  // Sending may close sockets; walk a copy of the indices.
  for (const int index : SocketIndices()) {
    if (index == 0 || index == except) continue;
    const auto it = sockets_.find(index);
    if (it != sockets_.end() && it->second.mode == 1) SendHubMessage(index, m);
  }
}

// ---- socket events ---------------------------------------------------------

void NetAdapter::DataArrival(int socket, std::string_view bytes) {
  if (sockets_.count(socket) == 0) return;
  SplitArrival(bytes, [this, socket](std::string_view message) {
    if (message.size() > kMaxHubMessage) {
      ++droppedMessages_;
    } else {
      HandleHubMessage(message, socket);
    }
    return sockets_.count(socket) > 0;
  });
}

void NetAdapter::ConnectionRequest(int socket, int request) {
  if (transport_ == nullptr) return;
  if (socket != 0 || !hubRole_ || sockets_.rbegin()->first == INT_MAX) {
    transport_->Refuse(request);
    return;
  }
  const std::string peer = transport_->RequestPeerText(request);
  // Stations in data mode keep their places whatever connects meanwhile.
  if (dataStationCount() >= kMaxStations) {
    refuse(request, peer, kReasonNoSlot);
    return;
  }
  const auto now = clock_();
  if (waiting_.empty() && HandshakeCount() < kMaxHandshakes) {
    acceptRequest(request, now, peer);
    return;
  }
  if (waiting_.size() >= kMaxWaiting) {
    // The line is full: the oldest that has said nothing leaves it, or, when
    // all have spoken, the newcomer is turned away.
    const auto silent = std::find_if(waiting_.begin(), waiting_.end(),
                                     [this](const Waiting& w) { return !transport_->RequestHasData(w.request); });
    if (silent == waiting_.end()) {
      refuse(request, peer, kReasonQueueFull);
      return;
    }
    const Waiting gone = *silent;
    waiting_.erase(silent);
    refuse(gone.request, gone.peer, kReasonSilent);
  }
  waiting_.push_back({request, now, peer});
  admitWaiting();
}

void NetAdapter::refuse(int request, const std::string& peer, const char* reason) {
  transport_->Refuse(request);
  HubEvent event;
  event.kind = HubEvent::Kind::Refused;
  event.peer = peer;
  event.reason = reason;
  event.joined = false;
  tell(event);
}

bool NetAdapter::acceptRequest(int request, std::chrono::steady_clock::time_point arrived, const std::string& peer) {
  const int index = sockets_.rbegin()->first + 1;
  if (!transport_->Accept(request, index)) return false;
  Socket& added = sockets_[index];
  added.arrived = arrived;
  // What it said while it waited reaches the adapter only now.
  added.taken = clock_();
  added.peer = peer;
  stateChanged();
  return true;
}

void NetAdapter::admitWaiting() {
  if (admitting_ || !hubRole_ || transport_ == nullptr) return;
  admitting_ = true;
  const auto now = clock_();
  const auto silent = [&](const Waiting& w) { return now - w.arrived >= kSilenceGrace && !transport_->RequestHasData(w.request); };
  // Requests past their time, and silent ones while others wait, leave.
  for (auto it = waiting_.begin(); it != waiting_.end();) {
    const bool late = now - it->arrived >= kHandshakeDeadline;
    if (!late && !silent(*it)) {
      ++it;
      continue;
    }
    const Waiting gone = *it;
    it = waiting_.erase(it);
    refuse(gone.request, gone.peer, late ? kReasonHandshakeTimeout : kReasonSilent);
  }
  if (!waiting_.empty()) {
    // Connections that have not begun their handshake in time give way.
    std::vector<int> idle;
    for (const auto& [index, socket] : sockets_)
      if (index > 0 && socket.mode == 0 && !socket.authorized && now - socket.taken >= kSilenceGrace)
        idle.push_back(index);
    for (const int index : idle) disconnect(index, kReasonSilent);
  }
  // Free places go first to requests whose peers have spoken, then in order.
  while (!waiting_.empty() && HandshakeCount() < kMaxHandshakes) {
    auto next = waiting_.begin();
    for (auto it = waiting_.begin(); it != waiting_.end(); ++it)
      if (transport_->RequestHasData(it->request)) {
        next = it;
        break;
      }
    const Waiting chosen = *next;
    waiting_.erase(next);
    if (dataStationCount() >= kMaxStations) refuse(chosen.request, chosen.peer, kReasonNoSlot);
    else acceptRequest(chosen.request, chosen.arrived, chosen.peer);
  }
  admitting_ = false;
}

void NetAdapter::closeSocket(int socket) {
  if (sockets_.count(socket) == 0) return;
  if (transport_ != nullptr) transport_->Close(socket);
  if (socket == 0) {
    sockets_[0] = Socket{};
    setPollTimer(false);
  } else {
    sockets_.erase(socket);
  }
  stateChanged();
}

void NetAdapter::lost(int socket, bool broken) {
  const auto it = sockets_.find(socket);
  if (it == sockets_.end()) return;
  const bool told = it->second.mode == 1 && (socket != 0 || !hubRole_);
  HubEvent event;
  event.kind = HubEvent::Kind::Left;
  event.name = NameOfSocket(socket);
  event.peer = it->second.peer;
  event.reason = broken ? kReasonBroken : "";
  event.hubLink = socket == 0;
  closeSocket(socket);
  if (told) tell(event);
  admitWaiting();
}

void NetAdapter::SocketClosed(int socket) { lost(socket, false); }

void NetAdapter::SocketError(int socket, int /*number*/, std::string_view /*description*/) { lost(socket, true); }

// ---- the machine's side ----------------------------------------------------

bool NetAdapter::SendPublicByte(std::uint8_t byte) {
  const std::string text = std::string(kPublic) + stationName_ + ";" + ByteHex(byte);
  if (!hubRole_) {
    if (sockets_[0].mode != 1 || transport_ == nullptr || !transport_->IsConnected(0)) return false;
    SendHubMessage(0, text);
    return true;
  }
  bool sent = false;
  for (const int index : SocketIndices()) {
    const auto it = sockets_.find(index);
    if (index == 0 || it == sockets_.end() || it->second.mode != 1) continue;
    if (transport_ == nullptr || !transport_->IsConnected(index)) continue;
    SendHubMessage(index, text);
    sent = true;
  }
  return sent;
}

bool NetAdapter::SendPrivate(std::string_view recipient, std::string_view data) {
  if (recipient.find(';') != std::string_view::npos || recipient.find('\0') != std::string_view::npos ||
      data.find('\0') != std::string_view::npos)
    return false;
  std::string text(kPrivate);
  text += stationName_;
  text += ';';
  text += recipient;
  text += ';';
  text += data;
  if (text.size() > kMaxHubMessage || transport_ == nullptr) return false;
  int target = 0;
  if (hubRole_) {
    const auto found = socketOfName(Cp1251Lower(recipient));
    if (!found) return false;
    target = *found;
  }
  if (sockets_[target].mode != 1 || !transport_->IsConnected(target)) return false;
  SendHubMessage(target, text);
  return true;
}

std::optional<std::uint8_t> NetAdapter::TakeReceivedByte() {
  if (receiveBuffer_.empty()) return std::nullopt;
  const auto byte = static_cast<std::uint8_t>(receiveBuffer_.front());
  receiveBuffer_.erase(0, 1);
  listeners_.each([](NetAdapterListener& l) { l.receiveBufferChanged(); });
  return byte;
}

}  // namespace vesk
