#include "io/hub_log.h"

namespace vesk {

HubLog::HubLog(NetAdapter& adapter, Sink sink) : adapter_(adapter), sink_(std::move(sink)) {
  adapter_.listeners().add(this);
}

HubLog::~HubLog() { adapter_.listeners().remove(this); }

void HubLog::hubEvent(const HubEvent& event) {
  switch (event.kind) {
    case HubEvent::Kind::Joined: ++joined_; break;
    case HubEvent::Kind::Left: ++left_; break;
    case HubEvent::Kind::Refused: ++refused_; break;
    case HubEvent::Kind::Disconnected: ++disconnected_; break;
  }
  if (sink_) sink_(HubEventText(event));
}

std::string HubLog::Summary() const {
  const int now = adapter_.StationCount() - adapter_.HandshakeCount();
  return "итог: станций подключалось " + std::to_string(joined_) + ", отключилось " + std::to_string(left_) +
         ", отключено концентратором " + std::to_string(disconnected_) + ", подключений отклонено " +
         std::to_string(refused_) + "; сейчас станций " + std::to_string(now) + "; пакетов передано " +
         std::to_string(adapter_.PacketsPassedOn());
}

}  // namespace vesk
