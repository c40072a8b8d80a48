#include "format/bit_value.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "format/bit_string.h"

using namespace vesk;

namespace {

// Texts of every kind a register can be given: clean bit strings of every
// width up to and past 32, hex digits, and text that is neither.
std::vector<std::string> SampleTexts() {
  std::vector<std::string> texts = {"", "0", "1", "01", "10", "0000000000000000", "1111111111111111",
                                    std::string(32, '1'), std::string(33, '1'), std::string(40, '0'),
                                    "1x01", "2", " 1", "1 ", "Ж", "0001ЖЖ", "ABCD", "abcd", "0F", "FF",
                                    "100", "00000000", "-1", "1.0", "12345678", "123456789"};
  std::uint32_t seed = 12345;
  for (int k = 0; k < 300; ++k) {
    seed = seed * 1103515245u + 12345u;
    const int width = static_cast<int>((seed >> 8) % 36);
    std::string s;
    for (int i = 0; i < width; ++i) {
      seed = seed * 1103515245u + 12345u;
      s += (seed >> 16) % 11 == 0 ? "0123456789ABCDEFx"[(seed >> 20) % 17] : ((seed >> 18) & 1 ? '1' : '0');
    }
    texts.push_back(s);
  }
  return texts;
}

}  // namespace

TEST(BitValue, EveryTextComesBackExactly) {
  for (const std::string& t : SampleTexts()) {
    EXPECT_EQ(BitValue::OfBits(t).text(), t) << t;
    EXPECT_EQ(BitValue::OfHex(t).text(), t) << t;
    std::string appended = "x";
    BitValue::OfBits(t).appendTo(appended);
    EXPECT_EQ(appended, "x" + t);
  }
}

TEST(BitValue, CleanTextsAreHeldAsNumbers) {
  const BitValue b = BitValue::OfBits("00101");
  EXPECT_TRUE(b.isBits(5));
  EXPECT_FALSE(b.isBits(16));
  EXPECT_EQ(b.value(), 5u);
  EXPECT_TRUE(BitValue::OfBits(std::string(32, '1')).isBits(32));
  EXPECT_EQ(BitValue::OfBits(std::string(32, '1')).value(), 0xFFFFFFFFu);
  EXPECT_FALSE(BitValue::OfBits(std::string(33, '1')).isBits());
  EXPECT_FALSE(BitValue::OfBits("0x1").isBits());
  EXPECT_TRUE(BitValue::OfBits("").isBits(0));
  EXPECT_TRUE(BitValue::OfBits("").empty());
  const BitValue h = BitValue::OfHex("0A");
  EXPECT_TRUE(h.isHex(2));
  EXPECT_FALSE(h.isBits());
  EXPECT_EQ(h.value(), 10u);
  EXPECT_FALSE(BitValue::OfHex("0a").isHex());  // lower case is kept as text
  EXPECT_EQ(BitValue::Bits(0x1FFFF, 16).text(), std::string(16, '1'));
  EXPECT_EQ(BitValue::Hex(0x1AB, 2).text(), "AB");
  EXPECT_EQ(BitValue::Hex(5, 0).text(), "");
}

TEST(BitValue, BitsAndValueReadAsTheTextHelpersReadTheText) {
  for (const std::string& t : SampleTexts()) {
    for (const BitValue& v : {BitValue::OfBits(t), BitValue::OfHex(t)}) {
      for (int i = -1; i < 40; ++i) EXPECT_EQ(v.bit(i), GetBit(t, i)) << t << " bit " << i;
      EXPECT_EQ(v.bitsValue(), BitsValue(t)) << t;
    }
  }
}

TEST(BitValue, CopiesOwnTheirText) {
  BitValue odd = BitValue::OfBits("1x1");
  BitValue copy = odd;
  odd = BitValue::Bits(3, 2);
  EXPECT_EQ(copy.text(), "1x1");
  EXPECT_EQ(odd.text(), "11");
  copy = copy;  // NOLINT: self-assignment keeps the text
  EXPECT_EQ(copy.text(), "1x1");
  BitValue moved = std::move(copy);
  EXPECT_EQ(moved.text(), "1x1");
  EXPECT_TRUE(BitValue::OfBits("01") == BitValue::OfBits("01"));
  EXPECT_FALSE(BitValue::OfBits("01") == BitValue::OfBits("1"));
  EXPECT_TRUE(BitValue::OfBits("0A") == BitValue::OfHex("0A"));
}
