#include "memory/source_editor.h"

#include <QFontDatabase>

#include "asm/asm_messages.h"

namespace vesk {

namespace {
constexpr int kBreakpointMargin = 0;
constexpr int kLineNumberMargin = 1;
constexpr int kSymbolMargin = 2;
constexpr int kAnnotationStyle = 40;  // beyond the lexer's styles
}  // namespace

SourceEditor::SourceEditor(SourceLanguage language, QWidget* parent)
    : QsciScintilla(parent), lexer_(new SourceLexer(language, this)) {
  setUtf8(true);
  setLexer(lexer_);
  setEolMode(EolUnix);
  setIndentationsUseTabs(false);
  setTabWidth(8);
  setCaretLineVisible(true);
  setCaretLineBackgroundColor(QColor(0xF2, 0xF6, 0xFF));
  setWrapMode(WrapNone);

  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  setMarginsFont(fixed);
  setMarginType(kBreakpointMargin, SymbolMargin);
  setMarginWidth(kBreakpointMargin, 16);
  setMarginSensitivity(kBreakpointMargin, true);
  setMarginMarkerMask(kBreakpointMargin, (1 << kBreakpointMarker) | (1 << kBreakpointOffMarker));
  setMarginType(kLineNumberMargin, NumberMargin);
  setMarginLineNumbers(kLineNumberMargin, true);
  // Scintilla draws markers in a number margin too, unless told not to.
  setMarginMarkerMask(kLineNumberMargin, 0);
  setMarginWidth(kLineNumberMargin, QStringLiteral("00000"));
  setMarginType(kSymbolMargin, SymbolMargin);
  setMarginWidth(kSymbolMargin, 18);
  setMarginSensitivity(kSymbolMargin, true);
  setMarginMarkerMask(kSymbolMargin, (1 << kErrorMarker) | (1 << kCurrentMarker));
  connect(this, &QsciScintilla::marginClicked, this, [this](int margin, int line, Qt::KeyboardModifiers) {
    if (margin == kSymbolMargin || margin == kBreakpointMargin) emit lineClicked(line);
  });

  markerDefine(Circle, kErrorMarker);
  setMarkerBackgroundColor(QColor(0xD0, 0x20, 0x20), kErrorMarker);
  setMarkerForegroundColor(QColor(0x80, 0x00, 0x00), kErrorMarker);
  markerDefine(RightArrow, kCurrentMarker);
  setMarkerBackgroundColor(QColor(0xFF, 0xC0, 0x00), kCurrentMarker);
  setMarkerForegroundColor(QColor(0x80, 0x60, 0x00), kCurrentMarker);
  markerDefine(Background, kCurrentLine);
  setMarkerBackgroundColor(QColor(0xFF, 0xF0, 0xA0), kCurrentLine);
  // The memory window's colours: filled when on, a ring when disabled.
  const QColor red(200, 30, 30);
  markerDefine(Circle, kBreakpointMarker);
  setMarkerForegroundColor(red, kBreakpointMarker);
  setMarkerBackgroundColor(red, kBreakpointMarker);
  markerDefine(Circle, kBreakpointOffMarker);
  setMarkerForegroundColor(red, kBreakpointOffMarker);
  setMarkerBackgroundColor(QColor(Qt::white), kBreakpointOffMarker);
  markerDefine(Invisible, kAnchorMarker);

  indicatorDefine(SquiggleIndicator, kErrorIndicator);
  setIndicatorForegroundColor(QColor(0xD0, 0x20, 0x20), kErrorIndicator);
  setAnnotationDisplay(AnnotationBoxed);
  SendScintilla(SCI_STYLESETFORE, kAnnotationStyle, QColor(0x90, 0x10, 0x10));
  SendScintilla(SCI_STYLESETBACK, kAnnotationStyle, QColor(0xFF, 0xEC, 0xEC));
}

std::string SourceEditor::utf8Text() const {
  const long length = SendScintilla(SCI_GETTEXTLENGTH);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  SendScintilla(SCI_GETTEXT, static_cast<unsigned long>(length + 1), static_cast<void*>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

void SourceEditor::setUtf8Text(std::string_view text) {
  clearErrors();
  clearAnchors();
  setCurrentLine(-1, false);
  SendScintilla(SCI_CLEARALL);
  SendScintilla(SCI_APPENDTEXT, static_cast<uintptr_t>(text.size()), text.data());
  SendScintilla(SCI_EMPTYUNDOBUFFER);
  SendScintilla(SCI_SETSAVEPOINT);
  SendScintilla(SCI_GOTOPOS, 0UL);
}

int SourceEditor::positionOf(int line, int column) const {
  const long start = SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(std::max(line - 1, 0)));
  const long end = SendScintilla(SCI_GETLINEENDPOSITION, static_cast<unsigned long>(std::max(line - 1, 0)));
  long pos = SendScintilla(SCI_POSITIONRELATIVE, static_cast<unsigned long>(start), static_cast<long>(column - 1));
  if (pos == 0 && column > 1) pos = end;  // past the line: its end
  return static_cast<int>(std::min(pos, end));
}

void SourceEditor::showErrors(const std::vector<AsmError>& errors) {
  clearErrors();
  std::vector<QString> notes(static_cast<std::size_t>(std::max(lines(), 1)));
  for (const AsmError& e : errors) {
    const int line = e.line - 1;
    if (line < 0 || line >= lines()) continue;
    markerAdd(line, kErrorMarker);
    QString& note = notes[static_cast<std::size_t>(line)];
    if (!note.isEmpty()) note += "\n";
    note += QString::fromStdString(AsmErrorMessage(e));
    // The faulty piece: from the column to the next blank; at the end of
    // the line, the character before it.
    long from = positionOf(e.line, e.column);
    const long begin = SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    const long end = SendScintilla(SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
    long to = from;
    while (to < end) {
      const char c = static_cast<char>(SendScintilla(SCI_GETCHARAT, static_cast<unsigned long>(to)));
      if (c == ' ' || c == '\t') break;
      ++to;
    }
    if (to == from) {
      if (from < end) ++to;
      else if (from > begin) --from;
    }
    if (to > from) {
      SendScintilla(SCI_SETINDICATORCURRENT, static_cast<unsigned long>(kErrorIndicator));
      SendScintilla(SCI_INDICATORFILLRANGE, static_cast<unsigned long>(from), to - from);
    }
  }
  for (std::size_t line = 0; line < notes.size(); ++line)
    if (!notes[line].isEmpty()) annotate(static_cast<int>(line), notes[line], kAnnotationStyle);
}

void SourceEditor::clearErrors() {
  markerDeleteAll(kErrorMarker);
  clearAnnotations();
  SendScintilla(SCI_SETINDICATORCURRENT, static_cast<unsigned long>(kErrorIndicator));
  SendScintilla(SCI_INDICATORCLEARRANGE, 0UL, SendScintilla(SCI_GETTEXTLENGTH));
}

void SourceEditor::goTo(int line, int column) {
  const int pos = positionOf(line, column);
  SendScintilla(SCI_GOTOPOS, static_cast<unsigned long>(pos));
  ensureLineVisible(line - 1);
  setFocus();
}

void SourceEditor::setAnchors(const std::vector<int>& lineOfAddress) {
  clearAnchors();
  anchors_.assign(lineOfAddress.size(), -1);
  for (std::size_t a = 0; a < lineOfAddress.size(); ++a)
    if (lineOfAddress[a] > 0 && lineOfAddress[a] <= lines()) anchors_[a] = markerAdd(lineOfAddress[a] - 1, kAnchorMarker);
}

void SourceEditor::clearAnchors() {
  markerDeleteAll(kAnchorMarker);
  anchors_.clear();
}

int SourceEditor::anchoredLine(int address) const {
  if (address < 0 || static_cast<std::size_t>(address) >= anchors_.size() || anchors_[static_cast<std::size_t>(address)] < 0)
    return -1;
  return markerLine(anchors_[static_cast<std::size_t>(address)]);
}

void SourceEditor::setCurrentLine(int line, bool reveal) {
  if (line != currentLine_) {
    markerDeleteAll(kCurrentMarker);
    markerDeleteAll(kCurrentLine);
    if (line >= 0 && line < lines()) {
      markerAdd(line, kCurrentMarker);
      markerAdd(line, kCurrentLine);
    } else {
      line = -1;
    }
    currentLine_ = line;
  }
  if (reveal && currentLine_ >= 0) ensureLineVisible(currentLine_);
}

}  // namespace vesk
