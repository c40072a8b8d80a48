#include "io/hub_arrival.h"

#include <array>

namespace vesk {

void MessageFramer::Reset() {
  pending_.clear();
  skipping_ = false;
}

void MessageFramer::keep(std::string_view tail) {
  if (skipping_) return;
  if (pending_.size() + tail.size() > kMaxHubMessage) {
    pending_.clear();
    skipping_ = true;
    return;
  }
  pending_.append(tail);
}

std::string MessageFramer::Feed(std::string_view bytes) {
  const std::size_t last = bytes.rfind('\0');
  if (last == std::string_view::npos) {
    keep(bytes);
    return {};
  }
  std::string arrival;
  std::string_view complete = bytes.substr(0, last + 1);
  if (skipping_) {
    // The bytes up to the first 0x00 end the message that was too long.
    complete.remove_prefix(complete.find('\0') + 1);
    skipping_ = false;
  } else {
    arrival.swap(pending_);
  }
  arrival.append(complete);
  pending_.clear();
  keep(bytes.substr(last + 1));
  return arrival;
}

namespace {

std::array<unsigned char, 256> LowerTable() {
  std::array<unsigned char, 256> t{};
  for (int i = 0; i < 256; ++i) t[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i);
  for (int c = 'A'; c <= 'Z'; ++c) t[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c + 32);
  for (int c = 0xC0; c <= 0xDF; ++c) t[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c + 32);
  // The letters of windows-1251 outside the two runs above.
  const std::array<std::pair<int, int>, 15> pairs{{{0x80, 0x90}, {0x81, 0x83}, {0x8A, 0x9A}, {0x8C, 0x9C},
                                                    {0x8D, 0x9D}, {0x8E, 0x9E}, {0x8F, 0x9F}, {0xA1, 0xA2},
                                                    {0xA3, 0xBC}, {0xA5, 0xB4}, {0xA8, 0xB8}, {0xAA, 0xBA},
                                                    {0xAF, 0xBF}, {0xB2, 0xB3}, {0xBD, 0xBE}}};
  for (const auto& [upper, lower] : pairs) t[static_cast<std::size_t>(upper)] = static_cast<unsigned char>(lower);
  return t;
}

}  // namespace

std::string Cp1251Lower(std::string_view text) {
  static const std::array<unsigned char, 256> table = LowerTable();
  std::string out(text);
  for (char& c : out) c = static_cast<char>(table[static_cast<unsigned char>(c)]);
  return out;
}

}  // namespace vesk
