// frmMicroMem's context-menu commands: load the default micro-program, load
// and save with the file dialogs.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "widgets/dialogs.h"
#include "widgets/file_folders.h"
#include "widgets/file_result_box.h"
#include "util/ini_file.h"
#include "memory/frm_micro_mem.h"
#include "memory/micro_program_file.h"

namespace vesk {

namespace {

const QString kLoadTitle = QStringLiteral("Загрузить микропрограмму...");
const QString kSaveTitle = QStringLiteral("Сохранить микропрограмму...");
const QString kFilter =
    QStringLiteral("Дамп микропрограммы Vesk (*.mpdmp);;Текстовые файлы (*.txt);;Все файлы (*.*)");

std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

bool frmMicroMem::loadFile(const QString& path, const QString& title) {
  const FileResult result = LoadMicroProgram(memory_, LocalPath(path));
  ShowFileResult(dialogs(), this, title, QStringLiteral("Микропрограмма не загружена."), result);
  return result.ok;
}

bool frmMicroMem::LoadDefault() {
  const QString setting =
      QString::fromStdString(ReadIni(settingsFile(), "General", "Microprogram", "")).trimmed();
  if (setting.isEmpty()) return false;
  const QString path = QFileInfo(setting).isAbsolute() ? setting : QDir(programDirectory()).filePath(setting);
  if (!QFileInfo(path).isFile()) return false;
  return loadFile(path, QStringLiteral("Загрузить микропрограмму по-умолчанию"));
}

bool frmMicroMem::LoadWithDialog() {
  const QString path =
      dialogs().openFile(this, kLoadTitle, kFilter, StartFolder(fileFolders(), FileFolders::Kind::MicroProgram));
  if (path.isEmpty()) return false;
  RememberFolder(fileFolders(), FileFolders::Kind::MicroProgram, path);
  if (!QFileInfo(path).isFile()) return false;
  return loadFile(path, kLoadTitle);
}

bool frmMicroMem::SaveWithDialog() {
  const QString path =
      dialogs().saveFile(this, kSaveTitle, kFilter, StartFolder(fileFolders(), FileFolders::Kind::MicroProgram));
  if (path.isEmpty()) return false;
  RememberFolder(fileFolders(), FileFolders::Kind::MicroProgram, path);
  if (QFileInfo::exists(path)) {
    const QString question = path + "\n" + QStringLiteral("Такой файл уже существует!") + "\n" + QStringLiteral("Перезаписать?");
    if (!dialogs().askYesNo(this, QStringLiteral("Сохранение микропрограммы..."), question, Dialogs::Icon::Warning))
      return false;
  }
  const FileResult result = SaveMicroProgram(memory_, LocalPath(path));
  ShowFileResult(dialogs(), this, kSaveTitle, QStringLiteral("Микропрограмма не сохранена."), result);
  return result.ok;
}

}  // namespace vesk
