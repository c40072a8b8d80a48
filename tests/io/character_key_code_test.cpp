#include "io/character_key_code.h"

#include <gtest/gtest.h>

using namespace vesk;

TEST(CharacterKeyCode, EveryPrintableAsciiCharacterHasItsUsKey) {
  for (char32_t c = 'a'; c <= 'z'; ++c) EXPECT_EQ(CharacterKeyCode(c), static_cast<int>(c - 'a' + 'A'));
  for (char32_t c = 'A'; c <= 'Z'; ++c) EXPECT_EQ(CharacterKeyCode(c), static_cast<int>(c));
  for (char32_t c = '0'; c <= '9'; ++c) EXPECT_EQ(CharacterKeyCode(c), static_cast<int>(c));
  const char32_t shifted[] = U")!@#$%^&*(";  // the shifted digit keys 0..9
  for (int d = 0; d <= 9; ++d) EXPECT_EQ(CharacterKeyCode(shifted[d]), '0' + d);
  EXPECT_EQ(CharacterKeyCode(' '), 0x20);
  const std::pair<const char32_t*, int> keys[] = {{U";:", 0xBA}, {U"=+", 0xBB}, {U",<", 0xBC}, {U"-_", 0xBD},
                                                  {U".>", 0xBE}, {U"/?", 0xBF}, {U"`~", 0xC0}, {U"[{", 0xDB},
                                                  {U"\\|", 0xDC}, {U"]}", 0xDD}, {U"'\"", 0xDE}};
  for (const auto& [pair, code] : keys) {
    EXPECT_EQ(CharacterKeyCode(pair[0]), code);
    EXPECT_EQ(CharacterKeyCode(pair[1]), code);
  }
  for (char32_t c = 0x20; c < 0x7F; ++c) EXPECT_NE(CharacterKeyCode(c), 0) << static_cast<int>(c);
}

TEST(CharacterKeyCode, EnterForBothLineEndsAndNoKeyForOtherControls) {
  EXPECT_EQ(CharacterKeyCode('\r'), 0x0D);
  EXPECT_EQ(CharacterKeyCode('\n'), 0x0D);
  for (const char32_t c : {U'\0', U'\t', U'\x1B', U'\x7F', U'\x80', U'€', U'中'}) EXPECT_EQ(CharacterKeyCode(c), 0);
}

TEST(CharacterKeyCode, CyrillicLettersAreTheKeysTheyLieOnInTheRussianLayout) {
  EXPECT_EQ(CharacterKeyCode(U'Ф'), 'A');
  EXPECT_EQ(CharacterKeyCode(U'ф'), 'A');
  EXPECT_EQ(CharacterKeyCode(U'Й'), 'Q');
  EXPECT_EQ(CharacterKeyCode(U'я'), 'Z');
  EXPECT_EQ(CharacterKeyCode(U'Б'), 0xBC);
  EXPECT_EQ(CharacterKeyCode(U'ё'), 0xC0);
}
