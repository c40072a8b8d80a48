// What happens to the hub's stations, told to the listeners of the network
// adapter and written to the logs of the hub's window and of vesk-hub in the
// same Russian lines.
#pragma once

#include <string>

namespace vesk {

struct HubEvent {
  enum class Kind {
    Joined,        // a station finished its handshake and is in data mode
    Left,          // a station in data mode closed its connection, or it broke
    Refused,       // a connection was closed at once (no slot for it)
    Disconnected,  // the adapter closed a connection, for the reason given
  };
  Kind kind = Kind::Joined;
  std::string name;    // "vesk2": the socket's station name ("" for a refused connection)
  std::string peer;    // "127.0.0.1:40122" when the socket layer tells it
  std::string reason;  // for Refused and Disconnected (and Left, when the connection broke)
  bool joined = true;  // false: the connection had not finished its handshake
  bool hubLink = false;  // a station's own connection to its hub
};

// The reasons.
inline constexpr const char* kReasonNotReading = "не принимает данные";
inline constexpr const char* kReasonNoSlot = "нет свободных мест";
inline constexpr const char* kReasonHandshakeTimeout = "не завершило вход за 10 с";
inline constexpr const char* kReasonSilent = "молчит, а другие ждут очереди";
inline constexpr const char* kReasonQueueFull = "слишком много подключений ждут очереди";
inline constexpr const char* kReasonBroken = "соединение разорвано";

// "станция vesk2 подключилась (127.0.0.1:40122)",
// "станция vesk2 отключена: не принимает данные", ...
std::string HubEventText(const HubEvent& event);

}  // namespace vesk
