// vesk-hub's command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "io/net_adapter.h"

namespace vesk {

// The port a hub listens on unless told otherwise (the network window
// offers the same one).
constexpr std::uint16_t kDefaultHubPort = NetAdapter::kDefaultHubPort;

struct HubOptions {
  std::string host = "127.0.0.1";  // another address only when given
  std::uint16_t port = kDefaultHubPort;
  bool help = false;
};

// Parses the command line; on failure returns the one-line reason.
std::pair<std::optional<HubOptions>, std::string> ParseHubArgs(const std::vector<std::string>& args);

std::string HubUsage();

// Exit statuses of vesk-hub.
constexpr int kHubStopped = 0;       // stopped by SIGINT, SIGTERM or SIGHUP, after the summary
constexpr int kHubCannotListen = 1;  // the address cannot be listened on (in use, not this machine's)
constexpr int kHubUsageError = 2;    // bad usage

}  // namespace vesk
