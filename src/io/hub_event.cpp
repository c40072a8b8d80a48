#include "io/hub_event.h"

namespace vesk {

namespace {

std::string Peer(const HubEvent& e) { return e.peer.empty() ? std::string() : " (" + e.peer + ")"; }

std::string Reason(const HubEvent& e) { return e.reason.empty() ? std::string() : ": " + e.reason; }

}  // namespace

std::string HubEventText(const HubEvent& e) {
  using Kind = HubEvent::Kind;
  if (e.hubLink) {
    if (e.kind == Kind::Disconnected) return "связь с концентратором закрыта: концентратор " + e.reason;
    return "связь с концентратором потеряна" + Reason(e);
  }
  switch (e.kind) {
    case Kind::Joined: return "станция " + e.name + " подключилась" + Peer(e);
    case Kind::Left: return "станция " + e.name + " отключилась" + Reason(e);
    case Kind::Refused:
      return "подключение" + (e.peer.empty() ? std::string() : " с " + e.peer) + " отклонено" + Reason(e);
    case Kind::Disconnected:
      if (!e.joined) return "подключение " + e.name + Peer(e) + " закрыто: " + e.reason;
      return "станция " + e.name + " отключена" + Reason(e);
  }
  return {};
}

}  // namespace vesk
