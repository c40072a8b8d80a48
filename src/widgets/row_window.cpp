#include "widgets/row_window.h"

#include <algorithm>

namespace vesk {

namespace {

// Rounds towards minus infinity (lines above the viewport have negative y).
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0); }

}  // namespace

void RowWindow::setRowHeight(int pixels) { rowHeight_ = std::max(1, pixels); }

void RowWindow::setViewportHeight(int pixels) {
  viewportHeight_ = std::max(0, pixels);
  setValue(value_);
}

void RowWindow::setLineCount(std::int64_t lines) {
  lines_ = std::max<std::int64_t>(0, lines);
  setValue(value_);
}

void RowWindow::setValue(std::int64_t value) { value_ = std::clamp<std::int64_t>(value, 0, maximum()); }

std::int64_t RowWindow::rowsInViewport() const { return std::max<std::int64_t>(1, viewportHeight_ / rowHeight_); }

std::int64_t RowWindow::maximum() const { return std::max<std::int64_t>(0, lines_ - rowsInViewport()); }

std::int64_t RowWindow::top() const {
  const std::int64_t last = maximum();
  if (last > 0 && value_ >= last) return lines_ * rowHeight_ - viewportHeight_;
  return value_ * rowHeight_;
}

std::int64_t RowWindow::lineAt(std::int64_t y) const { return FloorDiv(top() + y, rowHeight_); }

std::int64_t RowWindow::firstShown() const { return std::max<std::int64_t>(0, lineAt(0)); }

std::int64_t RowWindow::lastShown() const {
  if (viewportHeight_ == 0) return firstShown() - 1;
  return std::min(lines_ - 1, lineAt(viewportHeight_ - 1));
}

std::int64_t RowWindow::valueShowing(std::int64_t line, Hint hint) const {
  const std::int64_t y = lineTop(line);
  if (hint == Hint::EnsureVisible) {
    if (y < 0 || rowHeight_ > viewportHeight_)
      hint = Hint::PositionAtTop;
    else if (y + rowHeight_ > viewportHeight_)
      hint = Hint::PositionAtBottom;
    else
      return value_;
  }
  std::int64_t first = line;
  if (hint == Hint::PositionAtBottom || hint == Hint::PositionAtCenter) {
    const std::int64_t room = hint == Hint::PositionAtCenter ? viewportHeight_ / 2 : viewportHeight_;
    first -= std::clamp<std::int64_t>(room / rowHeight_ - 1, 0, std::max<std::int64_t>(0, line));
  }
  return std::clamp<std::int64_t>(first, 0, maximum());
}

std::int64_t RowWindow::pageUp(std::int64_t line) const {
  const std::int64_t target = lineAt(lineTop(line) + rowHeight_ - 1 - viewportHeight_);
  return std::clamp<std::int64_t>(target, 0, std::max<std::int64_t>(0, lines_ - 1));
}

std::int64_t RowWindow::pageDown(std::int64_t line) const {
  const std::int64_t target = lineAt(lineTop(line) + viewportHeight_);
  return std::clamp<std::int64_t>(target, 0, std::max<std::int64_t>(0, lines_ - 1));
}

void RowWindow::insertLines(std::int64_t at, std::int64_t count) {
  if (count <= 0) return;
  const std::int64_t value = at < value_ ? value_ + count : value_;
  lines_ += count;
  setValue(value);
}

void RowWindow::removeLines(std::int64_t at, std::int64_t count) {
  count = std::min(count, lines_ - at);
  if (at < 0 || count <= 0) return;
  const bool end = atEnd() && value_ > 0;
  std::int64_t value = value_;
  if (at + count <= value)
    value -= count;
  else if (at < value)
    value = at;
  lines_ -= count;
  setValue(end ? maximum() : value);
}

}  // namespace vesk
