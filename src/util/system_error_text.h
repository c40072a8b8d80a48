// What the operating system's error numbers mean, in Russian, for the
// messages a user reads ("Нет такого файла или каталога" for ENOENT). The
// system's own texts are English whatever the user's language.
#pragma once

#include <string>

namespace vesk {

// The Russian text of an errno value; for a number without one, the
// system's text with its number ("ошибка 123: ...").
std::string SystemErrorText(int err);

}  // namespace vesk
