#include "memory/memory_editor_rules.h"

#include <gtest/gtest.h>

#include "memory/main_memory.h"

using namespace vesk;

namespace {

std::string Stored(std::string_view mode, std::string_view text) {
  const EditorValue v = MemoryValueFromText(mode, text);
  EXPECT_TRUE(v.ok) << mode << " '" << text << "': " << v.error;
  return v.bits.str();
}

bool Refused(std::string_view mode, std::string_view text) {
  const EditorValue v = MemoryValueFromText(mode, text);
  return !v.ok && !v.error.empty();
}

}  // namespace

TEST(MemoryEditorRules, HexIsTrimmedUpperCasedAndFittedToFourDigits) {
  EXPECT_EQ(Stored("Hex", "1a"), "0000000000011010");
  EXPECT_EQ(Stored("Hex", "  f00F "), "1111000000001111");
  EXPECT_EQ(Stored("Hex", "12345"), "0010001101000101");
  EXPECT_EQ(Stored("Hex", ""), "0000000000000000");
  EXPECT_TRUE(Refused("Hex", "12G4"));
  EXPECT_TRUE(Refused("Hex", "1 2"));
}

TEST(MemoryEditorRules, DecHandlesTheMinusDotsAndRounding) {
  EXPECT_EQ(Stored("Dec", "-1"), "1111111111111111");
  EXPECT_EQ(Stored("Dec", "-32768"), "1000000000000000");
  EXPECT_EQ(Stored("Dec", "-0"), "0000000000000000");
  EXPECT_EQ(Stored("Dec", "00.255"), "0000000011111111");
  // The text the list shows for FFFF writes FFFF again.
  EXPECT_EQ(Stored("Dec", "65.535  ( -00.001)"), "1111111111111111");
  EXPECT_EQ(Stored("Dec", "32.768  ( -32.768)"), "1000000000000000");
  EXPECT_EQ(Stored("Dec", "65536"), "0000000000000000");
  EXPECT_EQ(Stored("Dec", "65537"), "0000000000000001");
  // Dots are stripped before reading, so halves appear only with an exponent.
  EXPECT_EQ(Stored("Dec", "25e-1"), "0000000000000010");
  EXPECT_EQ(Stored("Dec", "35e-1"), "0000000000000100");
  EXPECT_EQ(Stored("Dec", " 12abc"), "0000000000001100");
  EXPECT_TRUE(Refused("Dec", "abc"));
  EXPECT_TRUE(Refused("Dec", ""));
  EXPECT_TRUE(Refused("Dec", "-"));
  EXPECT_TRUE(Refused("Dec", "-x"));
  EXPECT_TRUE(Refused("Dec", "99999999999"));
}

TEST(MemoryEditorRules, BinStripsDotsAndKeepsSixteenBits) {
  EXPECT_EQ(Stored("Bin", "1000.0000.0000.0000"), "1000000000000000");
  EXPECT_EQ(Stored("Bin", "101"), "0000000000000101");
  EXPECT_EQ(Stored("Bin", "11.0000.0000.0000.0001"), "0000000000000001");
  EXPECT_TRUE(Refused("Bin", "1021"));
  EXPECT_TRUE(Refused("Bin", "10 01"));
}

TEST(MemoryEditorRules, AsmGoesThroughTheEncoder) {
  EXPECT_EQ(Stored("Asm", "ADD 01A"), "0100000000011010");
  EXPECT_EQ(Stored("Asm", "  HLT "), "1111000000000000");
  EXPECT_EQ(Stored("Asm", "BR 7ff"), "1100011111111111");
  EXPECT_EQ(Stored("Asm", "OUT 05"), "1110001100000101");
  const EditorValue nothing = MemoryValueFromText("Asm", "hello");
  ASSERT_TRUE(nothing.ok);
  EXPECT_EQ(nothing.bits, "0000000000000000");
  EXPECT_FALSE(nothing.note.empty());
  EXPECT_TRUE(Refused("Asm", "ADD 0ZZ"));
}

TEST(MemoryEditorRules, AnUnknownModeWritesNoValue) {
  const EditorValue v = MemoryValueFromText("Oct", "17");
  EXPECT_TRUE(v.ok);
  EXPECT_TRUE(v.bits.empty());
}

TEST(MemoryEditorRules, EditorTextFollowsTheMode) {
  MainMemory m;
  m.Mem_WriteMem("010", "1111111111111111");
  EXPECT_EQ(MemoryEditorText(m, 0x10, "Hex"), "FFFF");
  EXPECT_EQ(MemoryEditorText(m, 0x10, "Dec"), "65.535  ( -00.001)");
  EXPECT_EQ(MemoryEditorText(m, 0x10, "Bin"), "1111.1111.1111.1111");
  EXPECT_EQ(MemoryEditorText(m, 0x10, "Asm"), "");
  m.Mem_WriteMem("011", "1111000000000000");
  EXPECT_EQ(MemoryEditorText(m, 0x11, "Asm"), "HLT");
  EXPECT_EQ(MemoryEditorText(m, 0x11, "Oct"), "");
}
