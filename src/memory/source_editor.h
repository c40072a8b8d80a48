// The code editor of the source windows: QScintilla with line numbers, our
// colouring, error markers with their messages under the lines, and the
// marker of the line whose word the machine takes next.
//
// Breakpoints have a margin of their own at the far left (red dots, like the
// memory window's marker column); the symbol margin after the line numbers
// holds the error and current-line markers. Both margins are
// mouse-sensitive and report clicks as lineClicked().
#pragma once

#include <Qsci/qsciscintilla.h>

#include <string>
#include <string_view>
#include <vector>

#include "asm/asm_error.h"
#include "memory/source_lexer.h"

namespace vesk {

class SourceEditor final : public QsciScintilla {
  Q_OBJECT

 public:
  enum Marker {
    kErrorMarker = 0,       // a line with an error
    kCurrentMarker = 1,     // the arrow at the line of the next command or micro-command
    kCurrentLine = 2,       // the same line's background
    kBreakpointMarker = 3,     // a breakpoint on the line's word: a red dot
    kAnchorMarker = 4,         // invisible: follows a line that made a word through edits
    kBreakpointOffMarker = 5,  // a disabled breakpoint: a red ring
  };
  static constexpr int kErrorIndicator = 8;

  explicit SourceEditor(SourceLanguage language, QWidget* parent = nullptr);

  // The whole text as UTF-8 bytes, NUL characters included.
  std::string utf8Text() const;
  // Replaces the text (no undo back past this point; not modified).
  void setUtf8Text(std::string_view text);

  // Marks the errors: a marker on each line, the messages under it, the
  // faulty piece underlined. Replaces the errors shown before.
  void showErrors(const std::vector<AsmError>& errors);
  void clearErrors();
  // Puts the cursor at a 1-based line and character column and shows it.
  void goTo(int line, int column);

  // Anchors follow the lines that made words (one per address given a
  // 1-based line, 0 for none) through later edits.
  void setAnchors(const std::vector<int>& lineOfAddress);
  void clearAnchors();
  // The 0-based line the anchor of an address is on now, or -1.
  int anchoredLine(int address) const;
  // The current-line marker on a 0-based line, or nowhere (-1). reveal
  // scrolls the line into view.
  void setCurrentLine(int line, bool reveal);
  int currentLine() const { return currentLine_; }

 signals:
  // A click in the marker margin, on a 0-based line.
  void lineClicked(int line);

 private:
  int positionOf(int line, int column) const;

  SourceLexer* lexer_;
  std::vector<int> anchors_;  // marker handles by address, -1 for none
  int currentLine_ = -1;
};

}  // namespace vesk
