// The platform key code of a key press, as the keyboard device queues it:
// the code of the key, not of the character it types. A letter key gives its
// upper-case Latin letter whatever the shift state and the keyboard layout
// (the key of Cyrillic Ф is the A key: 65), digits and shifted digits give
// the digit, keys without a character give their own codes (F1 is 112, the
// left arrow 37), punctuation keys the codes of the US layout's keys.
#pragma once

#include <Qt>

class QKeyEvent;

namespace vesk {

// 0 when the key has no platform code (or one above 255).
int PlatformKeyCode(int qtKey, Qt::KeyboardModifiers modifiers);
int PlatformKeyCode(const QKeyEvent& event);

}  // namespace vesk
