#include "format/bit_string.h"

#include <gtest/gtest.h>

#include <string>

using namespace vesk;

TEST(FitWidth, PadsOrKeepsTheRightmostCharacters) {
  EXPECT_EQ(FitWidth("10000000000000000", 16), "0000000000000000");
  EXPECT_EQ(FitWidth("", 4), "0000");
  EXPECT_EQ(FitWidth("1A", 4), "001A");
  EXPECT_EQ(FitWidth("123", 5), "00123");
  EXPECT_EQ(FitWidth("abcdef", 2), "ef");
  EXPECT_EQ(FitWidth("101", 3), "101");
  EXPECT_EQ(FitWidth(std::string(1000, '1'), 16), std::string(16, '1'));
}

TEST(BinToHex, GroupsOfFourAndSkippedGroups) {
  EXPECT_EQ(BinToHex("0000000000000000"), "0000");
  EXPECT_EQ(BinToHex("11111"), "1F");
  EXPECT_EQ(BinToHex("01x10001"), "1");
  EXPECT_EQ(BinToHex("101"), "5");
  EXPECT_EQ(BinToHex("10000"), "10");
  EXPECT_EQ(BinToHex(""), "");
  EXPECT_EQ(BinToHex("10000000000000000"), "10000");
  EXPECT_EQ(BinToHex("1010101111001101"), "ABCD");
  EXPECT_EQ(BinToHex("2"), "");  // padded group '0002' is not binary
}

TEST(HexToBin, UpperCaseDigitsOnly) {
  EXPECT_EQ(HexToBin("1a"), "0001");
  EXPECT_EQ(HexToBin("1A"), "00011010");
  EXPECT_EQ(HexToBin("F"), "1111");
  EXPECT_EQ(HexToBin(""), "");
  EXPECT_EQ(HexToBin("G-7"), "0111");
  EXPECT_EQ(HexToBin("0123456789ABCDEF"),
            "0000000100100011010001010110011110001001101010111100110111101111");
}

TEST(HexToNum, EitherCaseAndEmpty) {
  EXPECT_EQ(HexToNum("ff"), 255);
  EXPECT_EQ(HexToNum("FF"), 255);
  EXPECT_EQ(HexToNum(""), 0);
  EXPECT_EQ(HexToNum("7FF"), 2047);
  EXPECT_EQ(HexToNum("10000"), 65536);
  // A foreign character counts as the digit 0 and never fails.
  EXPECT_EQ(HexToNum("1z"), 16);
  // Over-long text wraps instead of overflowing.
  EXPECT_EQ(HexToNum("1FFFFFFFF"), -1);
}

TEST(BinToNum, UnsignedReading) {
  EXPECT_EQ(BinToNum(""), 0);
  EXPECT_EQ(BinToNum("1111111111111111"), 65535);
  EXPECT_EQ(BinToNum("0101"), 5);
  EXPECT_EQ(BinToNum("1x1"), 5);
}

TEST(GroupDigits, GroupsFromTheRight) {
  EXPECT_EQ(GroupDigits("0000000000000000", 4, "."), "0000.0000.0000.0000");
  EXPECT_EQ(GroupDigits("1234567", 3, " "), "1 234 567");
  EXPECT_EQ(GroupDigits("123", 3, "."), "123");
  EXPECT_EQ(GroupDigits("00123", 3, "."), "00.123");
  EXPECT_EQ(GroupDigits("12345678", 4, " "), "1234 5678");
  EXPECT_EQ(GroupDigits("1234", 3, "."), "1.234");
  EXPECT_EQ(GroupDigits("", 3, "."), "");
  EXPECT_EQ(GroupDigits("1.2345", 3, "."), "1.2.345");  // a dot is a digit like any other
}

TEST(StripDots, RemovesEveryDot) {
  EXPECT_EQ(StripDots("0000.0000.0000.0000"), "0000000000000000");
  EXPECT_EQ(StripDots("1.234"), "1234");
  EXPECT_EQ(StripDots("..."), "");
}

TEST(GetBitSetBit, IndexFromTheRightAndGrowth) {
  EXPECT_EQ(GetBit("1000000000000000", 15), 1);
  EXPECT_EQ(GetBit("1", 5), 0);
  EXPECT_EQ(GetBit("10", 0), 0);
  EXPECT_EQ(GetBit("10", 1), 1);
  EXPECT_EQ(GetBit("10", -1), 0);
  EXPECT_EQ(GetBit("", 0), 0);

  Word w("0000");
  SetBit(w, 0, 1);
  EXPECT_EQ(w, "0001");
  Word a("0000");
  SetBit(a, 4, 1);
  EXPECT_EQ(a, "10000");
  Word b("0000");
  SetBit(b, 9, 1);
  EXPECT_EQ(b, "10000");
  Word c("1111");
  SetBit(c, 3, 0);
  EXPECT_EQ(c, "0111");
}

TEST(InvertBits, OnesComplementKeepsWidth) {
  EXPECT_EQ(InvertBits("0101"), "1010");
  EXPECT_EQ(InvertBits("01x"), "101");
  EXPECT_EQ(InvertBits(""), "");
  EXPECT_EQ(InvertBits("01000001"), "10111110");
}

TEST(AndBits, WidthFollowsTheHighestSetBit) {
  EXPECT_EQ(AndBits("0101", "0111"), "101");
  EXPECT_EQ(AndBits("0000000000000000", "0000000000000000"), std::string(17, '0'));
  EXPECT_EQ(AndBits("1", "0000000000000001"), "1");
  EXPECT_EQ(AndBits("1000", "0111"), "0000");
}

TEST(AddWords, SixteenBitSumWithCarry) {
  bool carry = true;
  EXPECT_EQ(AddWords("1111111111111111", "0000000000000001", carry), "0000");
  EXPECT_TRUE(carry);
  EXPECT_EQ(AddWords("0000000000000001", "0000000000000001", carry), "0010");
  EXPECT_FALSE(carry);
  EXPECT_EQ(AddWords("0000000011111111", "0000000000000000", carry), "11111111");
  EXPECT_EQ(AddWords("0000111111111111", "0", carry), "111111111111");
  EXPECT_EQ(AddWords("0001000000000000", "0", carry), "0001000000000000");
  // Two's complement negation of zero.
  EXPECT_EQ(AddWords(InvertBits("0000000000000000"), "0000000000000001", carry), "0000");
  EXPECT_TRUE(carry);
  // Negation of one gives FFFF without carry.
  EXPECT_EQ(AddWords(InvertBits("0000000000000001"), "0000000000000001", carry), "1111111111111111");
  EXPECT_FALSE(carry);
}

TEST(RotateBits, BothDirectionsAndFullTurns) {
  EXPECT_EQ(RotateBits("10000", 1), "01000");
  EXPECT_EQ(RotateBits("10000", -1), "00001");
  EXPECT_EQ(RotateBits("101", 3), "101");
  EXPECT_EQ(RotateBits("101", -3), "101");
  EXPECT_EQ(RotateBits("1100", 0), "1100");
  EXPECT_EQ(RotateBits("1100", 2), "0011");
  EXPECT_EQ(RotateBits("", 1), "");
}

TEST(FastPaths, AgreeWithTheTextHelpers) {
  for (std::uint32_t v : {0u, 1u, 15u, 16u, 255u, 0x7FFu, 0x8000u, 0xFFFFu}) {
    const Word bits = NumToBits(v, 16);
    EXPECT_EQ(bits.size(), 16u);
    EXPECT_EQ(static_cast<std::uint32_t>(BinToNum(bits)), v);
    EXPECT_EQ(BitsValue(bits), v);
    EXPECT_EQ(FitWidth(NumToHex(v), 4), BinToHex(bits));
  }
  EXPECT_EQ(NumToHex(0), "0");
  EXPECT_EQ(NumToDec(-42), "-42");
  EXPECT_TRUE(IsBitString("0101", 4));
  EXPECT_FALSE(IsBitString("0101", 5));
  EXPECT_FALSE(IsBitString("01a1", 4));
}
