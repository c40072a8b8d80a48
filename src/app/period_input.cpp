#include "app/period_input.h"

#include "format/number_text.h"

namespace vesk {

PeriodInput ReadPeriods(std::string_view t1, std::string_view t2, std::string_view t3) {
  PeriodInput in;
  const std::array<std::string_view, 3> texts{t1, t2, t3};
  for (std::size_t i = 0; i < 3; ++i) {
    const std::int64_t v = RoundHalfEven(LeadingNumber(texts[i]));
    const std::string which = "Период " + std::to_string(i + 1);
    if (v < 0) {
      in.error = which + " не может быть отрицательным. Прежние периоды сохранены.";
      return in;
    }
    if (v > kMaxPeriod) {
      in.error = which + " не может быть больше " + std::to_string(kMaxPeriod) + " тактов. Прежние периоды сохранены.";
      return in;
    }
    in.periods[i] = static_cast<int>(v);
  }
  if (in.periods[0] == 0 && in.periods[1] == 0 && in.periods[2] == 0) {
    in.error = "Все три периода равны нулю: цикл микрокоманды не может иметь нулевую длину. Прежние периоды сохранены.";
    return in;
  }
  in.ok = true;
  return in;
}

}  // namespace vesk
