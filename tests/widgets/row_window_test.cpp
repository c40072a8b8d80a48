// The arithmetic of a long list's viewport: which lines show at a scroll
// position, the end of the range, following the list as lines are added,
// removed at the end or dropped at the top, and 64-bit positions.
#include "widgets/row_window.h"

#include <gtest/gtest.h>

#include <climits>

using vesk::RowWindow;
using Hint = RowWindow::Hint;

namespace {

// Rows of 20 pixels in 105: five whole rows and 5 pixels of a sixth.
RowWindow Window(std::int64_t lines, std::int64_t value = 0) {
  RowWindow w;
  w.setRowHeight(20);
  w.setViewportHeight(105);
  w.setLineCount(lines);
  w.setValue(value);
  return w;
}

}  // namespace

TEST(RowWindow, ShowsTheLinesOfAScrollPositionAndClampsIt) {
  RowWindow w = Window(1000);
  EXPECT_EQ(w.rowsInViewport(), 5);
  EXPECT_EQ(w.maximum(), 995);
  EXPECT_EQ(w.top(), 0);
  EXPECT_EQ(w.firstShown(), 0);
  EXPECT_EQ(w.lastShown(), 5);  // the sixth row in part
  EXPECT_EQ(w.lineAt(0), 0);
  EXPECT_EQ(w.lineAt(19), 0);
  EXPECT_EQ(w.lineAt(20), 1);
  EXPECT_EQ(w.lineAt(104), 5);
  EXPECT_EQ(w.lineAt(-1), -1);  // above the viewport rounds down, not to line 0
  w.setValue(10);
  EXPECT_EQ(w.firstShown(), 10);
  EXPECT_EQ(w.lastShown(), 15);
  EXPECT_EQ(w.lineTop(10), 0);
  EXPECT_EQ(w.lineTop(12), 40);
  EXPECT_EQ(w.lineTop(9), -20);
  EXPECT_FALSE(w.atEnd());
  w.setValue(-4);
  EXPECT_EQ(w.value(), 0);
  w.setValue(5000);
  EXPECT_EQ(w.value(), 995);
}

TEST(RowWindow, AtTheEndTheNewestLineRestsOnTheBottomEdge) {
  RowWindow w = Window(1000, 995);
  EXPECT_TRUE(w.atEnd());
  EXPECT_EQ(w.top(), 1000 * 20 - 105);
  EXPECT_EQ(w.lineTop(999) + 20, 105);
  EXPECT_EQ(w.firstShown(), 994);  // cut at the top
  EXPECT_EQ(w.lineTop(994), -15);
  EXPECT_EQ(w.lastShown(), 999);
  EXPECT_EQ(w.lineAt(104), 999);
  EXPECT_EQ(w.lineAt(105), 1000);  // past the end: no line
}

TEST(RowWindow, AShortOrEmptyListNeedsNoScrolling) {
  RowWindow w = Window(3);
  EXPECT_EQ(w.maximum(), 0);
  EXPECT_TRUE(w.atEnd());
  EXPECT_EQ(w.top(), 0);
  EXPECT_EQ(w.lastShown(), 2);
  RowWindow empty = Window(0);
  EXPECT_EQ(empty.maximum(), 0);
  EXPECT_LT(empty.lastShown(), empty.firstShown());
  RowWindow tiny;  // a viewport lower than a row still scrolls a row at a time
  tiny.setRowHeight(20);
  tiny.setViewportHeight(10);
  tiny.setLineCount(50);
  EXPECT_EQ(tiny.rowsInViewport(), 1);
  EXPECT_EQ(tiny.maximum(), 49);
  EXPECT_EQ(tiny.valueShowing(30, Hint::EnsureVisible), 30);
}

TEST(RowWindow, AStepBackAtTheEndStaysAtTheEndAndElsewhereKeepsTheLinesInView) {
  RowWindow end = Window(1000, 995);
  end.removeLines(988, 12);
  EXPECT_EQ(end.lineCount(), 988);
  EXPECT_EQ(end.value(), 983);
  EXPECT_TRUE(end.atEnd());
  end.removeLines(500, 488);  // more lines than the viewport shows
  EXPECT_EQ(end.value(), 495);
  EXPECT_TRUE(end.atEnd());

  RowWindow middle = Window(1000, 100);
  middle.removeLines(988, 12);
  EXPECT_EQ(middle.value(), 100);
  middle.removeLines(102, 886);  // most of the lines in view go: the newest left rest on the bottom
  EXPECT_EQ(middle.lineCount(), 102);
  EXPECT_EQ(middle.value(), 97);
  EXPECT_TRUE(middle.atEnd());

  RowWindow all = Window(1000, 400);
  all.removeLines(0, 1000);
  EXPECT_EQ(all.value(), 0);
  EXPECT_EQ(all.lineCount(), 0);
  all.removeLines(0, 5);  // nothing left to remove
  EXPECT_EQ(all.lineCount(), 0);
}

TEST(RowWindow, TheOldestLinesDroppedAtTheTopLeaveTheSameLinesInView) {
  RowWindow w = Window(1000, 100);
  w.removeLines(0, 30);
  EXPECT_EQ(w.value(), 70);  // what was line 100 is line 70 now
  w.removeLines(0, 90);      // the lines in view went too: the oldest left
  EXPECT_EQ(w.value(), 0);
  RowWindow end = Window(1000, 995);
  end.removeLines(0, 30);
  EXPECT_EQ(end.value(), 965);
  EXPECT_TRUE(end.atEnd());
  EXPECT_EQ(end.top(), 970 * 20 - 105);
}

TEST(RowWindow, LinesAddedAtTheEndDoNotMoveTheView) {
  RowWindow w = Window(1000, 995);
  w.insertLines(1000, 50);
  EXPECT_EQ(w.lineCount(), 1050);
  EXPECT_EQ(w.value(), 995);  // following the end is the window's choice, not the list's
  EXPECT_FALSE(w.atEnd());
  EXPECT_EQ(w.top(), 995 * 20);
  w.insertLines(0, 5);  // before the lines in view: they move down and stay in view
  EXPECT_EQ(w.value(), 1000);
  w.insertLines(3000, 0);
  EXPECT_EQ(w.lineCount(), 1055);
}

TEST(RowWindow, BringsALineIntoViewAsATableScrolledByRowsDoes) {
  RowWindow w = Window(1000, 100);
  EXPECT_EQ(w.valueShowing(102, Hint::EnsureVisible), 100);  // wholly in view: no move
  EXPECT_EQ(w.valueShowing(105, Hint::EnsureVisible), 101);  // cut at the bottom: to the bottom
  EXPECT_EQ(w.valueShowing(300, Hint::EnsureVisible), 296);
  EXPECT_EQ(w.valueShowing(40, Hint::EnsureVisible), 40);  // above: to the top
  EXPECT_EQ(w.valueShowing(102, Hint::PositionAtTop), 102);
  EXPECT_EQ(w.valueShowing(102, Hint::PositionAtBottom), 98);
  EXPECT_EQ(w.valueShowing(102, Hint::PositionAtCenter), 101);  // 52 pixels above: one row
  EXPECT_EQ(w.valueShowing(2, Hint::PositionAtBottom), 0);
  EXPECT_EQ(w.valueShowing(999, Hint::PositionAtTop), 995);
  RowWindow end = Window(1000, 995);
  EXPECT_EQ(end.valueShowing(994, Hint::EnsureVisible), 994);  // the cut top row
  EXPECT_EQ(end.valueShowing(999, Hint::EnsureVisible), 995);
}

TEST(RowWindow, PagesMoveByAViewportAndStopAtTheEnds) {
  RowWindow w = Window(1000, 0);
  EXPECT_EQ(w.pageDown(0), 5);
  EXPECT_EQ(w.pageDown(2), 7);
  EXPECT_EQ(w.pageUp(5), 0);
  EXPECT_EQ(w.pageUp(50), 45);
  EXPECT_EQ(w.pageUp(2), 0);
  EXPECT_EQ(w.pageDown(998), 999);
  w.setValue(995);
  EXPECT_EQ(w.pageUp(999), 994);
  EXPECT_EQ(Window(0).pageDown(0), 0);
}

TEST(RowWindow, PositionsPastAnIntsRangeStayExact) {
  RowWindow w;
  w.setRowHeight(24);
  w.setViewportHeight(300);
  const std::int64_t lines = 120'000'000;  // 2.88e9 pixels
  w.setLineCount(lines);
  w.setValue(w.maximum());
  EXPECT_EQ(w.maximum(), lines - 12);
  EXPECT_GT(w.top(), std::int64_t{INT_MAX});
  EXPECT_EQ(w.top(), lines * 24 - 300);
  EXPECT_EQ(w.lastShown(), lines - 1);
  EXPECT_EQ(w.lineAt(299), lines - 1);
  EXPECT_EQ(w.lineTop(lines - 1), 276);
  EXPECT_EQ(w.lineTop(0), -(lines * 24 - 300));
  EXPECT_EQ(w.valueShowing(0, Hint::EnsureVisible), 0);
  w.setValue(100'000'000);
  EXPECT_EQ(w.firstShown(), 100'000'000);
  EXPECT_EQ(w.pageDown(100'000'000), 100'000'012);
}
