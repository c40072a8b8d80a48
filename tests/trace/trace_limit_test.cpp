// Both traces at their line limit: the newest lines kept, the oldest gone,
// the counters untouched, the listeners told once, and the export of a
// shortened list saying so in its first data row.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "core/processor.h"
#include "format/bit_string.h"
#include "memory/micro_memory.h"
#include "support/temp_dir.h"
#include "trace/command_trace.h"
#include "trace/html_export.h"
#include "trace/micro_trace.h"
#include "trace/trace_shortened.h"
#include "util/cp1251.h"

using namespace vesk;

namespace {

std::string Hex4(int v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%04X", v & 0xFFFF);
  return buf;
}
Word Bits16(int v) { return FitWidth(HexToBin(Hex4(v)), 16); }

struct Shortenings : TraceListener {
  int shortened = 0, added = 0;
  void logShortened() override { ++shortened; }
  void lineAdded() override { ++added; }
};

struct TraceLimitFixture : ::testing::Test {
  Processor cpu;
  MicroMemory micro;
  CommandTrace trace{cpu};
  MicroTrace microTrace{cpu, micro};
  Shortenings commandEvents, microEvents;
  void SetUp() override {
    trace.setClock([] { return std::time_t{1765100000}; });
    trace.listeners().add(&commandEvents);
    microTrace.listeners().add(&microEvents);
  }
  // Command line n shows address n.
  void addCommands(int from, int to) {
    for (int n = from; n < to; ++n) {
      trace.set_CURR_ADDR(Bits16(n));
      trace.set_CURR_CMD(Bits16(0xF200));
      trace.AddLine();
    }
  }
  // Micro-command line n shows РД n (its low 16 bits).
  void addMicroCommands(int from, int to) {
    microTrace.set_PreMCC("01");
    for (int n = from; n < to; ++n) {
      cpu.Reg_Set_Data(Bits16(n));
      microTrace.AddLine();
    }
  }
};

}  // namespace

TEST_F(TraceLimitFixture, DefaultsAreAMillionCommandAndTenMillionMicroCommandLines) {
  EXPECT_EQ(trace.LineLimit(), 1'000'000);
  EXPECT_EQ(microTrace.LineLimit(), 10'000'000);
}

TEST_F(TraceLimitFixture, CommandTraceKeepsTheNewestLinesAndCountsOn) {
  trace.setLineLimit(1000);
  addCommands(0, 1000);
  EXPECT_EQ(trace.LineCount(), 1000);
  EXPECT_EQ(trace.LinesDropped(), 0);
  EXPECT_EQ(commandEvents.shortened, 0);
  addCommands(1000, 2500);
  EXPECT_EQ(trace.LineCount(), 1000);
  EXPECT_EQ(trace.LinesDropped(), 1500);
  EXPECT_EQ(trace.Cell(0, 0), "05DC");  // line 1500
  EXPECT_EQ(trace.Cell(999, 0), "09C3");  // line 2499, the newest
  EXPECT_EQ(trace.Cell(1000, 0), "");
  EXPECT_EQ(trace.LastCells()[0], "09C3");
  EXPECT_EQ(trace.CCounter(), 2500);  // the count is of commands run, not lines kept
  EXPECT_EQ(commandEvents.added, 2500);
  EXPECT_EQ(commandEvents.shortened, 1);  // once, however many lines go
}

TEST_F(TraceLimitFixture, MicroTraceKeepsTheNewestLinesAndCountsOn) {
  microTrace.setLineLimit(1000);
  addMicroCommands(0, 70000);  // past a storage chunk, so whole chunks are given up too
  EXPECT_EQ(microTrace.LineCount(), 1000);
  EXPECT_EQ(microTrace.LinesDropped(), 69000);
  EXPECT_EQ(microTrace.Cell(0, 5), Hex4(69000));
  EXPECT_EQ(microTrace.Cell(999, 5), Hex4(69999));
  EXPECT_EQ(microTrace.MCCounter(), 70000);
  EXPECT_EQ(microEvents.shortened, 1);
  // Memory stays that of the lines kept (a chunk and its spare), not of all lines.
  EXPECT_LE(microTrace.bytesReserved(), 2u * 65536u * sizeof(MicroTrace::Line));
}

TEST_F(TraceLimitFixture, ClearingStartsOverAndAShortenedListIsToldAgain) {
  trace.setLineLimit(5);
  addCommands(0, 8);
  EXPECT_EQ(commandEvents.shortened, 1);
  trace.ClearLog();
  EXPECT_EQ(trace.LinesDropped(), 0);
  EXPECT_EQ(trace.LineCount(), 0);
  addCommands(8, 13);
  EXPECT_EQ(commandEvents.shortened, 1);
  EXPECT_EQ(trace.Cell(0, 0), "0008");
  addCommands(13, 14);
  EXPECT_EQ(commandEvents.shortened, 2);
  EXPECT_EQ(trace.Cell(0, 0), "0009");
  // A lower limit gives lines up at once, and says so once.
  microTrace.setLineLimit(100);
  addMicroCommands(0, 50);
  microTrace.setLineLimit(20);
  EXPECT_EQ(microTrace.LineCount(), 20);
  EXPECT_EQ(microTrace.Cell(0, 5), Hex4(30));
  EXPECT_EQ(microEvents.shortened, 1);
}

TEST_F(TraceLimitFixture, UnpackedLinesKeepTheirTextsAcrossTheShift) {
  // Lines whose registers do not pack keep their texts aside by line number;
  // after the oldest go, each stored line still shows its own.
  trace.setLineLimit(4);
  for (int n = 0; n < 10; ++n) {
    cpu.Reg_Set_A(n % 3 == 0 ? std::string(n + 1, '1') : std::string(16, '0'));
    trace.set_CURR_ADDR(Bits16(n));
    trace.set_CURR_CMD(Bits16(0xF200));
    trace.AddLine();
  }
  for (int i = 0; i < 4; ++i) {
    const int n = 6 + i;
    EXPECT_EQ(trace.Cell(i, 0), Hex4(n));
    EXPECT_EQ(trace.Cell(i, 6), n % 3 == 0 ? BinToHex(std::string(n + 1, '1')).str() : "0000") << "line " << n;
  }
}

TEST_F(TraceLimitFixture, ShortenedTextsSayHowManyLinesAreKept) {
  EXPECT_EQ(TraceShortenedText(TraceKind::Micro, 10'000'000),
            "Трасса микрокоманд укорочена: хранятся последние 10000000 строк");
  EXPECT_EQ(TraceShortenedText(TraceKind::Command, 1000), "Трасса команд укорочена: хранятся последние 1000 строк");
  EXPECT_EQ(TraceShortenedText(TraceKind::Command, 1), "Трасса команд укорочена: хранится последняя 1 строка");
  EXPECT_EQ(TraceShortenedText(TraceKind::Command, 22), "Трасса команд укорочена: хранятся последние 22 строки");
  EXPECT_EQ(TraceShortenedText(TraceKind::Command, 12), "Трасса команд укорочена: хранятся последние 12 строк");
  EXPECT_EQ(TraceShortenedText(TraceKind::Command, 111), "Трасса команд укорочена: хранятся последние 111 строк");
  EXPECT_EQ(TraceShortenedText(TraceKind::Micro, 1001), "Трасса микрокоманд укорочена: хранится последняя 1001 строка");
}

TEST_F(TraceLimitFixture, ExportOfAShortenedTraceSaysSoInItsFirstDataRow) {
  vesk::testing::TempDir dir;
  trace.setLineLimit(3);
  addCommands(0, 3);
  ASSERT_TRUE(SaveTraceHtml(trace, dir.file("whole.html")).ok);
  addCommands(3, 5);
  const FileResult r = SaveTraceHtml(trace, dir.file("short.html"));
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.lines, 3);
  const std::string whole = vesk::testing::ReadBytes(dir.file("whole.html"));
  const std::string shortened = vesk::testing::ReadBytes(dir.file("short.html"));
  const std::string header = "<tr></tr>\r\n";
  const std::size_t wholeRows = whole.find(header) + header.size();
  const std::size_t shortRows = shortened.find(header) + header.size();
  ASSERT_NE(wholeRows, std::string::npos + header.size());
  // Everything before the data rows is exactly as in any export.
  EXPECT_EQ(shortened.substr(0, shortRows), whole.substr(0, wholeRows));
  const std::string notice =
      "<tr><td colspan=10>" +
      Utf8ToCp1251("Трасса команд укорочена: хранятся последние 3 строки (более ранних удалено: 2)").bytes +
      "</td></tr>\r\n";
  EXPECT_EQ(shortened.substr(shortRows, notice.size()), notice);
  // Then the three lines kept, the oldest first, and the usual end.
  std::string rows;
  for (int i = 0; i < 3; ++i) {
    trace.AppendHtmlRow(rows, i);
    rows += "\r\n";
  }
  EXPECT_EQ(shortened.substr(shortRows + notice.size()), rows + "</table>\r\n</body></html>\r\n");
  EXPECT_NE(rows.find("<td>0002</td>"), std::string::npos);
  // The list that kept every line has no such row.
  EXPECT_EQ(whole.find("colspan=10>"), std::string::npos);

  microTrace.setLineLimit(2);
  addMicroCommands(0, 3);
  ASSERT_TRUE(SaveTraceHtml(microTrace, dir.file("micro.html")).ok);
  const std::string micro = vesk::testing::ReadBytes(dir.file("micro.html"));
  const std::string microNotice =
      "<tr></tr>\r\n<tr><td colspan=13>" +
      Utf8ToCp1251("Трасса микрокоманд укорочена: хранятся последние 2 строки (более ранних удалено: 1)").bytes +
      "</td></tr>\r\n<tr><td>01</td>";
  EXPECT_NE(micro.find(microNotice), std::string::npos);
}

TEST_F(TraceLimitFixture, ATraceThatStoresNothingIsNeverShortened) {
  // vesk-run streams its exports and keeps no lines.
  microTrace.setStoring(false);
  microTrace.setLineLimit(1);
  addMicroCommands(0, 10);
  EXPECT_EQ(microTrace.LineCount(), 0);
  EXPECT_EQ(microTrace.LinesDropped(), 0);
  EXPECT_EQ(microEvents.shortened, 0);
  EXPECT_EQ(microTrace.LastCells()[5], Hex4(9));
}
