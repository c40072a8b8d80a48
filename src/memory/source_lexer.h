// The colouring of the source editors: a QScintilla lexer over the line
// highlighting of asm/source_highlight, one style per kind of piece.
#pragma once

#include <Qsci/qscilexercustom.h>

#include "asm/source_highlight.h"

namespace vesk {

enum class SourceLanguage { kProgram, kMicroProgram };

class SourceLexer final : public QsciLexerCustom {
  Q_OBJECT

 public:
  explicit SourceLexer(SourceLanguage language, QObject* parent = nullptr);

  const char* language() const override;
  QString description(int style) const override;
  QColor defaultColor(int style) const override;
  QFont defaultFont(int style) const override;
  QColor defaultPaper(int style) const override;
  // Styles whole lines from the one holding start to the one holding end.
  void styleText(int start, int end) override;

  static int StyleOf(HighlightKind kind) { return static_cast<int>(kind); }

 private:
  SourceLanguage language_;
};

}  // namespace vesk
