#include "io/monitor.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "util/machine_error.h"

using namespace vesk;

namespace {

struct Recorder : MonitorListener {
  std::vector<std::pair<int, int>> cells;
  int screens = 0;
  void cellChanged(int x, int y) override { cells.emplace_back(x, y); }
  void screenChanged() override { ++screens; }
};

struct MonitorFixture : ::testing::Test {
  Monitor screen;
  Recorder seen;
  void SetUp() override { screen.listeners().add(&seen); }
  void type(const std::string& text) {
    for (const char c : text) screen.Put(static_cast<std::uint8_t>(c));
  }
  std::string row(int y, int from = 1, int count = Monitor::kColumns) {
    std::string text;
    for (int x = from; x < from + count; ++x) {
      const int c = screen.GetChar(x, y);
      text += c == 0 ? '.' : static_cast<char>(c);
    }
    return text;
  }
};

}  // namespace

TEST_F(MonitorFixture, FreshScreenHasZeroInColumnOneOnly) {
  for (int y = 1; y <= Monitor::kRows; ++y) {
    EXPECT_EQ(screen.GetChar(1, y), '0') << "row " << y;
    for (int x = 2; x <= Monitor::kColumns; ++x) ASSERT_EQ(screen.GetChar(x, y), 0) << x << "," << y;
  }
  EXPECT_EQ(screen.CursorColumn(), 1);
  EXPECT_EQ(screen.CursorRow(), 1);
}

TEST_F(MonitorFixture, SetCharThenGetCharGivesTheCodeAndTellsTheCell) {
  screen.SetChar(5, 2, 65);
  EXPECT_EQ(screen.GetChar(5, 2), 65);
  EXPECT_EQ(screen.GetChar(2, 5), 0) << "x is the column, y the row";
  ASSERT_EQ(seen.cells.size(), 1u);
  EXPECT_EQ(seen.cells[0], std::make_pair(5, 2));
  screen.SetChar(80, 25, 255);
  EXPECT_EQ(screen.GetChar(80, 25), 255);
}

TEST_F(MonitorFixture, CellsOutsideTheScreenAreRefusedAndNothingChanges) {
  for (const auto& [x, y] : std::vector<std::pair<int, int>>{{0, 1}, {81, 1}, {1, 0}, {1, 26}, {-1, -1}}) {
    EXPECT_THROW(screen.SetChar(x, y, 65), MachineError) << x << "," << y;
    EXPECT_THROW(screen.GetChar(x, y), MachineError) << x << "," << y;
  }
  EXPECT_THROW(screen.SetChar(1, 1, 256), MachineError);
  EXPECT_THROW(screen.SetChar(1, 1, -1), MachineError);
  EXPECT_EQ(screen.GetChar(1, 1), '0');
  EXPECT_TRUE(seen.cells.empty());
}

TEST_F(MonitorFixture, BytesAppearAtAnAdvancingCursor) {
  screen.BufferChanged("01001000");  // H
  screen.BufferChanged("01101001");  // i
  EXPECT_EQ(row(1, 1, 3), "Hi.");
  EXPECT_EQ(screen.CursorColumn(), 3);
  EXPECT_EQ(screen.CursorRow(), 1);
  EXPECT_EQ(row(2, 1, 2), "0.") << "other rows keep their fresh content";
}

TEST_F(MonitorFixture, CarriageReturnStartsTheNextRowAndLineFeedIsIgnored) {
  type("ab\rcd\r\nef");
  EXPECT_EQ(row(1, 1, 3), "ab.");
  EXPECT_EQ(row(2, 1, 3), "cd.");
  EXPECT_EQ(row(3, 1, 3), "ef.");
  EXPECT_EQ(screen.CursorRow(), 3);
  EXPECT_EQ(screen.CursorColumn(), 3);
}

TEST_F(MonitorFixture, WrapsAfterColumnEightyWithoutAnEmptyRowBeforeACarriageReturn) {
  const std::string full(80, 'x');
  type(full);
  EXPECT_EQ(row(1), full);
  EXPECT_EQ(screen.CursorRow(), 1) << "the wrap waits for the next character";
  type("y");
  EXPECT_EQ(row(2, 1, 2), "y.");
  type(full.substr(0, 79));  // row 2 is full now
  type("\rz");
  EXPECT_EQ(row(3, 1, 2), "z.") << "80 characters and CR make one row";
}

TEST_F(MonitorFixture, ScrollsUpAtTheBottom) {
  for (int line = 1; line <= Monitor::kRows; ++line) type("L" + std::string(1, static_cast<char>('A' + line - 1)) + "\r");
  // 25 rows written, 25 CRs: the 25th CR scrolled once.
  EXPECT_EQ(seen.screens, 1);
  EXPECT_EQ(row(1, 1, 3), "LB.");
  EXPECT_EQ(row(24, 1, 3), "LY.");
  EXPECT_EQ(row(25, 1, 3), "...") << "the new bottom row is empty";
  EXPECT_EQ(screen.CursorRow(), 25);
  EXPECT_EQ(screen.CursorColumn(), 1);
  type("end");
  EXPECT_EQ(row(25, 1, 4), "end.");
  // Wrapping on the last row scrolls too.
  type(std::string(77, '-') + "!");
  EXPECT_EQ(seen.screens, 2);
  EXPECT_EQ(row(24, 1, 4), "end-");
  EXPECT_EQ(row(25, 1, 2), "!.");
}

TEST_F(MonitorFixture, ResetBringsBackTheFreshScreen) {
  type("hello\rworld");
  screen.Reset();
  EXPECT_EQ(row(1, 1, 6), "0.....");
  EXPECT_EQ(row(2, 1, 6), "0.....");
  EXPECT_EQ(screen.CursorRow(), 1);
  EXPECT_EQ(screen.CursorColumn(), 1);
  EXPECT_GE(seen.screens, 1);
}

// The screen's text: what a headless run prints for the monitor.
TEST_F(MonitorFixture, TextHoldsTheWrittenRowsWithoutTheFreshScreensMarks) {
  EXPECT_EQ(screen.Text(), "") << "a fresh screen's \"0\" in column 1 is no text";
  type("\rAB  \r\r0\rC\xC6\r\r");
  // The skipped first row is empty, trailing blanks and empty rows at the end go,
  // a "0" the program printed stays, windows-1251 becomes UTF-8.
  EXPECT_EQ(screen.Text(), "\nAB\n\n0\nCЖ");
  EXPECT_FALSE(screen.RowWritten(1));
  EXPECT_TRUE(screen.RowWritten(2));
  EXPECT_FALSE(screen.RowWritten(3));
  EXPECT_THROW(screen.RowWritten(26), MachineError);
}

TEST_F(MonitorFixture, TextFollowsWrappingAndScrolling) {
  type(std::string(80, 'x') + "y\r");
  EXPECT_EQ(screen.Text(), std::string(80, 'x') + "\ny");
  screen.Reset();
  // 30 numbered rows and a CR: the first six scroll away with their marks.
  for (int i = 1; i <= 30; ++i) type("r" + std::to_string(i) + "\r");
  std::string expected;
  for (int i = 7; i <= 29; ++i) expected += "r" + std::to_string(i) + "\n";
  EXPECT_EQ(screen.Text(), expected + "r30");
  EXPECT_TRUE(screen.RowWritten(24));
  EXPECT_FALSE(screen.RowWritten(25)) << "the row scrolled in is empty";
  // A step back brings the marks back with the cells.
  const Monitor::State saved = screen.Save();
  screen.Reset();
  EXPECT_EQ(screen.Text(), "");
  screen.Restore(saved);
  EXPECT_EQ(screen.Text(), expected + "r30");
}
