// The breakpoints of a source window's lines: a red dot in the editor's
// breakpoint margin on every line whose word's address holds a breakpoint of
// the window's kind (a ring when it is disabled), and the toggle of a line's
// breakpoint by a click in the margins or by a key on the cursor's line.
//
// Lines map to addresses through the editor's anchors, laid when the text is
// assembled (or made by "Из памяти"). The dots follow their lines through
// edits as the anchors do, but an edit makes the map stale: until the text is
// assembled again a toggle is refused with a note, since an edited line may
// no longer make the word memory holds. A line that made no word (a comment,
// a label alone, a directive) holds no breakpoint: a toggle there only says
// so. The breakpoints stay in the machine's Breakpoints, so the memory
// window, the breakpoints window and the editor always agree.
#pragma once

#include <QObject>
#include <QString>

#include "debug/breakpoints.h"

namespace vesk {

class SourceEditor;

class SourceBreakpoints final : public QObject, private BreakpointsListener {
  Q_OBJECT

 public:
  SourceBreakpoints(SourceEditor& editor, Breakpoints& breakpoints, BreakKind kind, QObject* parent = nullptr);
  ~SourceBreakpoints() override;

  // The editor's anchors were laid anew for the text as it stands (fresh)
  // or removed with the text.
  void anchorsLaid(bool fresh);
  bool mapFresh() const { return fresh_; }
  // The address whose word a 0-based line made, or -1.
  int addressOfLine(int line) const;
  // Sets the breakpoint of the word the 0-based line made, or removes it;
  // false (with a note) when the line has no word or the map is stale.
  bool toggleAtLine(int line);

 signals:
  // What a refused toggle says, for the window's status row.
  void noted(const QString& text);

 private:
  void breakpointChanged(BreakKind kind, int address) override;
  void redraw();

  SourceEditor& editor_;
  Breakpoints& breakpoints_;
  BreakKind kind_;
  bool fresh_ = false;
  bool anchored_ = false;  // the text was assembled at least once
};

}  // namespace vesk
