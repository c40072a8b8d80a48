// The I/O commands: CLF, TSF, IN and OUT through the controllers, and the
// orders 4..F, which do nothing.
#include <gtest/gtest.h>

#include "microprogram/program_test.h"

namespace vesk::testing {
namespace {

class IOTest : public ProgramTest {};

TEST_F(IOTest, ClfClearsOnlyThatFlag) {
  rig.SetController(0x05, 1, 0x41);
  rig.SetController(0x06, 1, 0x42);
  for (const bool f : {false, true}) {
    rig.SetController(0x05, 1, 0x41);
    SetState(0x1234, f, f, f);
    RunOne(0xE005);
    EXPECT_EQ(rig.Flag(0x05), 0);
    EXPECT_EQ(rig.Flag(0x06), 1);
    EXPECT_EQ(rig.Data(0x05), 0x41);
    ExpectA(0x1234);
    ExpectFlags(f, f, f, "CLF");
    EXPECT_EQ(rig.PC(), kStart + 2);
  }
}

TEST_F(IOTest, TsfSkipsExactlyWhenTheFlagIsSet) {
  for (const int flag : {0, 1}) {
    SCOPED_TRACE(::testing::Message() << "flag " << flag);
    rig.SetController(0xA7, flag, 0x00);
    SetState(0x00FF, true, false, true);
    RunProgram({0xE1A7, kHLT, kHLT});  // stops at 012 without a skip, at 013 with one
    EXPECT_EQ(rig.PC(), kStart + (flag == 1 ? 3 : 2));
    EXPECT_EQ(rig.Flag(0xA7), flag) << "TSF leaves the flag";
    ExpectA(0x00FF);
    ExpectFlags(true, false, true, "TSF");
  }
}

TEST_F(IOTest, InGivesАTheByteAs16Bits) {
  rig.SetController(0x03, 1, 0xC1);
  for (const bool f : {false, true}) {
    SetState(0xFFFF, f, !f, f);
    RunOne(0xE203);
    ExpectA(0x00C1);  // 16 characters: the micro-program widens what IN gives
    ExpectFlags(f, !f, f, "IN");
    EXPECT_EQ(rig.Flag(0x03), 1) << "IN leaves the flag";
  }
}

TEST_F(IOTest, LaterCommandsSeeTheInputAs00xx) {
  struct Case {
    std::uint16_t command, result;
    bool c, n, z;
  };
  const Case cases[] = {
      {kCMA, 0xFFBE, false, true, false},  // CMA of 0041
      {kINC, 0x0042, false, false, false},
      {kDEC, 0x0040, true, false, false},
      {kROL, 0x0082, false, false, false},
      {kROR, 0x0020, true, false, false},
  };
  rig.SetController(0x01, 0, 0x41);
  for (const Case& k : cases) {
    SCOPED_TRACE(::testing::Message() << std::hex << std::uppercase << "IN then " << k.command);
    SetState(0x9999, false, true, true);
    RunProgram({0xE201, k.command, kHLT});
    ExpectA(k.result);
    ExpectFlags(k.c, k.n, k.z);
  }
  // ADD after IN: 0041 + FFBF carries out of bit 15.
  rig.Poke(0x020, 0xFFBF);
  RunProgram({0xE201, 0x4020, kHLT});
  ExpectA(0x0000);
  ExpectFlags(true, false, true, "IN then ADD");
  // IN then BPL: N is not touched by IN, so the branch sees the old N.
  SetState(0x0000, false, true, false);
  rig.Poke(0x050, kHLT);
  RunProgram({0xE201, 0x9050, kHLT});
  EXPECT_EQ(rig.PC(), kStart + 3);
}

TEST_F(IOTest, OutWritesTheLowByteOfАAndKeepsА) {
  for (const bool f : {false, true}) {
    rig.SetController(0x7F, 0, 0x00);
    SetState(0x1234, f, f, !f);
    RunOne(0xE37F);
    EXPECT_EQ(rig.Data(0x7F), 0x34);
    EXPECT_EQ(rig.Flag(0x7F), 0);
    ExpectA(0x1234);
    ExpectFlags(f, f, !f, "OUT");
  }
  // Controller 00 is reachable too.
  SetState(0x00AB, false, false, false);
  RunOne(0xE300);
  EXPECT_EQ(rig.Data(0x00), 0xAB);
}

TEST_F(IOTest, InThenOutCopiesAByte) {
  rig.SetController(0x10, 1, 0x9C);
  RunProgram({0xE210, 0xE311, kHLT});
  EXPECT_EQ(rig.Data(0x11), 0x9C);
  ExpectA(0x009C);
}

TEST_F(IOTest, OrdersFourToFDoNothing) {
  for (int order = 4; order <= 0xF; ++order) {
    SCOPED_TRACE(::testing::Message() << std::hex << std::uppercase << "order " << order);
    rig.SetController(0x05, 1, 0x5A);
    SetState(0x1234, true, false, true);
    RunOne(static_cast<std::uint16_t>(0xE005 | (order << 8)));
    EXPECT_EQ(rig.PC(), kStart + 2);
    ExpectA(0x1234);
    ExpectFlags(true, false, true);
    EXPECT_EQ(rig.Flag(0x05), 1);
    EXPECT_EQ(rig.Data(0x05), 0x5A);
  }
}

}  // namespace
}  // namespace vesk::testing
