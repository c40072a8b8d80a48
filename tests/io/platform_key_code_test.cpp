#include "io/platform_key_code.h"

#include <gtest/gtest.h>

#include "io/character_key_code.h"

using namespace vesk;

TEST(PlatformKeyCode, LettersAreTheUpperCaseLatinLetterWhateverTheShiftState) {
  EXPECT_EQ(PlatformKeyCode(Qt::Key_A, Qt::NoModifier), 65);
  EXPECT_EQ(PlatformKeyCode(Qt::Key_A, Qt::ShiftModifier), 65);
  EXPECT_EQ(PlatformKeyCode(Qt::Key_Z, Qt::ControlModifier), 90);
  EXPECT_EQ(PlatformKeyCode('q', Qt::NoModifier), 'Q');
}

TEST(PlatformKeyCode, CyrillicLettersAreTheKeysTheyLieOn) {
  EXPECT_EQ(PlatformKeyCode(0x0424, Qt::NoModifier), 'A');   // Ф
  EXPECT_EQ(PlatformKeyCode(0x0419, Qt::NoModifier), 'Q');   // Й
  EXPECT_EQ(PlatformKeyCode(0x044F, Qt::NoModifier), 'Z');   // я
  EXPECT_EQ(PlatformKeyCode(0x0411, Qt::NoModifier), 0xBC);  // Б, the comma key
  EXPECT_EQ(PlatformKeyCode(0x0416, Qt::NoModifier), 0xBA);  // Ж, the semicolon key
  EXPECT_EQ(PlatformKeyCode(0x0401, Qt::NoModifier), 0xC0);  // Ё
}

TEST(PlatformKeyCode, DigitsShiftedDigitsAndTheKeypad) {
  EXPECT_EQ(PlatformKeyCode(Qt::Key_1, Qt::NoModifier), '1');
  EXPECT_EQ(PlatformKeyCode(Qt::Key_Exclam, Qt::ShiftModifier), '1');
  EXPECT_EQ(PlatformKeyCode(Qt::Key_ParenRight, Qt::ShiftModifier), '0');
  EXPECT_EQ(PlatformKeyCode(Qt::Key_5, Qt::KeypadModifier), 0x65);
  EXPECT_EQ(PlatformKeyCode(Qt::Key_Plus, Qt::KeypadModifier), 0x6B);
  EXPECT_EQ(PlatformKeyCode(Qt::Key_Plus, Qt::ShiftModifier), 0xBB);
}

TEST(PlatformKeyCode, KeysWithoutACharacterHaveTheirOwnCodes) {
  EXPECT_EQ(PlatformKeyCode(Qt::Key_F1, Qt::NoModifier), 112);
  EXPECT_EQ(PlatformKeyCode(Qt::Key_F12, Qt::NoModifier), 123);
  EXPECT_EQ(PlatformKeyCode(Qt::Key_Left, Qt::NoModifier), 37);
  EXPECT_EQ(PlatformKeyCode(Qt::Key_Down, Qt::NoModifier), 40);
  EXPECT_EQ(PlatformKeyCode(Qt::Key_Return, Qt::NoModifier), 13);
  EXPECT_EQ(PlatformKeyCode(Qt::Key_Enter, Qt::KeypadModifier), 13);
  EXPECT_EQ(PlatformKeyCode(Qt::Key_Escape, Qt::NoModifier), 27);
  EXPECT_EQ(PlatformKeyCode(Qt::Key_Space, Qt::NoModifier), 32);
  EXPECT_EQ(PlatformKeyCode(Qt::Key_Shift, Qt::ShiftModifier), 16);
  EXPECT_EQ(PlatformKeyCode(Qt::Key_Delete, Qt::NoModifier), 46);
}

TEST(PlatformKeyCode, KeysWithoutAPlatformCodeGiveZero) {
  EXPECT_EQ(PlatformKeyCode(Qt::Key_unknown, Qt::NoModifier), 0);
  EXPECT_EQ(PlatformKeyCode(Qt::Key_VolumeUp, Qt::NoModifier), 0);
  EXPECT_EQ(PlatformKeyCode(0x4E2D, Qt::NoModifier), 0);  // 中
}

TEST(PlatformKeyCode, TheWindowAndTheHeadlessKeyboardGiveTheSameKeyForACharacter) {
  // Qt names a character's key by its code point: the window's code for the
  // key press is the code vesk-run --keyboard queues for the character.
  for (char32_t c = 0x20; c < 0x7F; ++c)
    EXPECT_EQ(PlatformKeyCode(static_cast<int>(c), Qt::ShiftModifier), CharacterKeyCode(c)) << static_cast<int>(c);
  for (char32_t c = 0x0410; c <= 0x044F; ++c)
    EXPECT_EQ(PlatformKeyCode(static_cast<int>(c), Qt::NoModifier), CharacterKeyCode(c)) << static_cast<int>(c);
}
