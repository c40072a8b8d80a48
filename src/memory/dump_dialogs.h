// The main window's memory commands with their questions and file dialogs:
// "Обнулить память", "Загрузить дамп", "Сохранить дамп". Each returns true
// when it changed memory or wrote the file; cancelling or answering No does
// nothing. Load and save problems are shown in a box, and a failure changes
// nothing.
#pragma once

class QWidget;

namespace vesk {

class Dialogs;
class FileFolders;
class MainMemory;

// folders: where the file dialogs start and what they remember; nullptr
// starts them in the current folder.
bool ClearMemoryWithQuestion(MainMemory& memory, Dialogs& dialogs, QWidget* parent);
bool LoadDumpWithDialog(MainMemory& memory, Dialogs& dialogs, QWidget* parent, FileFolders* folders = nullptr);
bool SaveDumpWithDialog(const MainMemory& memory, Dialogs& dialogs, QWidget* parent, FileFolders* folders = nullptr);

}  // namespace vesk
