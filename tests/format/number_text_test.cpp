#include "format/number_text.h"

#include <gtest/gtest.h>

using namespace vesk;

TEST(LeadingNumber, ReadsTheNumberAtTheStart) {
  EXPECT_EQ(LeadingNumber("12.6"), 12.6);
  EXPECT_EQ(LeadingNumber("  -5abc"), -5.0);
  EXPECT_EQ(LeadingNumber("abc"), 0.0);
  EXPECT_EQ(LeadingNumber(""), 0.0);
  EXPECT_EQ(LeadingNumber("-"), 0.0);
  EXPECT_EQ(LeadingNumber(".5"), 0.5);
  EXPECT_EQ(LeadingNumber("1e3x"), 1000.0);
  EXPECT_EQ(LeadingNumber("1e"), 1.0);
  EXPECT_EQ(LeadingNumber("65535  ( -00001)"), 65535.0);
  EXPECT_GT(LeadingNumber("1e99999"), 1e299);  // stays finite
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(3.5), 4);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(12.6), 13);
  EXPECT_EQ(RoundHalfEven(1e300), static_cast<std::int64_t>(9.2e18));
}

TEST(Trim, BlanksAtBothEnds) {
  EXPECT_EQ(Trim("  a b \t"), "a b");
  EXPECT_EQ(Trim("   "), "");
}
