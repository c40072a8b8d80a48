#include "io/monitor.h"

#include <algorithm>
#include <string>

#include "format/bit_string.h"
#include "util/machine_error.h"

namespace vesk {

Monitor::Monitor() { Reset(); }

void Monitor::Restore(const State& state) {
  if (state == Save()) return;
  cells_ = state.cells;
  column_ = state.column;
  row_ = state.row;
  wrapPending_ = state.wrapPending;
  listeners_.each([](MonitorListener& l) { l.screenChanged(); });
}

void Monitor::Reset() {
  cells_.fill(0);
  for (int y = 1; y <= kRows; ++y) cell(1, y) = '0';
  column_ = 1;
  row_ = 1;
  wrapPending_ = false;
  listeners_.each([](MonitorListener& l) { l.screenChanged(); });
}

void Monitor::check(int x, int y) const {
  if (x < 1 || x > kColumns || y < 1 || y > kRows)
    throw MachineError(error_number::kOutOfRange, "Индекс вне диапазона: на экране нет клетки в столбце " +
                                                      std::to_string(x) + ", строке " + std::to_string(y));
}

void Monitor::SetChar(int x, int y, int c) {
  check(x, y);
  if (c < 0 || c > 255)
    throw MachineError(error_number::kOutOfRange,
                       "Индекс вне диапазона: клетка экрана хранит код 0..255, а не " + std::to_string(c));
  cell(x, y) = static_cast<std::uint8_t>(c);
  listeners_.each([x, y](MonitorListener& l) { l.cellChanged(x, y); });
}

int Monitor::GetChar(int x, int y) const {
  check(x, y);
  return cells_[static_cast<std::size_t>((y - 1) * kColumns + (x - 1))];
}

void Monitor::BufferChanged(std::string_view din_data) { Put(static_cast<std::uint8_t>(BitsValue(din_data) & 0xFFu)); }

void Monitor::newLine() {
  wrapPending_ = false;
  column_ = 1;
  if (row_ < kRows) {
    ++row_;
    return;
  }
  std::copy(cells_.begin() + kColumns, cells_.end(), cells_.begin());
  std::fill(cells_.end() - kColumns, cells_.end(), std::uint8_t{0});
  listeners_.each([](MonitorListener& l) { l.screenChanged(); });
}

void Monitor::Put(std::uint8_t byte) {
  if (byte == kCarriageReturn) {
    newLine();
    return;
  }
  if (byte == kLineFeed) return;
  if (wrapPending_) newLine();
  SetChar(column_, row_, byte);
  if (column_ < kColumns) ++column_;
  else wrapPending_ = true;
}

}  // namespace vesk
