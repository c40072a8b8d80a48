// Which lines of a long list of rows of one height a viewport shows. The
// scroll position counts lines, as a list scrolled a row at a time does: line
// `value` sits on the top edge, except at the end of the range, where the
// newest line rests on the bottom edge and the top row may be cut (Qt's item
// views do the same). Positions are 64-bit: a hundred million lines of 24
// pixels are more pixels than an int holds. Every operation costs the same
// whatever the number of lines.
#pragma once

#include <cstdint>

namespace vesk {

class RowWindow {
 public:
  enum class Hint { EnsureVisible, PositionAtTop, PositionAtBottom, PositionAtCenter };

  void setRowHeight(int pixels);        // at least 1
  void setViewportHeight(int pixels);   // at least 0
  void setLineCount(std::int64_t lines);  // the value stays where it can
  void setValue(std::int64_t value);    // clamped to 0..maximum()

  int rowHeight() const { return rowHeight_; }
  int viewportHeight() const { return viewportHeight_; }
  std::int64_t lineCount() const { return lines_; }
  std::int64_t value() const { return value_; }

  // Whole rows the viewport holds, at least 1.
  std::int64_t rowsInViewport() const;
  // The last scroll position: the newest line at the bottom.
  std::int64_t maximum() const;
  bool atEnd() const { return value_ >= maximum(); }

  // Content y (line l covers l * rowHeight .. (l + 1) * rowHeight - 1) of the
  // viewport's top edge.
  std::int64_t top() const;
  // Viewport y of a line's top edge (negative above the viewport).
  std::int64_t lineTop(std::int64_t line) const { return line * rowHeight_ - top(); }
  // The line under viewport y; outside 0..lineCount() - 1 past either end.
  std::int64_t lineAt(std::int64_t y) const;
  // The lines the viewport shows, whole or in part; last < first when none.
  std::int64_t firstShown() const;
  std::int64_t lastShown() const;

  // The scroll position that brings a line into view the way a table view
  // scrolled a row at a time does (EnsureVisible moves only when the line is
  // not wholly in view), clamped to 0..maximum().
  std::int64_t valueShowing(std::int64_t line, Hint hint) const;
  // Page Up and Page Down from a line: the line a viewport's height above or
  // below it, clamped to the list.
  std::int64_t pageUp(std::int64_t line) const;
  std::int64_t pageDown(std::int64_t line) const;

  // Lines inserted before `at` push the lines in view down with them, so the
  // view keeps showing the same lines; lines added at the end change nothing
  // but the range.
  void insertLines(std::int64_t at, std::int64_t count);
  // Lines removed: those in view stay where they are (the oldest lines going
  // at the top move the position up with them); when the lines in view are
  // the ones removed, the position stops at the first line left after them.
  // At the end it stays at the end.
  void removeLines(std::int64_t at, std::int64_t count);

 private:
  int rowHeight_ = 1;
  int viewportHeight_ = 0;
  std::int64_t lines_ = 0;
  std::int64_t value_ = 0;
};

}  // namespace vesk
