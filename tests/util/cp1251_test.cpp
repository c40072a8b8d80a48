#include "util/cp1251.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

using namespace vesk;

namespace {

// The C library's own windows-1251 decoder, as an independent reference.
std::string IconvDecode(unsigned char byte) {
  iconv_t cd = iconv_open("UTF-8", "CP1251");
  if (cd == reinterpret_cast<iconv_t>(-1)) return "<no iconv>";
  char in[1] = {static_cast<char>(byte)};
  char out[8] = {};
  char* inPtr = in;
  char* outPtr = out;
  std::size_t inLeft = 1;
  std::size_t outLeft = sizeof out;
  const std::size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (r == static_cast<std::size_t>(-1)) return "<undefined>";
  return std::string(out, sizeof out - outLeft);
}

std::string AllBytes() {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  return all;
}

}  // namespace

TEST(Cp1251, EveryByteDecodesAsTheCLibraryDecodesIt) {
  for (int b = 0; b < 256; ++b) {
    if (b == 0x98) continue;
    EXPECT_EQ(Cp1251ToUtf8(std::string(1, static_cast<char>(b))), IconvDecode(static_cast<unsigned char>(b)))
        << "byte " << b;
  }
}

TEST(Cp1251, UndefinedByte98BecomesU0098AndSurvivesARoundTrip) {
  EXPECT_EQ(Cp1251ToUtf8("\x98"), "\xC2\x98");
  const Cp1251Encoding back = Utf8ToCp1251("\xC2\x98");
  ASSERT_TRUE(back.ok);
  EXPECT_EQ(back.bytes, "\x98");
}

TEST(Cp1251, AllBytesRoundTripIncludingNul) {
  const std::string all = AllBytes();
  const std::string utf8 = Cp1251ToUtf8(all);
  EXPECT_TRUE(IsValidUtf8(utf8));
  EXPECT_TRUE(IsCp1251Representable(utf8));
  const Cp1251Encoding back = Utf8ToCp1251(utf8);
  ASSERT_TRUE(back.ok);
  EXPECT_EQ(back.bytes, all);
}

TEST(Cp1251, RussianTextEncodesToItsCodePageBytes) {
  const Cp1251Encoding enc = Utf8ToCp1251("Сумма: Ёж №5 — «да» €");
  ASSERT_TRUE(enc.ok) << enc.Describe();
  EXPECT_EQ(enc.bytes, "\xD1\xF3\xEC\xEC\xE0: \xA8\xE6 \xB9" "5 \x97 \xAB\xE4\xE0\xBB \x88");
}

TEST(Cp1251, ACharacterTheCodePageCannotHoldIsNamedWithItsPosition) {
  const Cp1251Encoding enc = Utf8ToCp1251("Привет 中 мир");
  EXPECT_FALSE(enc.ok);
  EXPECT_FALSE(enc.invalidUtf8);
  EXPECT_EQ(enc.errorOffset, 13u);  // six two-byte letters and a space
  EXPECT_EQ(enc.errorChar, U'中');
  EXPECT_TRUE(enc.bytes.empty());
  EXPECT_EQ(enc.Describe(), "символ '中' (U+4E2D), которого нет в windows-1251");

  // C1 controls other than U+0098 have no byte: 0x80..0x9F are letters there.
  const Cp1251Encoding c1 = Utf8ToCp1251("a\xC2\x80");
  EXPECT_FALSE(c1.ok);
  EXPECT_EQ(c1.errorChar, 0x80u);
  EXPECT_EQ(c1.Describe(), "символ U+0080, которого нет в windows-1251");
  EXPECT_FALSE(Utf8ToCp1251("→").ok);
  EXPECT_FALSE(Utf8ToCp1251("😀").ok);
}

TEST(Cp1251, InvalidUtf8IsAFailureNotACrash) {
  struct Case {
    const char* text;
    std::size_t offset;
  };
  const Case cases[] = {
      {"ab\xFF", 2},               // never a UTF-8 byte
      {"a\xD0", 1},                // cut short at the end
      {"\xD0" "a", 0},             // lead byte without its continuation
      {"x\xC0\x80", 1},            // overlong NUL
      {"\xE0\x80\xAF", 0},         // overlong '/'
      {"\xED\xA0\x80", 0},         // a surrogate
      {"\xF4\x90\x80\x80", 0},     // above U+10FFFF
      {"ok\x80", 2},               // a lone continuation byte
  };
  for (const Case& c : cases) {
    const Cp1251Encoding enc = Utf8ToCp1251(c.text);
    EXPECT_FALSE(enc.ok) << c.text;
    EXPECT_TRUE(enc.invalidUtf8) << c.text;
    EXPECT_EQ(enc.errorOffset, c.offset) << c.text;
    EXPECT_FALSE(IsCp1251Representable(c.text)) << c.text;
    EXPECT_FALSE(IsValidUtf8(c.text)) << c.text;
  }
  EXPECT_EQ(Utf8ToCp1251("ab\xFF").Describe(), "байт 0xFF, не образующий текст UTF-8");
}

TEST(Cp1251, RepresentabilityForEditors) {
  EXPECT_TRUE(IsCp1251Representable(""));
  EXPECT_TRUE(IsCp1251Representable("plain ASCII ~"));
  EXPECT_TRUE(IsCp1251Representable("ЁёЎўІіЇїҐґ№€™"));
  EXPECT_FALSE(IsCp1251Representable("СК → РА"));
  EXPECT_FALSE(IsCp1251Representable("naïve"));  // ï is not in windows-1251
}

TEST(Cp1251, ValidUtf8ReportsWhetherAnyCharacterIsMultiByte) {
  bool multi = true;
  EXPECT_TRUE(IsValidUtf8("", &multi));
  EXPECT_FALSE(multi);
  EXPECT_TRUE(IsValidUtf8("plain", &multi));
  EXPECT_FALSE(multi);
  EXPECT_TRUE(IsValidUtf8("a Ж", &multi));
  EXPECT_TRUE(multi);
  EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x98\x80", &multi));
  EXPECT_TRUE(multi);
}

TEST(Cp1251, CharactersForMessages) {
  EXPECT_EQ(DescribeCharacter(U'Ж'), "'Ж' (U+0416)");
  EXPECT_EQ(DescribeCharacter(U'😀'), "'😀' (U+1F600)");
  EXPECT_EQ(DescribeCharacter(0), "U+0000");
  EXPECT_EQ(DescribeCharacter(0x7F), "U+007F");
}
