// What the two source windows ("Программа", "Микропрограмма (текст)") share:
// the editor, the error list, the file commands (new, open, save, save as,
// with the unsaved-changes and overwrite questions), "Ассемблировать" with
// its clear-first check box, "Из памяти", "Листинг", search, and the marker
// of the line whose word the machine takes next.
#pragma once

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QTableView>
#include <optional>
#include <string>
#include <utility>
#include <string_view>
#include <vector>

#include "asm/program_source.h"
#include "core/processor.h"
#include "debug/breakpoints.h"
#include "memory/source_lexer.h"
#include "widgets/deferred_refresh.h"
#include "widgets/file_folders.h"
#include "widgets/machine_window.h"

class QMenu;
class QMenuBar;
class QToolBar;

namespace vesk {

class AsmErrorsModel;
class Breakpoints;
class ListingDialog;
class SourceBreakpoints;
class SourceEditor;
class SourceSearchBar;

class SourceWindow : public MachineWindow, private ProcessorListener {
  Q_OBJECT

 public:
  // The texts that differ between the two windows.
  struct Texts {
    QString caption;        // "Программа"
    QString filter;         // "Программа Vesk (*.vasm);;Все файлы (*.*)"
    QString extension;      // "vasm"
    QString saveTitle;      // the title of the overwrite question
    QString clearBox;       // "Очистить память"
    QString unsaved;        // the unsaved-changes question
    FileFolders::Kind folders;  // whose folder the file dialogs start in and remember
  };

  SourceWindow(Texts texts, SourceLanguage language, Processor& cpu, Reg watched, std::string settingsFile,
               std::string layoutName, Dialogs* dialogs, QWidget* parent);
  ~SourceWindow() override;

  // Commands. The file commands return false when nothing was done (the
  // user said no or cancelled, or the file failed; the failure was shown).
  void New();
  bool Open();
  bool OpenFile(const QString& path);
  bool Save();
  bool SaveAs();
  // Writes the words into memory when the text has no errors, otherwise
  // lists them; true when the words were written.
  bool Assemble();
  void FromMemory();
  void ShowListing();
  // Asks before edits are lost; true to go on.
  bool ConfirmDiscard();
  // Breakpoints of this kind on the lines that made words (none until this
  // is called): markers in the editor's margin, a click there or
  // "Точка останова" (Shift+F9) on the cursor's line toggles one.
  void setBreakpoints(Breakpoints& breakpoints, BreakKind kind);
  // "Точка останова": toggles the breakpoint of the cursor's line.
  bool ToggleBreakpoint();
  SourceBreakpoints* breakpointMarks() const { return breakpoints_; }

  SourceEditor* editor() const { return editor_; }
  QTableView* errorList() const { return errorView_; }
  AsmErrorsModel* errors() const { return errorsModel_; }
  QCheckBox* clearFirstBox() const { return clearFirst_; }
  ListingDialog* listingDialog() const { return listing_; }
  SourceSearchBar* searchBar() const { return search_; }
  QAction* command(const char* objectName) const;
  const QString& filePath() const { return path_; }
  bool isModified() const;
  QString note() const { return note_->text(); }
  QString cursorText() const { return position_->text(); }
  // While the machine runs at full speed the marker moves on the beat.
  DeferredRefresh& deferredRefresh() { return refresh_; }

 protected:
  // The language's side of the commands.
  virtual SourceOutcome assembleText(std::string_view text, bool clearFirst) = 0;
  virtual SourceOutcome checkText(std::string_view text) const = 0;
  virtual std::string memoryText() = 0;
  virtual std::string listingText(std::string_view text) = 0;
  // What memory holds at an address now (for the line marker).
  virtual std::uint16_t memoryWord(int address) const = 0;
  // After words were written: the program window sets the start address.
  virtual void assembled(const SourceOutcome&) {}
  // What the success note says.
  virtual QString assembledNote(const SourceOutcome& outcome, int words) const = 0;
  // The address of the next command or micro-command.
  virtual int nextAddress() const = 0;

  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

  Processor& cpu_;

 private:
  void registerChanged(Reg r) override;
  void runStateTextChanged(std::string_view) override;
  void scheduleMarker();
  void updateMarker();
  bool writeFile(const QString& path);
  void setPath(const QString& path);
  void updateTitle();
  void setNote(const QString& text);
  // The anchors were laid for the text as it stands, or removed with it.
  void anchorsLaid(bool fresh);
  // The commands, menus and toolbar (source_window_commands.cpp).
  QAction* addCommand(const char* name, const QString& text, const QKeySequence& key);
  std::pair<QMenuBar*, QToolBar*> buildCommands();
  QMenu* buildEditMenu(QMenuBar* menus);

  Texts texts_;
  Reg watched_;
  SourceEditor* editor_;
  AsmErrorsModel* errorsModel_;
  QTableView* errorView_;
  QCheckBox* clearFirst_;
  QLabel* position_;
  QLabel* note_;
  SourceSearchBar* search_;
  ListingDialog* listing_ = nullptr;
  SourceBreakpoints* breakpoints_ = nullptr;
  std::vector<QAction*> commands_;
  QString path_;
  // The words of the last assembly, by address (-1: none), to tell whether
  // memory still holds them.
  std::vector<int> assembledWords_;
  bool searchNoted_ = false;  // the status row shows what a search said
  bool markerPending_ = false;
  bool markerMarked_ = false;  // the counter changed while deferred
  DeferredRefresh refresh_{[this] {
    if (!markerMarked_) return;
    markerMarked_ = false;
    updateMarker();
  }};
};

}  // namespace vesk
