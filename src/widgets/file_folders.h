// Where the file dialogs start. Each kind of file remembers the folder of the
// last file the user chose for it, in cfg.ini (section "Folders", keys
// "Dumps", "Microprograms", "States", "Traces"); until then a dialog of
// dumps, micro-programs or machine states starts in the shipped examples
// folder, one of trace exports
// in the user's home folder. A remembered folder that is gone, or a path the
// settings file cannot hold, falls back to the first folder.
#pragma once

#include <QString>
#include <string>

namespace vesk {

class FileFolders {
 public:
  enum class Kind { Dump, MicroProgram, MachineState, TraceExport };

  // examplesFolder: empty when the program has none (then the home folder).
  FileFolders(std::string settingsFile, QString examplesFolder);

  // The folder a dialog for `kind` opens in; an existing folder, or empty.
  QString startFolder(Kind kind) const;
  // The user chose `file` (to open or save) in a dialog for `kind`.
  void remember(Kind kind, const QString& file);

  static const char* KeyOf(Kind kind);

 private:
  QString firstFolder(Kind kind) const;

  std::string settingsFile_;
  QString examples_;
};

// The start folder of a dialog for `kind`, or empty without folders.
QString StartFolder(const FileFolders* folders, FileFolders::Kind kind);
// Remembers `file` when there are folders and a file was chosen.
void RememberFolder(FileFolders* folders, FileFolders::Kind kind, const QString& file);

}  // namespace vesk
