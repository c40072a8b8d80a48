#include "memory/source_search_bar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>
#include <algorithm>
#include <string>

#include "memory/source_editor.h"

namespace vesk {

namespace {
QToolButton* Button(const QString& text, const QString& hint, QWidget* parent) {
  auto* b = new QToolButton(parent);
  b->setText(text);
  b->setToolTip(hint);
  b->setAutoRaise(true);
  return b;
}
}  // namespace

SourceSearchBar::SourceSearchBar(SourceEditor* editor, QWidget* parent)
    : QWidget(parent),
      editor_(editor),
      find_(new QLineEdit(this)),
      case_(new QCheckBox(QStringLiteral("С учётом регистра"), this)),
      line_(new QSpinBox(this)) {
  setObjectName(QStringLiteral("searchBar"));
  find_->setObjectName(QStringLiteral("findText"));
  find_->setClearButtonEnabled(true);
  find_->setMinimumWidth(160);
  find_->setToolTip(QStringLiteral("Enter: искать далее, Shift+Enter: искать назад"));
  line_->setObjectName(QStringLiteral("lineNumber"));
  line_->setRange(1, 1);
  line_->setMinimumWidth(line_->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 28);
  line_->setToolTip(QStringLiteral("Номер строки; Enter: перейти"));
  QToolButton* next = Button(QStringLiteral("Далее"), QStringLiteral("Найти далее (F3)"), this);
  QToolButton* previous = Button(QStringLiteral("Назад"), QStringLiteral("Найти назад (Shift+F3)"), this);
  QToolButton* go = Button(QStringLiteral("Перейти"), QStringLiteral("Перейти к строке (Ctrl+G)"), this);
  QToolButton* close = Button(QStringLiteral("✕"), QStringLiteral("Скрыть (Esc)"), this);
  connect(next, &QToolButton::clicked, this, &SourceSearchBar::findNext);
  connect(previous, &QToolButton::clicked, this, &SourceSearchBar::findPrevious);
  connect(go, &QToolButton::clicked, this, &SourceSearchBar::goToLine);
  connect(close, &QToolButton::clicked, this, [this] {
    hide();
    editor_->setFocus();
  });
  connect(find_, &QLineEdit::textEdited, this, [this] { setNote(QString()); });

  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(4);
  row->addWidget(new QLabel(QStringLiteral("Найти:"), this));
  row->addWidget(find_, 1);
  row->addWidget(case_);
  row->addWidget(next);
  row->addWidget(previous);
  row->addSpacing(12);
  row->addWidget(new QLabel(QStringLiteral("Строка:"), this));
  row->addWidget(line_);
  row->addWidget(go);
  row->addStretch(1);
  row->addWidget(close);
  find_->installEventFilter(this);
  line_->installEventFilter(this);
  hide();
}

void SourceSearchBar::setNote(const QString& text) {
  note_ = text;
  emit noted(text);
}

void SourceSearchBar::showFind() {
  int lineFrom = 0, indexFrom = 0, lineTo = 0, indexTo = 0;
  editor_->getSelection(&lineFrom, &indexFrom, &lineTo, &indexTo);
  if (lineFrom >= 0 && lineFrom == lineTo && indexFrom != indexTo) find_->setText(editor_->selectedText());
  setNote(QString());
  show();
  find_->setFocus();
  find_->selectAll();
}

void SourceSearchBar::showGoToLine() {
  int line = 0, index = 0;
  editor_->getCursorPosition(&line, &index);
  line_->setRange(1, std::max(editor_->lines(), 1));
  line_->setValue(line + 1);
  setNote(QString());
  show();
  line_->setFocus();
  line_->selectAll();
}

bool SourceSearchBar::findNext() { return find(true); }
bool SourceSearchBar::findPrevious() { return find(false); }

// Forwards from the selection's end, backwards from its start, so that the
// occurrence found last is passed over. The search is Qt's, not the
// editor's: letter case is set aside for Cyrillic as well as Latin.
bool SourceSearchBar::find(bool forward) {
  const QString needle = find_->text();
  if (needle.isEmpty()) {
    showFind();
    return false;
  }
  const std::string bytes = editor_->utf8Text();
  const long from = editor_->SendScintilla(forward ? QsciScintilla::SCI_GETSELECTIONEND
                                                   : QsciScintilla::SCI_GETSELECTIONSTART);
  const QString text = QString::fromUtf8(bytes);
  const qsizetype start = QString::fromUtf8(bytes.data(), std::clamp<qsizetype>(from, 0, std::ssize(bytes))).size();
  const Qt::CaseSensitivity cs = case_->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
  qsizetype at = -1;
  if (forward) at = text.indexOf(needle, start, cs);
  else if (start >= needle.size()) at = text.lastIndexOf(needle, start - needle.size(), cs);  // ends by the start
  const bool wrapped = at < 0;
  if (wrapped) at = forward ? text.indexOf(needle, 0, cs) : text.lastIndexOf(needle, -1, cs);
  if (at < 0) {
    setNote(QStringLiteral("Не найдено: «%1»").arg(needle));
    return false;
  }
  const long begin = QStringView(text).left(at).toUtf8().size();
  const long end = begin + QStringView(text).mid(at, needle.size()).toUtf8().size();
  editor_->SendScintilla(QsciScintilla::SCI_SETSEL, static_cast<unsigned long>(begin), end);
  int line = 0, index = 0;
  editor_->lineIndexFromPosition(static_cast<int>(begin), &line, &index);
  editor_->ensureLineVisible(line);
  if (!wrapped) setNote(QString());
  else setNote(forward ? QStringLiteral("Поиск продолжен с начала текста") : QStringLiteral("Поиск продолжен с конца текста"));
  return true;
}

void SourceSearchBar::goToLine() {
  line_->interpretText();
  editor_->goTo(line_->value(), 1);
}

bool SourceSearchBar::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape) {
      hide();
      editor_->setFocus();
      return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      if (watched == line_) goToLine();
      else find(!(key->modifiers() & Qt::ShiftModifier));
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace vesk
