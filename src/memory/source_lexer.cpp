#include "memory/source_lexer.h"

#include <Qsci/qsciscintilla.h>

#include <QFontDatabase>

namespace vesk {

namespace {
constexpr int kStyles = static_cast<int>(HighlightKind::kOperator) + 1;
}

SourceLexer::SourceLexer(SourceLanguage language, QObject* parent) : QsciLexerCustom(parent), language_(language) {}

const char* SourceLexer::language() const {
  return language_ == SourceLanguage::kProgram ? "Vesk program" : "Vesk micro-program";
}

QString SourceLexer::description(int style) const {
  static const char* const kNames[kStyles] = {"Текст",   "Пометка",  "Комментарий", "Метка",   "Команда",
                                              "Директива", "Число", "Регистр",     "Ключевое слово", "Знак"};
  return style >= 0 && style < kStyles ? QString::fromUtf8(kNames[style]) : QString();
}

QColor SourceLexer::defaultColor(int style) const {
  switch (static_cast<HighlightKind>(style)) {
    case HighlightKind::kRemark: return QColor(0x70, 0x80, 0x70);
    case HighlightKind::kComment: return QColor(0x1E, 0x7B, 0x34);
    case HighlightKind::kLabel: return QColor(0x8B, 0x45, 0x13);
    case HighlightKind::kMnemonic: return QColor(0x00, 0x33, 0xB3);
    case HighlightKind::kDirective: return QColor(0x80, 0x00, 0x80);
    case HighlightKind::kNumber: return QColor(0xB0, 0x30, 0x00);
    case HighlightKind::kRegister: return QColor(0x00, 0x5F, 0x87);
    case HighlightKind::kKeyword: return QColor(0x00, 0x33, 0xB3);
    case HighlightKind::kOperator: return QColor(0x50, 0x50, 0x50);
    case HighlightKind::kPlain: break;
  }
  return QColor(Qt::black);
}

QColor SourceLexer::defaultPaper(int) const { return QColor(Qt::white); }

QFont SourceLexer::defaultFont(int style) const {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  const auto kind = static_cast<HighlightKind>(style);
  font.setBold(kind == HighlightKind::kMnemonic || kind == HighlightKind::kKeyword ||
               kind == HighlightKind::kDirective);
  font.setItalic(kind == HighlightKind::kRemark);
  return font;
}

void SourceLexer::styleText(int start, int end) {
  QsciScintilla* e = editor();
  if (e == nullptr || end <= start) return;
  const long first = e->SendScintilla(QsciScintilla::SCI_LINEFROMPOSITION, static_cast<unsigned long>(start));
  const long last = e->SendScintilla(QsciScintilla::SCI_LINEFROMPOSITION, static_cast<unsigned long>(end));
  const long lineStart = e->SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, static_cast<unsigned long>(first));
  startStyling(static_cast<int>(lineStart));
  QByteArray bytes;
  for (long line = first; line <= last; ++line) {
    const long from = e->SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    const long to = e->SendScintilla(QsciScintilla::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
    const long next = line + 1 < e->lines()
                          ? e->SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line + 1))
                          : to;
    bytes = e->bytes(static_cast<int>(from), static_cast<int>(to));
    // bytes() ends with a NUL of its own.
    const std::string_view text(bytes.constData(), static_cast<std::size_t>(to - from));
    const std::vector<HighlightSpan> spans =
        language_ == SourceLanguage::kProgram ? HighlightProgramLine(text) : HighlightMicroLine(text);
    std::size_t at = 0;
    for (const HighlightSpan& s : spans) {
      if (s.begin > at) setStyling(static_cast<int>(s.begin - at), StyleOf(HighlightKind::kPlain));
      setStyling(static_cast<int>(s.length), StyleOf(s.kind));
      at = s.begin + s.length;
    }
    const long rest = next - from - static_cast<long>(at);  // the rest of the line and its end
    if (rest > 0) setStyling(static_cast<int>(rest), StyleOf(HighlightKind::kPlain));
  }
}

}  // namespace vesk
