// The three period fields of the main window as "Прменить" reads them: the
// leading number of each text, rounded halves-to-even.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace vesk {

struct PeriodInput {
  bool ok = false;
  std::array<int, 3> periods{};
  std::string error;  // shown to the user; the previous periods stay
};

// The longest period a field may hold, in ticks (a bit over 16 minutes).
constexpr int kMaxPeriod = 1000000;

// Refuses three zero periods (a micro-command cycle of no length), negative
// periods and periods above kMaxPeriod.
PeriodInput ReadPeriods(std::string_view t1, std::string_view t2, std::string_view t3);

}  // namespace vesk
