#include "memory/micro_editor_rules.h"

#include <gtest/gtest.h>

#include "memory/micro_memory.h"

using namespace vesk;

TEST(MicroEditorRules, VerticalHexAndBin) {
  EditorValue v = MicroValueFromText("v-Hex", " 1a ");
  ASSERT_TRUE(v.ok);
  EXPECT_EQ(v.bits, "0000000000011010");
  v = MicroValueFromText("v-Bin", "1000.0000.0000.0001");
  ASSERT_TRUE(v.ok);
  EXPECT_EQ(v.bits, "1000000000000001");
  v = MicroValueFromText("v-Bin", "11");
  ASSERT_TRUE(v.ok);
  EXPECT_EQ(v.bits, "0000000000000011");
  EXPECT_FALSE(MicroValueFromText("v-Hex", "XYZ").ok);
  EXPECT_FALSE(MicroValueFromText("v-Bin", "2").ok);
}

TEST(MicroEditorRules, HorizontalViewsWriteNothingAndKeepTheField) {
  for (const char* mode : {"h-Hex", "h-Bin", "other"}) {
    const EditorValue v = MicroValueFromText(mode, "1234");
    EXPECT_TRUE(v.ok) << mode;
    EXPECT_TRUE(v.bits.empty()) << mode;
  }
  MicroMemory m;
  m.Micro_WriteMem("05", "1000001100000001");
  EXPECT_EQ(MicroEditorText(m, 5, "v-Hex"), "8301");
  EXPECT_EQ(MicroEditorText(m, 5, "v-Bin"), "1000.0011.0000.0001");
  EXPECT_FALSE(MicroEditorText(m, 5, "h-Hex").has_value());
  EXPECT_FALSE(MicroEditorText(m, 5, "h-Bin").has_value());
  EXPECT_EQ(MicroEditorText(m, 5, "other"), "");
}
