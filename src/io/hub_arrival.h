// How bytes from the wire become hub messages.
//
// The wire carries text messages, each ended by one 0x00 byte. An arrival
// (what one data-arrival event delivers) is split at every 0x00: each run of
// characters before a 0x00 is one message, empty runs are skipped, and the
// characters after the last 0x00 are discarded; nothing is carried over to
// the next arrival.
//
// TCP may cut a message anywhere, so the socket layer keeps the unfinished
// tail of what it has read (MessageFramer) and hands the protocol only
// arrivals that end at a message's 0x00.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vesk {

// The longest message text accepted (without its 0x00); longer ones are
// dropped whole.
inline constexpr std::size_t kMaxHubMessage = 4096;

// Calls onMessage(text) for every non-empty message of the arrival, in order.
// onMessage returns false to stop the walk (the rest of the arrival is then
// not looked at).
template <class OnMessage>
void SplitArrival(std::string_view arrival, OnMessage&& onMessage) {
  std::size_t start = 0;
  while (start < arrival.size()) {
    const std::size_t end = arrival.find('\0', start);
    if (end == std::string_view::npos) return;
    if (end > start && !onMessage(arrival.substr(start, end - start))) return;
    start = end + 1;
  }
}

// The socket layer's side: bytes in as TCP delivers them, arrivals out.
class MessageFramer {
 public:
  // Everything up to and including the last 0x00 seen so far (empty when no
  // message is complete yet); the rest waits for the next Feed. A tail that
  // grows past kMaxHubMessage without a 0x00 is dropped, and so is the rest
  // of that message when its 0x00 finally comes.
  std::string Feed(std::string_view bytes);

  // Bytes waiting for their 0x00 (never more than kMaxHubMessage).
  std::size_t Pending() const { return pending_.size(); }
  bool Skipping() const { return skipping_; }
  void Reset();

 private:
  void keep(std::string_view tail);

  std::string pending_;
  bool skipping_ = false;
};

// Lower case of windows-1251 text: Latin and Cyrillic letters.
std::string Cp1251Lower(std::string_view text);

}  // namespace vesk
