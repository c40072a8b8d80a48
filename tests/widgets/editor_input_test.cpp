#include "widgets/editor_input.h"

#include <gtest/gtest.h>

using namespace vesk;

TEST(EditorInput, RecognisesHexAndBinaryText) {
  EXPECT_TRUE(IsHexText("09afAF"));
  EXPECT_TRUE(IsHexText(""));
  EXPECT_FALSE(IsHexText("1G"));
  EXPECT_FALSE(IsHexText("1 2"));
  EXPECT_TRUE(IsBinaryText("0101"));
  EXPECT_FALSE(IsBinaryText("0121"));
  EXPECT_FALSE(IsBinaryText("01.1"));
  EXPECT_EQ(UpperAscii("1a-fZ"), "1A-FZ");
}

TEST(EditorInput, TypedIntegerRoundsHalvesToEvenAndRefusesNonNumbers) {
  EXPECT_EQ(TypedInteger("  42abc"), 42);
  EXPECT_EQ(TypedInteger("-7"), -7);
  EXPECT_EQ(TypedInteger("2.5"), 2);
  EXPECT_EQ(TypedInteger("3.5"), 4);
  EXPECT_EQ(TypedInteger("-2.5"), -2);
  EXPECT_EQ(TypedInteger(".5"), 0);
  EXPECT_FALSE(TypedInteger("abc"));
  EXPECT_FALSE(TypedInteger(""));
  EXPECT_FALSE(TypedInteger("-"));
  EXPECT_FALSE(TypedInteger("99999999999"));
  EXPECT_EQ(TypedInteger("4294967295"), 4294967295LL);
  EXPECT_FALSE(TypedInteger("4294967296"));
  EXPECT_TRUE(StartsWithNumber(" +1"));
  EXPECT_FALSE(StartsWithNumber("+x"));
}

TEST(EditorInput, TwoComplementBitsKeepsTheLowBits) {
  EXPECT_EQ(TwoComplementBits(-1, 16), "1111111111111111");
  EXPECT_EQ(TwoComplementBits(65536 + 5, 16), "0000000000000101");
  EXPECT_EQ(TwoComplementBits(300, 8), "00101100");
  EXPECT_EQ(TwoComplementBits(-32768, 16), "1000000000000000");
}
