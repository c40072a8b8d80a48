// The source windows' commands: their menus ("Файл", "Правка", "Текст"), the
// toolbar and the keys. The window's own keys are caught before the main
// window's (see eventFilter); the editing keys are the editor's own, and the
// "Правка" items only show them.
#include <QMenuBar>
#include <QToolBar>

#include "memory/source_editor.h"
#include "memory/source_search_bar.h"
#include "memory/source_window.h"

namespace vesk {

QAction* SourceWindow::addCommand(const char* name, const QString& text, const QKeySequence& key) {
  auto* a = new QAction(text, this);
  a->setObjectName(QString::fromLatin1(name));
  a->setShortcut(key);
  a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  addAction(a);
  commands_.push_back(a);
  return a;
}

QAction* SourceWindow::command(const char* objectName) const {
  for (QAction* a : commands_)
    if (a->objectName() == QLatin1String(objectName)) return a;
  return nullptr;
}

QMenu* SourceWindow::buildEditMenu(QMenuBar* menus) {
  QMenu* edit = menus->addMenu(QStringLiteral("Правка"));
  auto item = [this, edit](const char* name, const QString& text, QKeySequence::StandardKey key, auto slot) {
    QAction* a = edit->addAction(text, editor_, slot);
    a->setObjectName(QString::fromLatin1(name));
    a->setShortcut(key);
    a->setShortcutContext(Qt::WidgetShortcut);  // shown; the editor takes the key itself
    return a;
  };
  QAction* undo = item("actUndo", QStringLiteral("Отменить"), QKeySequence::Undo, &QsciScintilla::undo);
  QAction* redo = item("actRedo", QStringLiteral("Повторить"), QKeySequence::Redo, &QsciScintilla::redo);
  edit->addSeparator();
  QAction* cut = item("actCut", QStringLiteral("Вырезать"), QKeySequence::Cut, &QsciScintilla::cut);
  QAction* copy = item("actCopy", QStringLiteral("Копировать"), QKeySequence::Copy, &QsciScintilla::copy);
  item("actPaste", QStringLiteral("Вставить"), QKeySequence::Paste, &QsciScintilla::paste);
  item("actSelectAll", QStringLiteral("Выделить всё"), QKeySequence::SelectAll, [this] { editor_->selectAll(); });
  connect(edit, &QMenu::aboutToShow, this, [this, undo, redo, cut, copy] {
    undo->setEnabled(editor_->isUndoAvailable());
    redo->setEnabled(editor_->isRedoAvailable());
    cut->setEnabled(editor_->hasSelectedText());
    copy->setEnabled(editor_->hasSelectedText());
  });
  edit->addSeparator();
  QAction* find = addCommand("actFind", QStringLiteral("Найти..."), QKeySequence(QStringLiteral("Ctrl+F")));
  QAction* next = addCommand("actFindNext", QStringLiteral("Найти далее"), QKeySequence(Qt::Key_F3));
  QAction* previous = addCommand("actFindPrevious", QStringLiteral("Найти назад"), QKeySequence(QStringLiteral("Shift+F3")));
  QAction* line = addCommand("actGoToLine", QStringLiteral("Перейти к строке..."), QKeySequence(QStringLiteral("Ctrl+G")));
  connect(find, &QAction::triggered, search_, &SourceSearchBar::showFind);
  connect(next, &QAction::triggered, search_, &SourceSearchBar::findNext);
  connect(previous, &QAction::triggered, search_, &SourceSearchBar::findPrevious);
  connect(line, &QAction::triggered, search_, &SourceSearchBar::showGoToLine);
  edit->addActions({find, next, previous});
  edit->addSeparator();
  edit->addAction(line);
  return edit;
}

std::pair<QMenuBar*, QToolBar*> SourceWindow::buildCommands() {
  QAction* newText = addCommand("actNew", QStringLiteral("Новый"), QKeySequence(QStringLiteral("Ctrl+N")));
  QAction* open = addCommand("actOpen", QStringLiteral("Открыть..."), QKeySequence(QStringLiteral("Ctrl+O")));
  QAction* save = addCommand("actSave", QStringLiteral("Сохранить"), QKeySequence(QStringLiteral("Ctrl+S")));
  QAction* saveAs =
      addCommand("actSaveAs", QStringLiteral("Сохранить как..."), QKeySequence(QStringLiteral("Ctrl+Shift+S")));
  QAction* assemble = addCommand("actAssemble", QStringLiteral("Ассемблировать"), QKeySequence(Qt::Key_F9));
  QAction* fromMemory = addCommand("actFromMemory", QStringLiteral("Из памяти"), QKeySequence(QStringLiteral("Ctrl+F9")));
  QAction* listing = addCommand("actListing", QStringLiteral("Листинг..."), QKeySequence(QStringLiteral("Ctrl+L")));
  assemble->setToolTip(QStringLiteral("Ассемблировать (F9): записать слова текста в память"));
  fromMemory->setToolTip(QStringLiteral("Из памяти (Ctrl+F9): заменить текст содержимым памяти"));
  listing->setToolTip(QStringLiteral("Листинг (Ctrl+L): адрес, слово и строка текста"));
  QAction* breakpoint =
      addCommand("actToggleBreakpoint", QStringLiteral("Точка останова"), QKeySequence(QStringLiteral("Shift+F9")));
  breakpoint->setToolTip(
      QStringLiteral("Точка останова (Shift+F9 или щелчок на полях слева): поставить или снять её на слове строки "
                     "с курсором. Строки без слова (комментарии, одни метки, директивы) её не держат; после правки "
                     "текста ассемблируйте его снова"));
  breakpoint->setEnabled(false);  // until the window is given the machine's breakpoints
  connect(newText, &QAction::triggered, this, &SourceWindow::New);
  connect(open, &QAction::triggered, this, &SourceWindow::Open);
  connect(save, &QAction::triggered, this, &SourceWindow::Save);
  connect(saveAs, &QAction::triggered, this, &SourceWindow::SaveAs);
  connect(assemble, &QAction::triggered, this, &SourceWindow::Assemble);
  connect(fromMemory, &QAction::triggered, this, &SourceWindow::FromMemory);
  connect(listing, &QAction::triggered, this, &SourceWindow::ShowListing);
  connect(breakpoint, &QAction::triggered, this, &SourceWindow::ToggleBreakpoint);

  auto* menus = new QMenuBar(this);
  QMenu* file = menus->addMenu(QStringLiteral("Файл"));
  file->addActions({newText, open});
  file->addSeparator();
  file->addActions({save, saveAs});
  buildEditMenu(menus);
  QMenu* text = menus->addMenu(QStringLiteral("Текст"));
  text->addActions({assemble, fromMemory});
  text->addSeparator();
  text->addAction(listing);
  text->addSeparator();
  text->addAction(breakpoint);

  auto* bar = new QToolBar(this);
  bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  bar->addActions({newText, open, save});
  bar->addSeparator();
  bar->addAction(assemble);
  bar->addWidget(clearFirst_);
  bar->addSeparator();
  bar->addActions({fromMemory, listing});
  bar->addSeparator();
  bar->addAction(breakpoint);
  return {menus, bar};
}

}  // namespace vesk
