#include "format/number_text.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace vesk {

double LeadingNumber(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  std::string text;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) text.push_back(s[i++]);
  bool digits = false;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
    text.push_back(s[i++]);
    digits = true;
  }
  if (i < s.size() && s[i] == '.') {
    text.push_back(s[i++]);
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
      text.push_back(s[i++]);
      digits = true;
    }
  }
  if (!digits) return 0.0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    std::string exp = "e";
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) exp.push_back(s[j++]);
    bool expDigits = false;
    while (j < s.size() && s[j] >= '0' && s[j] <= '9' && exp.size() < 8) {
      exp.push_back(s[j++]);
      expDigits = true;
    }
    if (expDigits) text += exp;
  }
  const double v = std::strtod(text.c_str(), nullptr);
  return std::isfinite(v) ? v : (v > 0 ? 1e300 : -1e300);
}

std::int64_t RoundHalfEven(double v) {
  if (std::isnan(v)) return 0;
  constexpr double kLimit = 9.2e18;
  if (v >= kLimit) return static_cast<std::int64_t>(kLimit);
  if (v <= -kLimit) return -static_cast<std::int64_t>(kLimit);
  // nearbyint rounds halves to even in the default rounding mode.
  return static_cast<std::int64_t>(std::nearbyint(v));
}

std::optional<int> ParseHexBelow(std::string_view text, int limit) {
  if (text.empty()) return std::nullopt;
  long long v = 0;
  for (const char c : text) {
    int d = -1;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    if (d < 0) return std::nullopt;
    v = v * 16 + d;
    if (v >= limit) return std::nullopt;
  }
  return static_cast<int>(v);
}

std::string_view Trim(std::string_view s) {
  std::size_t b = 0;
  std::size_t e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}

}  // namespace vesk
