#include "io/monitor.h"

#include <algorithm>
#include <string>

#include "format/bit_string.h"
#include "util/cp1251.h"
#include "util/machine_error.h"

namespace vesk {

Monitor::Monitor() { Reset(); }

void Monitor::Restore(const State& state) {
  if (state == Save()) return;
  cells_ = state.cells;
  column_ = state.column;
  row_ = state.row;
  wrapPending_ = state.wrapPending;
  written_ = state.written;
  listeners_.each([](MonitorListener& l) { l.screenChanged(); });
}

void Monitor::Reset() {
  cells_.fill(0);
  for (int y = 1; y <= kRows; ++y) cell(1, y) = '0';
  column_ = 1;
  row_ = 1;
  wrapPending_ = false;
  written_.fill(false);
  listeners_.each([](MonitorListener& l) { l.screenChanged(); });
}

bool Monitor::RowWritten(int y) const {
  check(1, y);
  return written_[static_cast<std::size_t>(y - 1)];
}

std::string Monitor::Text() const {
  std::string text;
  std::size_t kept = 0;  // the text up to the last row with something in it
  for (int y = 1; y <= kRows; ++y) {
    if (y > 1) text += '\n';
    if (!written_[static_cast<std::size_t>(y - 1)]) continue;
    std::string row;
    for (int x = 1; x <= kColumns; ++x) {
      const std::uint8_t c = cells_[static_cast<std::size_t>((y - 1) * kColumns + (x - 1))];
      row += c == 0 ? ' ' : static_cast<char>(c);
    }
    row.erase(row.find_last_not_of(' ') + 1);
    if (row.empty()) continue;
    text += Cp1251ToUtf8(row);
    kept = text.size();
  }
  text.resize(kept);
  return text;
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
  written_[static_cast<std::size_t>(y - 1)] = true;
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
  std::copy(written_.begin() + 1, written_.end(), written_.begin());
  written_.back() = false;
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
