#include "trace/command_trace.h"

#include <gtest/gtest.h>

#include <string>

#include "core/processor.h"
#include "format/bit_string.h"

using namespace vesk;

namespace {

Word Bits16(std::string_view hex) { return FitWidth(HexToBin(hex), 16); }

struct CommandTraceFixture : ::testing::Test {
  Processor cpu;
  CommandTrace trace{cpu};
  struct Rec : TraceListener {
    std::vector<std::int32_t> counts;
    int added = 0, cleared = 0;
    void counterChanged(std::int32_t v) override { counts.push_back(v); }
    void lineAdded() override { ++added; }
    void logCleared() override { ++cleared; }
  } rec;
  void SetUp() override {
    trace.setClock([] { return std::time_t{1765100000}; });
    trace.listeners().add(&rec);
  }
};

}  // namespace

TEST(StartLineText, DateAndTimeFormat) {
  const std::string text = StartLineText(0);
  // " --- Program has started mm-dd-yyyy at hh:mm:ss --- "
  ASSERT_EQ(text.size(), std::string(" --- Program has started ").size() + 10 + 4 + 8 + 5);
  EXPECT_EQ(text.rfind(" --- Program has started ", 0), 0u);
  EXPECT_EQ(text.substr(27, 1), "-");
  EXPECT_EQ(text.substr(30, 1), "-");
  EXPECT_EQ(text.substr(35, 4), " at ");
  EXPECT_EQ(text.substr(text.size() - 5), " --- ");
}

TEST_F(CommandTraceFixture, StartLineDoesNotCountAndCommandLinesDo) {
  trace.AddLine();
  EXPECT_EQ(trace.CCounter(), 0);
  EXPECT_EQ(trace.Cell(0, 0), "");
  EXPECT_EQ(trace.Cell(0, 1), StartLineText(1765100000));
  trace.set_CURR_ADDR(Bits16("0010"));
  trace.set_CURR_CMD(Bits16("F200"));
  cpu.Reg_Set_A("01000001");
  cpu.Reg_Set_С("1");
  trace.AddLine();
  EXPECT_EQ(trace.CCounter(), 1);
  EXPECT_EQ(rec.counts, std::vector<std::int32_t>{1});
  EXPECT_EQ(trace.Cell(1, 0), "0010");
  EXPECT_EQ(trace.Cell(1, 1), "F200 | 1111.0010.0000.0000 | CLA");
  EXPECT_EQ(trace.Cell(1, 6), "41");  // an 8-character А shows two digits
  EXPECT_EQ(trace.Cell(1, 7), "1");
  EXPECT_EQ(rec.added, 2);
  // CURR_ADDR and CURR_CMD stay; a word without mnemonic has an empty third part.
  trace.set_CURR_CMD(Bits16("7000"));
  trace.AddLine();
  EXPECT_EQ(trace.Cell(2, 1), "7000 | 0111.0000.0000.0000 | ");
  EXPECT_EQ(trace.CURR_ADDR(), Bits16("0010"));
}

TEST_F(CommandTraceFixture, EffectFieldsAreReportedOnceThenReset) {
  trace.set_CURR_ADDR(Bits16("0001"));
  trace.set_CURR_CMD(Bits16("3020"));
  trace.set_EFFECT_ADDR("(W) 0020");
  trace.set_EFFECT_VAL("1234");
  trace.AddLine();
  trace.AddLine();
  EXPECT_EQ(trace.Cell(0, 8), "(W) 0020");
  EXPECT_EQ(trace.Cell(0, 9), "1234");
  EXPECT_EQ(trace.Cell(1, 8), "");
  EXPECT_EQ(trace.Cell(1, 9), "");
  EXPECT_EQ(trace.EFFECT_ADDR(), "");
}

TEST_F(CommandTraceFixture, ClearKeepsCounterAndVariables) {
  trace.set_CURR_ADDR(Bits16("0001"));
  trace.AddLine();
  trace.AddLine();
  trace.ClearLog();
  EXPECT_EQ(trace.LineCount(), 0);
  EXPECT_EQ(rec.cleared, 1);
  EXPECT_EQ(trace.CCounter(), 2);
  trace.AddLine();
  EXPECT_EQ(trace.CCounter(), 3);
  EXPECT_EQ(trace.Cell(0, 0), "0001");
  EXPECT_EQ(trace.Cell(5, 0), "");  // no such line
  EXPECT_EQ(trace.Cell(0, 10), "");
}

TEST_F(CommandTraceFixture, UnusualRegisterTextsAreKeptExactly) {
  // Only direct register writes produce these; the line shows what BinToHex gives.
  trace.set_CURR_ADDR("101");
  trace.set_CURR_CMD("");
  cpu.Reg_Set_Data("1x");
  trace.AddLine();
  EXPECT_EQ(trace.Cell(0, 0), "5");
  EXPECT_EQ(trace.Cell(0, 1), " |  | ISZ 000");
  EXPECT_EQ(trace.Cell(0, 5), "");
  EXPECT_EQ(trace.LastCells()[0], "5");
}

TEST_F(CommandTraceFixture, HtmlRowsEscapeMarkup) {
  trace.set_CURR_ADDR(Bits16("0001"));
  trace.set_CURR_CMD(Bits16("F000"));
  trace.set_EFFECT_ADDR("(W) <b>&");
  trace.AddLine();
  std::string row;
  trace.AppendHtmlRow(row, 0);
  EXPECT_EQ(row,
            "<tr><td>0001</td><td>F000 | 1111.0000.0000.0000 | HLT</td><td>0000</td><td>0000</td><td>0000</td>"
            "<td>0000</td><td>0000</td><td>0</td><td>(W) &lt;b&gt;&amp;</td><td></td></tr>");
  std::string last;
  trace.AppendLastHtmlRow(last);
  EXPECT_EQ(last, row);
}

TEST_F(CommandTraceFixture, NotStoringStillCountsAndShowsTheLastLine) {
  trace.setStoring(false);
  trace.set_CURR_ADDR(Bits16("0002"));
  trace.AddLine();
  EXPECT_EQ(trace.LineCount(), 0);
  EXPECT_EQ(trace.CCounter(), 1);
  EXPECT_EQ(trace.LastCells()[0], "0002");
}
