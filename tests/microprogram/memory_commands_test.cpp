// MOV, ISZ and JSR, and indirect addressing (EA = bits 10-0 of (M)) for every
// address command.
#include <gtest/gtest.h>

#include "microprogram/program_test.h"

namespace vesk::testing {
namespace {

class MemoryCommandTest : public ProgramTest {};

TEST_F(MemoryCommandTest, MovStoresАAndChangesNoFlag) {
  for (const bool f : {false, true}) {
    SetState(0x8421, f, f, !f);
    rig.Poke(0x020, 0x1111);
    RunOne(0x3020);
    EXPECT_EQ(rig.Peek(0x020), 0x8421);
    ExpectA(0x8421);
    ExpectFlags(f, f, !f, "MOV");
    EXPECT_EQ(rig.PC(), kStart + 2);
  }
}

struct IszCase {
  std::uint16_t before, after;
  bool skips;
};

TEST_F(MemoryCommandTest, IszIncrementsAndSkipsWhenTheResultIsNotNegative) {
  const IszCase cases[] = {
      {0x7FFF, 0x8000, false},  // becomes negative: no skip
      {0xFFFF, 0x0000, true},   // wraps to zero: skip
      {0xFFFE, 0xFFFF, false},
      {0x0005, 0x0006, true},
      {0x8000, 0x8001, false},
  };
  for (const IszCase& k : cases) {
    SCOPED_TRACE(::testing::Message() << std::hex << std::uppercase << "ISZ of " << k.before);
    for (const bool f : {false, true}) {
      rig.Poke(0x020, k.before);
      SetState(0x1234, f, !f, f);
      // ISZ 020; HLT (stops at 012 without a skip); HLT (stops at 013 after one)
      RunProgram({0x0020, kHLT, kHLT});
      EXPECT_EQ(rig.Peek(0x020), k.after);
      EXPECT_EQ(rig.PC(), kStart + (k.skips ? 3 : 2));
      ExpectA(0x1234);
      ExpectFlags(f, !f, f, "ISZ");
    }
  }
}

TEST_F(MemoryCommandTest, IszCountsALoopDownToZero) {
  // ISZ 020; BR 010; HLT with (020) = -5: the loop body runs five times.
  rig.Poke(0x020, 0xFFFB);
  rig.Load(0x030, {kINC, 0x0020, 0xC030, kHLT});
  SetState(0, false, false, false);
  ASSERT_TRUE(rig.RunFrom(0x030, 100));
  ExpectA(5);
  EXPECT_EQ(rig.Peek(0x020), 0x0000);
  EXPECT_EQ(rig.PC(), 0x034);
}

TEST_F(MemoryCommandTest, JsrStoresTheReturnAddressAndReturnsThroughBrIndirect) {
  // 010 JSR 030; 011 INC; 012 HLT; 030 return cell; 031 INC; 032 BR (030)
  rig.Load(0x030, {0x0000, kINC, 0xC830});
  for (const bool f : {false, true}) {
    SetState(0x0000, f, f, !f);
    rig.Load(kStart, {0x2030, kINC, kHLT});
    ASSERT_TRUE(rig.RunFrom(kStart, 100));
    EXPECT_EQ(rig.Peek(0x030), kStart + 1) << "return address";
    ExpectA(2);  // once in the subroutine, once after the return
    EXPECT_EQ(rig.PC(), kStart + 3);
    // INC after the return set the flags; JSR itself is checked alone below.
  }
  // JSR alone changes no flag and no А; PC is the subroutine's first word.
  for (const bool f : {false, true}) {
    SetState(0xBEEF, f, !f, f);
    rig.Load(0x030, {0x0000, kHLT});
    RunProgram({0x2030});
    EXPECT_EQ(rig.Peek(0x030), kStart + 1);
    EXPECT_EQ(rig.PC(), 0x032);
    ExpectA(0xBEEF);
    ExpectFlags(f, !f, f, "JSR");
  }
}

TEST_F(MemoryCommandTest, JsrAtTheLastAddressReturnsToZero) {
  rig.Poke(0x7FF, 0x2030);  // JSR 030 at 7FF: the return address wraps to 000
  rig.Load(0x030, {0x0000, kHLT});
  ASSERT_TRUE(rig.RunFrom(0x7FF, 10));
  EXPECT_EQ(rig.Peek(0x030), 0x000);
  EXPECT_EQ(rig.PC(), 0x032);
}

TEST_F(MemoryCommandTest, IndirectJsrUsesThePointerAndKeepsTheCommandInРК) {
  // JSR (040) with (040) = F830: EA is 030 (bits 10-0 only).
  rig.Poke(0x040, 0xF830);
  rig.Load(0x030, {0x0000, kHLT});
  SetState(0x0102, true, false, true);
  RunProgram({0x2840});
  EXPECT_EQ(rig.Peek(0x030), kStart + 1);
  EXPECT_EQ(rig.Peek(0x040), 0xF830) << "the pointer stays";
  EXPECT_EQ(rig.PC(), 0x032);
  ExpectA(0x0102);
  ExpectFlags(true, false, true, "JSR indirect");
  // The trace's РК column after the JSR shows the command again.
  const std::int64_t jsrLine = rig.m.trace.LineCount() - 2;  // before the HLT's line
  EXPECT_EQ(rig.m.trace.Cell(jsrLine, 4), "2840");
}

TEST_F(MemoryCommandTest, IndirectJsrWhosePointerIsItsOwnReturnCell) {
  // (040) = 0040: the return address overwrites the pointer, and the
  // subroutine still starts at 041.
  rig.Poke(0x040, 0x0040);
  rig.Poke(0x041, kHLT);
  RunProgram({0x2840});
  EXPECT_EQ(rig.Peek(0x040), kStart + 1);
  EXPECT_EQ(rig.PC(), 0x042);
}

// Every address command once directly and once through a pointer whose high
// bits are set, so only bits 10-0 of the pointer may count.
TEST_F(MemoryCommandTest, IndirectAddressingWorksForEveryAddressCommand) {
  struct Case {
    const char* name;
    std::uint16_t code;
  };
  const Case commands[] = {{"ISZ", 0x0}, {"AND", 0x1}, {"MOV", 0x3}, {"ADD", 0x4},
                           {"ADC", 0x5}, {"SUB", 0x6}, {"BR", 0xC}};
  for (const Case& c : commands) {
    for (const bool indirect : {false, true}) {
      SCOPED_TRACE(::testing::Message() << c.name << (indirect ? " indirect" : " direct"));
      // Data at 123; the pointer at 050 reads 7923 (bits 10-0: 123); 050 and
      // 123 hold different words, so a wrong address shows.
      rig.Poke(0x050, 0x7923);
      rig.Poke(0x123, 0x0F0F);
      const std::uint16_t command =
          static_cast<std::uint16_t>((c.code << 12) | (indirect ? 0x800 | 0x050 : 0x123));
      SetState(0x3300, true, false, false);
      if (c.code == 0xC) {  // BR to 123, where a HLT waits
        rig.Poke(0x123, kHLT);
        RunProgram({command, kHLT});
        EXPECT_EQ(rig.PC(), 0x124);
        continue;
      }
      RunProgram({command, kHLT, kHLT});  // ISZ skips the first HLT
      EXPECT_EQ(rig.PC(), kStart + (c.code == 0x0 ? 3 : 2));
      EXPECT_EQ(rig.Peek(0x050), 0x7923) << "the pointer stays";
      switch (c.code) {
        case 0x0: EXPECT_EQ(rig.Peek(0x123), 0x0F10); break;
        case 0x1: ExpectA(0x0300); break;
        case 0x3: EXPECT_EQ(rig.Peek(0x123), 0x3300); break;
        case 0x4: ExpectA(0x420F); break;
        case 0x5: ExpectA(0x4210); break;
        case 0x6: ExpectA(0x23F1); break;
      }
    }
  }
}

TEST_F(MemoryCommandTest, CommandsReachTheWholeMemory) {
  // Direct and indirect access to 7FF and to 000.
  rig.Poke(0x7FF, 0x0001);
  rig.Poke(0x000, 0x0002);
  rig.Poke(0x060, 0x07FF);  // pointer to 7FF
  SetState(0, false, false, false);
  RunProgram({0x47FF, 0x4000, 0x4860, 0x3000, kHLT});
  ExpectA(0x0004);
  EXPECT_EQ(rig.Peek(0x000), 0x0004);
}

}  // namespace
}  // namespace vesk::testing
