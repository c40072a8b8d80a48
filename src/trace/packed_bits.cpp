#include "trace/packed_bits.h"

namespace vesk {

namespace {
constexpr char kHex[] = "0123456789ABCDEF";
}

bool PackBits(std::string_view s, std::size_t width, std::uint32_t& value) {
  if (s.size() != width || width > 32) return false;
  std::uint32_t v = 0;
  for (const char c : s) {
    if (c != '0' && c != '1') return false;
    v = (v << 1) | static_cast<std::uint32_t>(c - '0');
  }
  value = v;
  return true;
}

bool PackHex2(std::string_view s, std::uint8_t& value) {
  if (s.size() != 2) return false;
  int v = 0;
  for (const char c : s) {
    int d = -1;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    if (d < 0) return false;
    v = v * 16 + d;
  }
  value = static_cast<std::uint8_t>(v);
  return true;
}

void AppendBitsHex(std::string& out, std::uint32_t value, int width) {
  const int digits = (width + 3) / 4;
  for (int d = digits - 1; d >= 0; --d) out.push_back(kHex[(value >> (4 * d)) & 15u]);
}

void AppendHex2(std::string& out, std::uint8_t value) {
  out.push_back(kHex[value >> 4]);
  out.push_back(kHex[value & 15]);
}

}  // namespace vesk
