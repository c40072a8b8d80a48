// Qt's own texts in Russian: the buttons of the message boxes, the file
// dialogs, the line editors' context menus and the child windows' menus and
// title-bar hints, from Qt's translations (Debian: qt6-translations-l10n).
#pragma once

class QCoreApplication;

namespace vesk {

// Installs Qt's Russian translation into the application; false when it is
// not to be found (the texts then stay Qt's English ones).
bool InstallRussianQtTexts(QCoreApplication& app);

}  // namespace vesk
