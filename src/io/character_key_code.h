// The key that types a character, as the keyboard device queues it: the
// platform key code of the key, not the character's own code. A letter is
// its key whatever the case (a and A are both 41); a digit is its key, and
// so is the shifted character on a digit key (! is the 1 key); punctuation
// is the US layout's key for it (; and : are both BA); a Cyrillic letter is
// the key it lies on in the Russian layout (Ф is the A key). Space and Enter
// (CR or LF) are their keys.
#pragma once

namespace vesk {

// 0 when no key of the keyboard types the character (a Unicode code point).
int CharacterKeyCode(char32_t c);

}  // namespace vesk
