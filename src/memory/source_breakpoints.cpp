#include "memory/source_breakpoints.h"

#include "memory/source_editor.h"

namespace vesk {

SourceBreakpoints::SourceBreakpoints(SourceEditor& editor, Breakpoints& breakpoints, BreakKind kind, QObject* parent)
    : QObject(parent), editor_(editor), breakpoints_(breakpoints), kind_(kind) {
  breakpoints_.listeners().add(this);
  // Any edit of the text: the lines may no longer make the words.
  connect(&editor_, &QsciScintilla::textChanged, this, [this] { fresh_ = false; });
  connect(&editor_, &SourceEditor::lineClicked, this, &SourceBreakpoints::toggleAtLine);
}

SourceBreakpoints::~SourceBreakpoints() { breakpoints_.listeners().remove(this); }

void SourceBreakpoints::anchorsLaid(bool fresh) {
  fresh_ = fresh;
  anchored_ = fresh;
  redraw();
}

int SourceBreakpoints::addressOfLine(int line) const {
  if (line < 0) return -1;
  for (int a = 0; a < Breakpoints::Size(kind_); ++a)
    if (editor_.anchoredLine(a) == line) return a;
  return -1;
}

bool SourceBreakpoints::toggleAtLine(int line) {
  if (!anchored_) {
    emit noted(QStringLiteral("Точки останова ставятся на строки ассемблированного текста: нажмите "
                              "«Ассемблировать» (F9)"));
    return false;
  }
  if (!fresh_) {
    emit noted(QStringLiteral("Текст изменён после ассемблирования: ассемблируйте его снова (F9), "
                              "чтобы ставить точки останова"));
    return false;
  }
  const int address = addressOfLine(line);
  if (address < 0) {
    emit noted(QStringLiteral("Строка %1 не дала слова: точку останова на ней не поставить").arg(line + 1));
    return false;
  }
  const bool set = breakpoints_.Toggle(kind_, address);
  const QString where = QString::fromStdString(Breakpoints::AddressText(kind_, address));
  emit noted(set ? QStringLiteral("Точка останова на адресе %1 поставлена").arg(where)
                 : QStringLiteral("Точка останова на адресе %1 снята").arg(where));
  return true;
}

void SourceBreakpoints::breakpointChanged(BreakKind kind, int) {
  if (kind == kind_) redraw();
}

void SourceBreakpoints::redraw() {
  editor_.markerDeleteAll(SourceEditor::kBreakpointMarker);
  editor_.markerDeleteAll(SourceEditor::kBreakpointOffMarker);
  for (const Breakpoint& b : breakpoints_.All()) {
    if (b.kind != kind_) continue;
    const int line = editor_.anchoredLine(b.address);
    if (line >= 0)
      editor_.markerAdd(line, b.enabled ? SourceEditor::kBreakpointMarker : SourceEditor::kBreakpointOffMarker);
  }
}

}  // namespace vesk
