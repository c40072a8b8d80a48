#include "memory/dump_dialogs.h"

#include <QFile>
#include <QFileInfo>

#include "widgets/dialogs.h"
#include "widgets/file_folders.h"
#include "widgets/file_result_box.h"
#include "memory/dump_file.h"
#include "memory/main_memory.h"

namespace vesk {

namespace {

const QString kFilter = QStringLiteral("Дамп Vesk (*.vdmp);;Все файлы (*.*)");
const QString kLoadTitle = QStringLiteral("Загрузить дамп...");
const QString kSaveTitle = QStringLiteral("Сохранить дамп...");

}  // namespace

bool ClearMemoryWithQuestion(MainMemory& memory, Dialogs& dialogs, QWidget* parent) {
  if (!dialogs.askYesNo(parent, QStringLiteral("Обнуление памяти..."),
                        QStringLiteral("Вы действительно хотите обнулить память?"), Dialogs::Icon::Question))
    return false;
  memory.Mem_Clear();
  return true;
}

bool LoadDumpWithDialog(MainMemory& memory, Dialogs& dialogs, QWidget* parent, FileFolders* folders) {
  const QString path = dialogs.openFile(parent, kLoadTitle, kFilter, StartFolder(folders, FileFolders::Kind::Dump));
  if (path.isEmpty()) return false;
  RememberFolder(folders, FileFolders::Kind::Dump, path);
  const FileResult result = Mem_LoadDump(memory, QFile::encodeName(path).toStdString());
  ShowFileResult(dialogs, parent, kLoadTitle, QStringLiteral("Дамп не загружен."), result);
  return result.ok;
}

bool SaveDumpWithDialog(const MainMemory& memory, Dialogs& dialogs, QWidget* parent, FileFolders* folders) {
  const QString path = dialogs.saveFile(parent, kSaveTitle, kFilter, StartFolder(folders, FileFolders::Kind::Dump));
  if (path.isEmpty()) return false;
  RememberFolder(folders, FileFolders::Kind::Dump, path);
  if (QFileInfo::exists(path)) {
    const QString question = QStringLiteral("Такой файл уже существует!") + "\n" + QStringLiteral("Перезаписать?");
    if (!dialogs.askYesNo(parent, QStringLiteral("Сохранение дампа..."), question, Dialogs::Icon::Warning)) return false;
  }
  const FileResult result = Mem_SaveDump(memory, QFile::encodeName(path).toStdString());
  ShowFileResult(dialogs, parent, kSaveTitle, QStringLiteral("Дамп не сохранён."), result);
  return result.ok;
}

}  // namespace vesk
