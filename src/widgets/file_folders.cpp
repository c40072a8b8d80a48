#include "widgets/file_folders.h"

#include <QDir>
#include <QFileInfo>

#include "util/cp1251.h"
#include "util/ini_file.h"

namespace vesk {

namespace {

constexpr const char* kSection = "Folders";

bool IsFolder(const QString& path) { return !path.isEmpty() && QFileInfo(path).isDir(); }

}  // namespace

FileFolders::FileFolders(std::string settingsFile, QString examplesFolder)
    : settingsFile_(std::move(settingsFile)), examples_(std::move(examplesFolder)) {}

const char* FileFolders::KeyOf(Kind kind) {
  switch (kind) {
    case Kind::Dump:
      return "Dumps";
    case Kind::MicroProgram:
      return "Microprograms";
    case Kind::MachineState:
      return "States";
    case Kind::TraceExport:
      return "Traces";
  }
  return "Files";
}

QString FileFolders::firstFolder(Kind kind) const {
  if (kind != Kind::TraceExport && IsFolder(examples_)) return examples_;
  return QDir::homePath();
}

QString FileFolders::startFolder(Kind kind) const {
  const QString stored = QString::fromStdString(ReadIni(settingsFile_, kSection, KeyOf(kind), ""));
  if (IsFolder(stored)) return stored;
  const QString first = firstFolder(kind);
  return IsFolder(first) ? first : QString();
}

void FileFolders::remember(Kind kind, const QString& file) {
  if (file.isEmpty()) return;
  const QString folder = QFileInfo(file).absolutePath();
  // A folder the file cannot hold whole (a line break, more than the value
  // limit, a character windows-1251 lacks) is not kept; the next dialog
  // starts where the last kept one did.
  const std::string value = folder.toStdString();
  const Cp1251Encoding stored = Utf8ToCp1251(value);
  if (!stored.ok || stored.bytes.size() > kIniValueLimit || folder.contains('\n') || folder.contains('\r')) return;
  WriteIni(settingsFile_, kSection, KeyOf(kind), value);
}

QString StartFolder(const FileFolders* folders, FileFolders::Kind kind) {
  return folders != nullptr ? folders->startFolder(kind) : QString();
}

void RememberFolder(FileFolders* folders, FileFolders::Kind kind, const QString& file) {
  if (folders != nullptr && !file.isEmpty()) folders->remember(kind, file);
}

}  // namespace vesk
