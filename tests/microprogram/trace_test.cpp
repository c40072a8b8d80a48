// What the traces show of the shipped micro-program: one command-trace line
// per executed command with its address and code (the fixed points 02 and
// 06), the memory cell each command changed, and a comment on every
// micro-command the micro-command trace logs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "microprogram/program_test.h"

namespace vesk::testing {
namespace {

class TraceTest : public ProgramTest {
 protected:
  std::string CommandCell(std::int64_t line, int column) const { return rig.m.trace.Cell(line, column); }
  std::string MicroCell(std::int64_t line, int column) const { return rig.m.microTrace.Cell(line, column); }
};

TEST_F(TraceTest, OneLinePerExecutedCommandWithItsAddressAndCode) {
  rig.Poke(0x020, 0x0001);
  // 010 CLA; 011 ISZ 020 (skips 012); 013 BR 016; 016 MOV 021; 017 HLT
  rig.Load(kStart, {kCLA, 0x0020, kHLT, 0xC016, kHLT, kHLT, 0x3021, kHLT});
  ASSERT_TRUE(rig.RunFrom(kStart, 100));

  struct Expected {
    const char* address;
    const char* command;
    const char* counter;  // СК after the command
    const char* effectAddress;
    const char* effectValue;
  };
  const std::vector<Expected> expected = {
      {"0010", "F200 | 1111.0010.0000.0000 | CLA", "0011", "", ""},
      {"0011", "0020 | 0000.0000.0010.0000 | ISZ 020", "0013", "(W) 0020", "0002"},
      {"0013", "C016 | 1100.0000.0001.0110 | BR 016", "0016", "", ""},
      {"0016", "3021 | 0011.0000.0010.0001 | MOV 021", "0017", "(W) 0021", "0000"},
      {"0017", "F000 | 1111.0000.0000.0000 | HLT", "0018", "", ""},
  };
  ASSERT_EQ(rig.m.trace.LineCount(), static_cast<std::int64_t>(expected.size()) + 1) << "a start line, then commands";
  EXPECT_EQ(CommandCell(0, 0), "") << "the start line has no address";
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const auto line = static_cast<std::int64_t>(i + 1);
    SCOPED_TRACE(::testing::Message() << "line " << line);
    EXPECT_EQ(CommandCell(line, 0), expected[i].address);
    EXPECT_EQ(CommandCell(line, 1), expected[i].command);
    EXPECT_EQ(CommandCell(line, 2), expected[i].counter);
    EXPECT_EQ(CommandCell(line, 8), expected[i].effectAddress);
    EXPECT_EQ(CommandCell(line, 9), expected[i].effectValue);
  }
  EXPECT_EQ(rig.m.trace.CCounter(), 5);
}

TEST_F(TraceTest, TheInterruptEntryIsPartOfTheInterruptedCommand) {
  rig.Load(kStart, {kINC, kINC, kHLT});
  rig.Poke(0x001, kHLT);
  rig.SetIE(true);
  rig.Start(kStart);
  rig.Step();
  rig.RequestInterrupt();
  ASSERT_TRUE(rig.Run(10));
  // start, INC at 010, INC at 011 (then the interrupt), HLT at 001
  ASSERT_EQ(rig.m.trace.LineCount(), 4);
  EXPECT_EQ(CommandCell(2, 0), "0011");
  EXPECT_EQ(CommandCell(2, 2), "0001") << "СК after the command is the handler";
  EXPECT_EQ(CommandCell(2, 8), "(W) 0000");
  EXPECT_EQ(CommandCell(2, 9), "0012");
  EXPECT_EQ(CommandCell(3, 0), "0001");
}

TEST_F(TraceTest, FixedPointsHoldForEveryKindOfCommand) {
  // After the micro-command at 02 СК is the command's address; after the one
  // at 06 РК is the command. Checked on the micro-command trace of a program
  // with one command of each family.
  rig.Poke(0x040, 0x0005);
  rig.Poke(0x041, 0x0042);
  rig.SetController(0x02, 1, 0x33);
  const std::vector<std::uint16_t> program = {kCLA, 0x4041, 0x1841, 0x0040, kNOP, 0x3040, 0x2050,
                                              0xE202, 0xE102, kNOP, 0x7000, 0xF201, kHLT};
  int a = kStart;
  for (const std::uint16_t w : program) rig.Poke(a++, w);
  rig.Load(0x050, {0x0000, 0xC850});  // subroutine: return at once
  ASSERT_TRUE(rig.RunFrom(kStart, 100));

  std::vector<std::string> addresses, commands;
  for (std::int64_t line = 1; line < rig.m.trace.LineCount(); ++line) {
    addresses.push_back(CommandCell(line, 0));
    commands.push_back(CommandCell(line, 1).substr(0, 4));
  }
  std::size_t seen02 = 0, seen06 = 0;
  for (std::int64_t line = 0; line < rig.m.microTrace.LineCount(); ++line) {
    const std::string pre = MicroCell(line, 0);
    if (pre == "02") {
      ASSERT_LT(seen02, addresses.size());
      EXPECT_EQ(MicroCell(line, 2), addresses[seen02++]) << "СК after 02";
    } else if (pre == "06") {
      ASSERT_LT(seen06, commands.size());
      EXPECT_EQ(MicroCell(line, 4), commands[seen06++]) << "РК after 06";
    }
  }
  EXPECT_EQ(seen02, addresses.size());
  EXPECT_EQ(seen06, commands.size());
  // 13 words, less the two that ISZ and TSF skip, plus the subroutine's return.
  EXPECT_EQ(commands.size(), 12u);
}

TEST_F(TraceTest, EveryTracedMicroCommandShowsAComment) {
  rig.Poke(0x020, 0x0003);
  rig.Load(kStart, {kCLA, 0x4020, 0x3021, kROL, kHLT});
  ASSERT_TRUE(rig.RunFrom(kStart, 100));
  ASSERT_GT(rig.m.microTrace.LineCount(), 0);
  for (std::int64_t line = 0; line < rig.m.microTrace.LineCount(); ++line)
    EXPECT_FALSE(MicroCell(line, 12).empty()) << "micro-command at " << MicroCell(line, 0);
  EXPECT_EQ(MicroCell(0, 0), "01");
  EXPECT_EQ(MicroCell(0, 12), "СК -> БР");
}

}  // namespace
}  // namespace vesk::testing
