// BCS, BPL, BMI, BEQ and BR: taken exactly when their flag says so, direct
// and indirect, and never changing a flag or А.
#include <gtest/gtest.h>

#include "microprogram/program_test.h"

namespace vesk::testing {
namespace {

struct Branch {
  const char* name;
  std::uint16_t code;
  bool (*taken)(bool c, bool n, bool z);
};

const Branch kBranches[] = {
    {"BCS", 0x8, [](bool c, bool, bool) { return c; }},
    {"BPL", 0x9, [](bool, bool n, bool) { return !n; }},
    {"BMI", 0xA, [](bool, bool n, bool) { return n; }},
    {"BEQ", 0xB, [](bool, bool, bool z) { return z; }},
    {"BR", 0xC, [](bool, bool, bool) { return true; }},
};

class BranchTest : public ProgramTest {};

TEST_F(BranchTest, EachBranchFollowsItsFlagInEveryFlagCombination) {
  // 010 Bxx target; 011 HLT (not taken: stops at 012); target: HLT.
  const int target = 0x345;
  rig.Poke(target, kHLT);
  rig.Poke(0x060, 0xF800 | target);  // pointer with high bits set
  for (const Branch& b : kBranches) {
    for (const bool indirect : {false, true}) {
      for (int flags = 0; flags < 8; ++flags) {
        const bool c = flags & 1, n = flags & 2, z = flags & 4;
        SCOPED_TRACE(::testing::Message() << b.name << (indirect ? " indirect" : "") << " С=" << c << " N=" << n
                                          << " Z=" << z);
        SetState(0x7E57, c, n, z);
        const auto command = static_cast<std::uint16_t>((b.code << 12) | (indirect ? 0x800 | 0x060 : target));
        RunOne(command);
        EXPECT_EQ(rig.PC(), b.taken(c, n, z) ? target + 1 : kStart + 2);
        ExpectA(0x7E57);
        ExpectFlags(c, n, z);
        EXPECT_EQ(rig.Peek(0x060), 0xF800 | target);
      }
    }
  }
}

TEST_F(BranchTest, BranchesReachAddressZeroAndTheLastAddress) {
  rig.Poke(0x000, kHLT);
  SetState(0, true, false, true);
  RunOne(0x8000);  // BCS 000
  EXPECT_EQ(rig.PC(), 0x001);
  rig.Poke(0x7FF, kHLT);
  RunOne(0xC7FF);  // BR 7FF: the HLT there leaves СК at 000
  EXPECT_EQ(rig.PC(), 0x000);
}

TEST_F(BranchTest, ALoopOnBmiEndsWhenTheSignChanges) {
  // А := 8000 - 1 per turn ... stops when А turns positive: DEC; BMI 010; HLT
  SetState(0x8003, false, false, false);
  RunProgram({kDEC, 0xA010, kHLT});
  ExpectA(0x7FFF);
  ExpectFlags(true, false, false);
}

}  // namespace
}  // namespace vesk::testing
