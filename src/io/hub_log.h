// The log of a hub: one Russian line per join, leave, refusal and
// disconnection (io/hub_event.h), and the counts behind a summary. The hub's
// window shows the lines; vesk-hub prints them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "io/net_adapter.h"

namespace vesk {

class HubLog : private NetAdapterListener {
 public:
  using Sink = std::function<void(const std::string& line)>;

  // Listens to adapter for as long as it lives; every line goes to sink.
  HubLog(NetAdapter& adapter, Sink sink);
  ~HubLog() override;
  HubLog(const HubLog&) = delete;
  HubLog& operator=(const HubLog&) = delete;

  std::uint64_t Joined() const { return joined_; }
  std::uint64_t Left() const { return left_; }
  std::uint64_t Refused() const { return refused_; }
  std::uint64_t Disconnected() const { return disconnected_; }

  // "итог: станций подключалось 3, отключилось 1, отключено концентратором 1,
  // подключений отклонено 0; сейчас станций 1; пакетов передано 1234"
  std::string Summary() const;

 private:
  void hubEvent(const HubEvent& event) override;

  NetAdapter& adapter_;
  Sink sink_;
  std::uint64_t joined_ = 0, left_ = 0, refused_ = 0, disconnected_ = 0;
};

}  // namespace vesk
