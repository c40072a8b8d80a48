#include "io/character_key_code.h"

#include <array>

namespace vesk {

namespace {

// The key under each Cyrillic letter of the Russian layout (А..Я, U+0410..U+042F).
constexpr std::array<int, 32> kCyrillicKeys = {
    'F', 0xBC, 'D', 'U', 'L', 'T', 0xBA, 'P', 'B', 'Q', 'R', 'K', 'V', 'Y', 'J', 'G',
    'H', 'C', 'N', 'E', 'A', 0xDB, 'W', 'X', 'I', 'O', 0xDD, 'S', 'M', 0xDE, 0xBE, 'Z',
};

int Punctuation(char32_t c) {
  switch (c) {
    case '!': return '1';
    case '@': return '2';
    case '#': return '3';
    case '$': return '4';
    case '%': return '5';
    case '^': return '6';
    case '&': return '7';
    case '*': return '8';
    case '(': return '9';
    case ')': return '0';
    case ';': case ':': return 0xBA;
    case '=': case '+': return 0xBB;
    case ',': case '<': return 0xBC;
    case '-': case '_': return 0xBD;
    case '.': case '>': return 0xBE;
    case '/': case '?': return 0xBF;
    case '`': case '~': return 0xC0;
    case '[': case '{': return 0xDB;
    case '\\': case '|': return 0xDC;
    case ']': case '}': return 0xDD;
    case '\'': case '"': return 0xDE;
    default: return 0;
  }
}

}  // namespace

int CharacterKeyCode(char32_t c) {
  if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return static_cast<int>(c);
  if (c >= 'a' && c <= 'z') return static_cast<int>(c - 32);
  if (c == ' ') return 0x20;
  if (c == '\r' || c == '\n') return 0x0D;
  if (c == 0x0401 || c == 0x0451) return 0xC0;  // Ё, ё
  if (c >= 0x0430 && c <= 0x044F) c -= 0x20;
  if (c >= 0x0410 && c <= 0x042F) return kCyrillicKeys[static_cast<std::size_t>(c - 0x0410)];
  return Punctuation(c);
}

}  // namespace vesk
