#include "io/controller_editor_rules.h"

#include <gtest/gtest.h>

#include "core/processor.h"
#include "io/controllers.h"

using namespace vesk;

namespace {

std::string Written(std::string_view mode, std::string_view text) {
  const EditorValue v = ControllerValueFromText(mode, text);
  EXPECT_TRUE(v.ok) << mode << " '" << text << "': " << v.error;
  return v.bits.str();
}

}  // namespace

TEST(ControllerEditorRules, HexTakesTheLastTwoCharacters) {
  EXPECT_EQ(Written("Hex", "5"), "00000101");
  EXPECT_EQ(Written("Hex", "1AB"), "10101011");
  EXPECT_EQ(Written("Hex", " ff "), "11111111");
  // Characters that are not hex digits give no bits.
  EXPECT_EQ(Written("Hex", "G5"), "00000101");
}

TEST(ControllerEditorRules, DecIsModulo256WithHalvesToEven) {
  EXPECT_EQ(Written("Dec", "300"), "00101100");
  EXPECT_EQ(Written("Dec", "-1"), "11111111");
  EXPECT_EQ(Written("Dec", "1.000"), "11101000");  // dots stripped: 1000 mod 256 = 232
  EXPECT_EQ(Written("Dec", "25e-1"), "00000010");
  EXPECT_EQ(Written("Dec", "abc"), "00000000");
  EXPECT_FALSE(ControllerValueFromText("Dec", "99999999999").ok);
}

TEST(ControllerEditorRules, BinStripsDotsAndRefusesOtherCharacters) {
  EXPECT_EQ(Written("Bin", "1.01"), "00000101");
  EXPECT_EQ(Written("Bin", "1.0000.0000"), "00000000");
  EXPECT_FALSE(ControllerValueFromText("Bin", "102").ok);
}

TEST(ControllerEditorRules, EditorTextPerMode) {
  Processor cpu;
  Controllers c(cpu);
  c.Reg_Set_Data("05", "00110100");
  const int row = Controllers::RowOfAddress(5);
  EXPECT_EQ(ControllerEditorText(c, row, "Hex"), "34");
  EXPECT_EQ(ControllerEditorText(c, row, "Dec"), "52");
  EXPECT_EQ(ControllerEditorText(c, row, "Bin"), "00110100");
  EXPECT_EQ(ControllerEditorText(c, Controllers::RowOfAddress(6), "Dec"), "0");
}
