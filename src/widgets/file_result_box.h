// Tells the user how a file load or save went: a warning box with the reason
// when it failed (nothing was changed), an information box listing what a
// successful load did not take as the file said, and nothing otherwise.
#pragma once

#include <QString>

#include "util/file_result.h"

class QWidget;

namespace vesk {

class Dialogs;

// failedText: the first line of the failure box ("Дамп не загружен.").
void ShowFileResult(Dialogs& dialogs, QWidget* parent, const QString& title, const QString& failedText,
                    const FileResult& result);

}  // namespace vesk
