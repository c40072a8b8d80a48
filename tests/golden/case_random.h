// The random source of the recorded machine cases. Its sequence is fixed by
// its own arithmetic (no standard distribution, whose results differ between
// libraries), so a case number always means the same case.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vesk::golden {

class CaseRandom {
 public:
  explicit CaseRandom(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull) {}

  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // 0 .. n-1 (n > 0).
  int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
  // lo .. hi inclusive.
  int between(int lo, int hi) { return lo + below(hi - lo + 1); }
  // True with the given chance in percent.
  bool percent(int chance) { return below(100) < chance; }
  template <class T>
  const T& pick(const std::vector<T>& items) {
    return items[static_cast<std::size_t>(below(static_cast<int>(items.size())))];
  }

  // Text of '0'/'1' of the given width holding value.
  static std::string Bits(std::uint32_t value, int width) {
    std::string s(static_cast<std::size_t>(width), '0');
    for (int k = 0; k < width && k < 32; ++k)
      if ((value >> k) & 1u) s[static_cast<std::size_t>(width - 1 - k)] = '1';
    return s;
  }
  static std::string Hex(std::uint32_t value, int digits) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string s(static_cast<std::size_t>(digits), '0');
    for (int k = 0; k < digits; ++k) s[static_cast<std::size_t>(digits - 1 - k)] = kHex[(value >> (4 * k)) & 15u];
    return s;
  }

  // A comment a micro-program or dump row may hold: empty, plain, Cyrillic,
  // or with characters HTML must escape.
  std::string comment() {
    static const std::vector<std::string> kComments = {
        "", "", "", "СК -> БР", "Чтение памяти", "a < b & c > d", "ADD: А + РД -> БР", "<td>", "x", "  пробелы  ",
        "&amp;", "Запись <первая> & ещё"};
    return pick(kComments);
  }

  // Text a direct register write may carry: mostly clean bit strings of
  // usual and unusual widths, sometimes characters that are not bits.
  std::string registerText() {
    switch (below(12)) {
      case 0: case 1: case 2: case 3: return Bits(static_cast<std::uint32_t>(next()), 16);
      case 4: return Bits(static_cast<std::uint32_t>(next()), 8);
      case 5: return Bits(static_cast<std::uint32_t>(next()), below(34));
      case 6: return Bits(static_cast<std::uint32_t>(next()), 17);
      case 7: return "";
      case 8: return std::string(static_cast<std::size_t>(between(33, 45)), percent(50) ? '1' : '0');
      default: {
        static const std::vector<std::string> kPieces = {"0", "1", "2", "x", " ", ".", "-", "a", "F", "Ж", "1", "0"};
        std::string s;
        const int n = below(20);
        for (int k = 0; k < n; ++k) s += pick(kPieces);
        return s;
      }
    }
  }

  // Hex text naming a row, as typed: mostly valid, sometimes lower case,
  // too long, empty or not hex at all.
  std::string addressText(int limit, int digits) {
    switch (below(10)) {
      case 0: {
        std::string s = Hex(static_cast<std::uint32_t>(below(limit)), digits);
        for (char& c : s)
          if (c >= 'A' && c <= 'F') c = static_cast<char>(c - 'A' + 'a');
        return s;
      }
      case 1: return pick(std::vector<std::string>{"", "zz", "-1", "1000", "800", "100", "0x1", " 5", "FFFF"});
      default: return Hex(static_cast<std::uint32_t>(below(limit)), between(1, digits));
    }
  }

 private:
  std::uint64_t state_;
};

}  // namespace vesk::golden
