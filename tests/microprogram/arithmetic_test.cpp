// ADD, ADC, SUB, AND and the non-address commands that compute on А: results,
// carries out of bit 15, and N, Z after every command that sets them.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "microprogram/program_test.h"

namespace vesk::testing {
namespace {

struct AddCase {
  std::uint16_t a, operand;
  bool carryIn;
  std::uint16_t result;
  bool c, n, z;
};


class ArithmeticTest : public ProgramTest {
 protected:
  void Check(std::uint16_t command, const AddCase& k) {
    SCOPED_TRACE(::testing::Message() << std::hex << std::uppercase << "command " << command << ", А=" << k.a
                                      << ", operand=" << k.operand << ", С=" << k.carryIn);
    rig.Poke(0x020, k.operand);
    SetState(k.a, k.carryIn, !k.n, !k.z);
    RunOne(command);
    ExpectA(k.result);
    ExpectFlags(k.c, k.n, k.z);
    EXPECT_EQ(rig.Peek(0x020), k.operand) << "the operand stays";
    EXPECT_EQ(rig.PC(), kStart + 2);
  }
};

TEST_F(ArithmeticTest, AddSetsCarryFromBit15AndNZFromTheSum) {
  const std::vector<AddCase> cases = {
      {0x0005, 0x0003, false, 0x0008, false, false, false},
      {0x0005, 0x0003, true, 0x0008, false, false, false},  // ADD ignores С
      {0x7FFF, 0x0001, false, 0x8000, false, true, false},  // sign change, no carry
      {0xFFFF, 0x0001, false, 0x0000, true, false, true},   // carry out of bit 15, zero
      {0x8000, 0x8000, false, 0x0000, true, false, true},
      {0xFFFF, 0xFFFF, false, 0xFFFE, true, true, false},
      {0x0000, 0x0000, true, 0x0000, false, false, true},
      {0x1234, 0xEDCC, false, 0x0000, true, false, true},
  };
  for (const AddCase& k : cases) Check(0x4020, k);
}

TEST_F(ArithmeticTest, AdcAddsTheCarryIn) {
  const std::vector<AddCase> cases = {
      {0x0005, 0x0003, false, 0x0008, false, false, false},
      {0x0005, 0x0003, true, 0x0009, false, false, false},
      {0xFFFF, 0x0000, true, 0x0000, true, false, true},  // the carry-in alone carries out
      {0xFFFF, 0x0000, false, 0xFFFF, false, true, false},
      {0x7FFF, 0x0000, true, 0x8000, false, true, false},
      {0xFFFF, 0xFFFF, true, 0xFFFF, true, true, false},
      {0x8000, 0x7FFF, true, 0x0000, true, false, true},
  };
  for (const AddCase& k : cases) Check(0x5020, k);
}

TEST_F(ArithmeticTest, SubSetsCarryWhenNothingIsBorrowed) {
  const std::vector<AddCase> cases = {
      {0x0005, 0x0003, false, 0x0002, true, false, false},
      {0x0005, 0x0003, true, 0x0002, true, false, false},  // SUB ignores С
      {0x0003, 0x0005, false, 0xFFFE, false, true, false},  // borrow: С = 0
      {0x0007, 0x0007, false, 0x0000, true, false, true},
      {0x0000, 0x0000, false, 0x0000, true, false, true},  // A + FFFF + 1 carries
      {0x0000, 0x0001, true, 0xFFFF, false, true, false},
      {0x8000, 0x0001, false, 0x7FFF, true, false, false},
      {0x7FFF, 0xFFFF, false, 0x8000, false, true, false},
  };
  for (const AddCase& k : cases) Check(0x6020, k);
}

TEST_F(ArithmeticTest, AndLeavesTheCarryAlone) {
  const std::vector<AddCase> cases = {
      {0xF0F0, 0xFF00, false, 0xF000, false, true, false},
      {0xF0F0, 0xFF00, true, 0xF000, true, true, false},
      {0x0F0F, 0xF0F0, true, 0x0000, true, false, true},
      {0x1234, 0x7FFF, false, 0x1234, false, false, false},
      {0xFFFF, 0xFFFF, false, 0xFFFF, false, true, false},
  };
  for (const AddCase& k : cases) Check(0x1020, k);
}

struct UnaryCase {
  std::uint16_t command, a;
  bool carryIn;
  std::uint16_t result;
  bool c, n, z;
};

class NonAddressTest : public ProgramTest {
 protected:
  void Check(const UnaryCase& k) {
    SCOPED_TRACE(::testing::Message() << std::hex << std::uppercase << "command " << k.command << ", А=" << k.a
                                      << ", С=" << k.carryIn);
    SetState(k.a, k.carryIn, !k.n, !k.z);
    RunOne(k.command);
    ExpectA(k.result);
    ExpectFlags(k.c, k.n, k.z);
    EXPECT_EQ(rig.PC(), kStart + 2);
  }
  // A command that leaves N and Z alone: they keep both settings.
  void CheckKeepsNZ(std::uint16_t command, std::uint16_t a, bool carryIn, std::uint16_t result, bool carryOut) {
    for (const bool nz : {false, true}) {
      SCOPED_TRACE(::testing::Message() << std::hex << std::uppercase << "command " << command << ", С="
                                        << carryIn << ", N=Z=" << nz);
      SetState(a, carryIn, nz, nz);
      RunOne(command);
      ExpectA(result);
      ExpectFlags(carryOut, nz, nz);
    }
  }
};

TEST_F(NonAddressTest, ClaClearsАAndSetsZ) {
  Check({kCLA, 0x8001, false, 0x0000, false, false, true});
  Check({kCLA, 0x8001, true, 0x0000, true, false, true});  // С stays
}

TEST_F(NonAddressTest, ClcAndCmcChangeOnlyTheCarry) {
  CheckKeepsNZ(kCLC, 0x1234, true, 0x1234, false);
  CheckKeepsNZ(kCLC, 0x1234, false, 0x1234, false);
  CheckKeepsNZ(kCMC, 0x1234, true, 0x1234, false);
  CheckKeepsNZ(kCMC, 0x1234, false, 0x1234, true);
}

TEST_F(NonAddressTest, CmaInvertsАAndSetsNZ) {
  Check({kCMA, 0x0000, false, 0xFFFF, false, true, false});
  Check({kCMA, 0xFFFF, true, 0x0000, true, false, true});
  Check({kCMA, 0x00FF, false, 0xFF00, false, true, false});
  Check({kCMA, 0x8421, true, 0x7BDE, true, false, false});
}

TEST_F(NonAddressTest, RolRotatesCarryAndАLeft) {
  Check({kROL, 0x8001, false, 0x0002, true, false, false});
  Check({kROL, 0x8001, true, 0x0003, true, false, false});
  Check({kROL, 0x4000, false, 0x8000, false, true, false});
  Check({kROL, 0x8000, false, 0x0000, true, false, true});
  Check({kROL, 0x0000, true, 0x0001, false, false, false});
}

TEST_F(NonAddressTest, RorRotatesCarryAndАRight) {
  Check({kROR, 0x8001, false, 0x4000, true, false, false});
  Check({kROR, 0x8001, true, 0xC000, true, true, false});
  Check({kROR, 0x0001, false, 0x0000, true, false, true});
  Check({kROR, 0x0000, true, 0x8000, false, true, false});
  Check({kROR, 0x0002, false, 0x0001, false, false, false});
}

TEST_F(NonAddressTest, IncCarriesOutOfBit15) {
  Check({kINC, 0x0000, true, 0x0001, false, false, false});
  Check({kINC, 0x7FFF, false, 0x8000, false, true, false});
  Check({kINC, 0xFFFF, false, 0x0000, true, false, true});
  Check({kINC, 0xFFFE, true, 0xFFFF, false, true, false});
}

TEST_F(NonAddressTest, DecCarriesUnlessАWasZero) {
  Check({kDEC, 0x0001, false, 0x0000, true, false, true});
  Check({kDEC, 0x0000, true, 0xFFFF, false, true, false});
  Check({kDEC, 0x8000, false, 0x7FFF, true, false, false});
  Check({kDEC, 0xFFFF, false, 0xFFFE, true, true, false});
}

TEST_F(NonAddressTest, NopAndHltChangeNoFlagOrА) {
  CheckKeepsNZ(kNOP, 0xABCD, true, 0xABCD, true);
  CheckKeepsNZ(kNOP, 0xABCD, false, 0xABCD, false);
  for (const bool f : {false, true}) {
    SetState(0x5A5A, f, f, f);
    RunProgram({kHLT});
    ExpectA(0x5A5A);
    ExpectFlags(f, f, f, "HLT");
    EXPECT_EQ(rig.PC(), kStart + 1);
  }
}

}  // namespace
}  // namespace vesk::testing

namespace vesk::testing {
namespace {

// Whole programs of this family, checked against arithmetic done here on
// random operands: carries chained from the low word into the high word, and
// OR built from AND and CMA.
class ArithmeticProgramTest : public ProgramTest {
 protected:
  std::uint32_t Random() { return static_cast<std::uint32_t>(rng_()); }
  std::mt19937 rng_{7};
};

TEST_F(ArithmeticProgramTest, ThirtyTwoBitAdditionAndSubtractionChainTheCarry) {
  // a at 040/041 (hi/lo), b at 042/043, a + b to 044/045, a - b to 046/047.
  rig.Load(kStart, {
                       kCLA, 0x4041, 0x4043, 0x3045,          // lo := a.lo + b.lo, С := carry
                       kCLA, 0x5040, 0x4042, 0x3044,          // hi := a.hi + С + b.hi
                       kCLA, 0x4041, 0x6043, 0x3047,          // lo := a.lo - b.lo, С := no borrow
                       kCLA, kCMA, 0x1042, kCMA,              // А := NOT b.hi (AND, CMA keep С)
                       0x5040, 0x3046,                        // hi := a.hi + NOT b.hi + С
                       kHLT,
                   });
  for (int i = 0; i < 40; ++i) {
    std::uint32_t a = Random(), b = Random();
    if (i == 0) a = 0x0000FFFF, b = 0x00000001;  // a carry out of bit 15
    if (i == 1) a = 0x00010000, b = 0x00000001;  // a borrow from the high word
    if (i == 2) a = 0xFFFFFFFF, b = 0xFFFFFFFF;
    SCOPED_TRACE(::testing::Message() << std::hex << "a=" << a << " b=" << b);
    rig.Load(0x040, {static_cast<std::uint16_t>(a >> 16), static_cast<std::uint16_t>(a),
                     static_cast<std::uint16_t>(b >> 16), static_cast<std::uint16_t>(b)});
    ASSERT_TRUE(rig.RunFrom(kStart, 100));
    const std::uint32_t sum = (static_cast<std::uint32_t>(rig.Peek(0x044)) << 16) | rig.Peek(0x045);
    const std::uint32_t difference = (static_cast<std::uint32_t>(rig.Peek(0x046)) << 16) | rig.Peek(0x047);
    EXPECT_EQ(sum, a + b);
    EXPECT_EQ(difference, a - b);
  }
}

TEST_F(ArithmeticProgramTest, OrFromAndAndCma) {
  // r := NOT (NOT a AND NOT b), with a at 040, b at 041, r at 042, t at 043.
  rig.Load(kStart, {kCLA, 0x4040, kCMA, 0x3043, kCLA, 0x4041, kCMA, 0x1043, kCMA, 0x3042, kHLT});
  for (int i = 0; i < 20; ++i) {
    const auto a = static_cast<std::uint16_t>(Random()), b = static_cast<std::uint16_t>(Random());
    rig.Load(0x040, {a, b});
    ASSERT_TRUE(rig.RunFrom(kStart, 100));
    EXPECT_EQ(rig.Peek(0x042), static_cast<std::uint16_t>(a | b)) << std::hex << a << " " << b;
    EXPECT_EQ(rig.N(), (static_cast<std::uint16_t>(a | b) & 0x8000) != 0);
    EXPECT_EQ(rig.Z(), static_cast<std::uint16_t>(a | b) == 0);
  }
}

}  // namespace
}  // namespace vesk::testing
