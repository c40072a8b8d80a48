#include "trace/micro_trace.h"

#include <gtest/gtest.h>

#include <string>

#include "core/processor.h"
#include "format/bit_string.h"
#include "memory/micro_memory.h"

using namespace vesk;

namespace {

Word Bits16(std::string_view hex) { return FitWidth(HexToBin(hex), 16); }

struct MicroTraceFixture : ::testing::Test {
  Processor cpu;
  MicroMemory micro;
  MicroTrace trace{cpu, micro};
};

}  // namespace

TEST(MicroTraceCaptions, LatinCInTheCounterColumns) {
  EXPECT_EQ(MicroTrace::kCaptions[0], "CчМК до выборки МК");
  EXPECT_EQ(MicroTrace::kCaptions[0].substr(0, 1), "C");  // Latin
  EXPECT_EQ(MicroTrace::kCaptions[11], "CчМК");
  EXPECT_EQ(MicroTrace::kCaptions[12], "Комментарий");
}

TEST_F(MicroTraceFixture, LineColumnsAndCounter) {
  micro.SetComment(0x15, "А + РД -> БР");
  trace.set_PreMCC("15");
  cpu.Micro_Reg_Set_Command(Bits16("1110"));
  cpu.Micro_Reg_Set_CommandCounter("16");
  cpu.Reg_Set_Buffer("10000000000000010");
  cpu.Reg_Set_N("1");
  cpu.Reg_Set_Z("1");
  cpu.Reg_Set_A(Bits16("ABCD"));
  trace.AddLine();
  EXPECT_EQ(trace.MCCounter(), 1);
  const std::array<std::string, 13> expected = {"15", "1110", "0000", "0000", "0000", "0000", "ABCD",
                                                "0",  "10002", "1",  "1",  "16",   "А + РД -> БР"};
  for (int c = 0; c < 13; ++c) EXPECT_EQ(trace.Cell(0, c), expected[static_cast<std::size_t>(c)]) << c;
  EXPECT_EQ(trace.LastCells(), expected);
}

TEST_F(MicroTraceFixture, CommentIsTheOneAtTheTimeOfTheLine) {
  micro.SetComment(3, "old");
  trace.set_PreMCC("03");
  trace.AddLine();
  micro.SetComment(3, "new");
  trace.AddLine();
  micro.SetComment(3, "");
  trace.AddLine();
  EXPECT_EQ(trace.Cell(0, 12), "old");
  EXPECT_EQ(trace.Cell(1, 12), "new");
  EXPECT_EQ(trace.Cell(2, 12), "");
  // An address micro-memory does not have gives an empty comment.
  trace.set_PreMCC("00");
  trace.AddLine();
  EXPECT_EQ(trace.Cell(3, 12), "");
}

TEST_F(MicroTraceFixture, ClearKeepsTheCountAndHostileTextsStayExact) {
  trace.set_PreMCC("01");
  trace.AddLine();
  trace.ClearLog();
  EXPECT_EQ(trace.LineCount(), 0);
  trace.set_PreMCC("zz");
  cpu.Reg_Set_A("1");
  trace.AddLine();
  EXPECT_EQ(trace.MCCounter(), 2);
  EXPECT_EQ(trace.Cell(0, 0), "zz");
  EXPECT_EQ(trace.Cell(0, 6), "1");
}

TEST_F(MicroTraceFixture, HtmlRowEscapesTheComment) {
  micro.SetComment(1, "a<b & c>d");
  trace.set_PreMCC("01");
  trace.AddLine();
  std::string row;
  trace.AppendHtmlRow(row, 0);
  EXPECT_EQ(row,
            "<tr><td>01</td><td>0000</td><td>0000</td><td>0000</td><td>0000</td><td>0000</td><td>0000</td>"
            "<td>0</td><td>00000</td><td>0</td><td>0</td><td>01</td><td>a&lt;b &amp; c&gt;d</td></tr>");
}

TEST_F(MicroTraceFixture, LinesArePacked) {
  EXPECT_LE(sizeof(MicroTrace::Line), 24u);
  trace.set_PreMCC("01");
  for (int i = 0; i < 100000; ++i) trace.AddLine();
  EXPECT_EQ(trace.LineCount(), 100000);
  EXPECT_LE(trace.bytesReserved(), 2u * 100000u * 24u);
}

TEST_F(MicroTraceFixture, CommentLoadedWithAMicroProgramShowsOnTheNextLine) {
  micro.SetComment(4, "first");
  trace.set_PreMCC("04");
  trace.AddLine();
  micro.SetRow(4, Bits16("4001"), "from the file <b>");
  trace.AddLine();
  EXPECT_EQ(trace.Cell(0, 12), "first");
  EXPECT_EQ(trace.Cell(1, 12), "from the file <b>");
  std::string row;
  trace.AppendHtmlRow(row, 1);
  EXPECT_NE(row.find("<td>from the file &lt;b&gt;</td></tr>"), std::string::npos) << row;
}
