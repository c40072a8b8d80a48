#include "memory/source_window.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QSpinBox>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "asm/source_file.h"
#include "memory/asm_errors_model.h"
#include "memory/listing_dialog.h"
#include "memory/source_breakpoints.h"
#include "memory/source_editor.h"
#include "memory/source_search_bar.h"
#include "widgets/dialogs.h"
#include "widgets/table_look.h"

namespace vesk {

SourceWindow::SourceWindow(Texts texts, SourceLanguage language, Processor& cpu, Reg watched, std::string settingsFile,
                           std::string layoutName, Dialogs* dialogs, QWidget* parent)
    : MachineWindow(std::move(settingsFile), std::move(layoutName), dialogs, parent),
      cpu_(cpu),
      texts_(std::move(texts)),
      watched_(watched),
      editor_(new SourceEditor(language, this)),
      errorsModel_(new AsmErrorsModel(this)),
      errorView_(new QTableView(this)),
      clearFirst_(new QCheckBox(texts_.clearBox, this)),
      position_(new QLabel(this)),
      note_(new QLabel(this)),
      search_(new SourceSearchBar(editor_, this)) {
  editor_->setObjectName(QStringLiteral("sourceEditor"));
  errorView_->setObjectName(QStringLiteral("errorList"));
  clearFirst_->setObjectName(QStringLiteral("clearFirst"));
  clearFirst_->setChecked(true);
  clearFirst_->setToolTip(QStringLiteral("Перед записью обнулить все слова и комментарии"));
  note_->setObjectName(QStringLiteral("note"));

  auto [menus, bar] = buildCommands();

  errorView_->setModel(errorsModel_);
  ApplyTableLook(*errorView_, {QStringLiteral("00000"), QStringLiteral("0000"), QString()});
  errorView_->setFont(font());
  connect(errorView_, &QTableView::clicked, this, [this](const QModelIndex& index) {
    const AsmError& e = errorsModel_->errors()[static_cast<std::size_t>(index.row())];
    editor_->goTo(e.line, e.column);
  });
  connect(errorView_, &QTableView::activated, errorView_, &QTableView::clicked);

  auto* split = new QSplitter(Qt::Vertical, this);
  split->addWidget(editor_);
  split->addWidget(errorView_);
  split->setStretchFactor(0, 4);
  split->setStretchFactor(1, 1);
  split->setCollapsible(0, false);

  auto* statusRow = new QHBoxLayout;
  statusRow->addWidget(note_, 1);
  statusRow->addWidget(position_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 0, 2, 2);
  layout->setSpacing(2);
  layout->setMenuBar(menus);
  layout->addWidget(bar);
  layout->addWidget(search_);
  layout->addWidget(split, 1);
  layout->addLayout(statusRow);

  // Columns count characters, as the error list does.
  connect(editor_, &QsciScintilla::cursorPositionChanged, this, [this](int line, int) {
    const long pos = editor_->SendScintilla(QsciScintilla::SCI_GETCURRENTPOS);
    const long start = editor_->SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    const long column = editor_->SendScintilla(QsciScintilla::SCI_COUNTCHARACTERS, static_cast<unsigned long>(start), pos);
    position_->setText(QStringLiteral("Строка %1, столбец %2").arg(line + 1).arg(column + 1));
  });
  // A search clears only what a search said.
  connect(search_, &SourceSearchBar::noted, this, [this](const QString& text) {
    if (!text.isEmpty() || searchNoted_) setNote(text);
    searchNoted_ = !text.isEmpty();
  });
  connect(editor_, &QsciScintilla::modificationChanged, this, [this](bool) { updateTitle(); });
  // The editor's keys before the main window's: Ctrl+O and Ctrl+S here mean
  // the text, not the dump.
  QWidget* const keyed[] = {this, editor_, errorView_, search_->findField(), search_->caseBox(), search_->lineBox()};
  for (QWidget* w : keyed) w->installEventFilter(this);
  cpu_.listeners().add(this);
  updateTitle();
}

SourceWindow::~SourceWindow() { cpu_.listeners().remove(this); }

bool SourceWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const QKeySequence pressed(key->keyCombination());
    for (QAction* a : commands_) {
      if (a->shortcut() != pressed || !a->isEnabled()) continue;
      if (event->type() == QEvent::ShortcutOverride) {
        event->accept();  // the key comes here as a key press, not to a shortcut
      } else {
        a->trigger();
      }
      return true;
    }
  }
  return MachineWindow::eventFilter(watched, event);
}

bool SourceWindow::isModified() const { return editor_->isModified(); }

void SourceWindow::updateTitle() {
  QString title = texts_.caption;
  if (!path_.isEmpty()) title += QStringLiteral(": ") + QFileInfo(path_).fileName();
  setWindowTitle(title + QStringLiteral("[*]"));
  setWindowModified(editor_->isModified());
}

void SourceWindow::setPath(const QString& path) {
  path_ = path;
  updateTitle();
}

void SourceWindow::setNote(const QString& text) {
  note_->setText(text);
  searchNoted_ = false;
}

bool SourceWindow::ConfirmDiscard() {
  if (!editor_->isModified()) return true;
  return dialogs().askYesNo(this, texts_.caption, texts_.unsaved, Dialogs::Icon::Warning);
}

void SourceWindow::New() {
  if (!ConfirmDiscard()) return;
  editor_->setUtf8Text("");
  errorsModel_->setErrors({});
  assembledWords_.clear();
  anchorsLaid(false);
  setPath(QString());
  setNote(QString());
}

bool SourceWindow::Open() {
  if (!ConfirmDiscard()) return false;
  const QString path = dialogs().openFile(this, texts_.caption + QStringLiteral(": открыть..."), texts_.filter,
                                          StartFolder(fileFolders(), texts_.folders));
  RememberFolder(fileFolders(), texts_.folders, path);
  return !path.isEmpty() && OpenFile(path);
}

bool SourceWindow::OpenFile(const QString& path) {
  const SourceText source = ReadSourceFile(path.toStdString());
  if (!source.ok) {
    dialogs().tell(this, texts_.caption, QStringLiteral("Текст не открыт.") + "\n" + QString::fromStdString(source.error),
                   Dialogs::Icon::Warning);
    return false;
  }
  editor_->setUtf8Text(source.text);
  errorsModel_->setErrors({});
  assembledWords_.clear();
  anchorsLaid(false);
  setPath(path);
  setNote(source.wasCp1251 ? QStringLiteral("Файл прочитан в кодировке windows-1251; сохраняется в UTF-8")
                           : QString());
  return true;
}

bool SourceWindow::writeFile(const QString& path) {
  const std::string error = SaveSourceFile(path.toStdString(), editor_->utf8Text());
  if (!error.empty()) {
    dialogs().tell(this, texts_.caption, QStringLiteral("Текст не сохранён.") + "\n" + QString::fromStdString(error),
                   Dialogs::Icon::Warning);
    return false;
  }
  editor_->setModified(false);
  setPath(path);
  setNote(QStringLiteral("Сохранено: ") + path);
  return true;
}

bool SourceWindow::Save() { return path_.isEmpty() ? SaveAs() : writeFile(path_); }

bool SourceWindow::SaveAs() {
  QString path = dialogs().saveFile(this, texts_.caption + QStringLiteral(": сохранить как..."), texts_.filter,
                                    StartFolder(fileFolders(), texts_.folders));
  if (path.isEmpty()) return false;
  RememberFolder(fileFolders(), texts_.folders, path);
  if (QFileInfo(path).suffix().isEmpty()) path += "." + texts_.extension;
  if (QFileInfo::exists(path) &&
      !dialogs().askYesNo(this, texts_.saveTitle,
                          QStringLiteral("Такой файл уже существует!") + "\n" + QStringLiteral("Перезаписать?"),
                          Dialogs::Icon::Warning))
    return false;
  return writeFile(path);
}

bool SourceWindow::Assemble() {
  const std::string text = editor_->utf8Text();
  const SourceOutcome outcome = assembleText(text, clearFirst_->isChecked());
  errorsModel_->setErrors(outcome.errors);
  if (!outcome.errors.empty()) {
    editor_->showErrors(outcome.errors);
    errorView_->selectRow(0);
    const AsmError& first = outcome.errors.front();
    editor_->goTo(first.line, first.column);
    setNote(QStringLiteral("Ошибок: %1. В память ничего не записано.").arg(outcome.errors.size()));
    return false;
  }
  editor_->clearErrors();
  editor_->setAnchors(outcome.lines);
  anchorsLaid(true);
  assembledWords_.assign(outcome.lines.size(), -1);
  int words = 0;
  for (std::size_t a = 0; a < outcome.lines.size(); ++a) {
    if (outcome.lines[a] == 0) continue;
    assembledWords_[a] = memoryWord(static_cast<int>(a));
    ++words;
  }
  assembled(outcome);
  setNote(assembledNote(outcome, words));
  updateMarker();
  return true;
}

void SourceWindow::FromMemory() {
  if (!ConfirmDiscard()) return;
  const std::string text = memoryText();
  editor_->setUtf8Text(text);
  errorsModel_->setErrors({});
  // The text is what memory holds: its lines made the words.
  const SourceOutcome outcome = checkText(text);
  editor_->setAnchors(outcome.lines);
  anchorsLaid(true);
  assembledWords_.assign(outcome.lines.size(), -1);
  for (std::size_t a = 0; a < outcome.lines.size(); ++a)
    if (outcome.lines[a] != 0) assembledWords_[a] = memoryWord(static_cast<int>(a));
  setPath(QString());
  setNote(QStringLiteral("Текст восстановлен по содержимому памяти"));
  updateMarker();
}

void SourceWindow::setBreakpoints(Breakpoints& breakpoints, BreakKind kind) {
  delete breakpoints_;
  breakpoints_ = new SourceBreakpoints(*editor_, breakpoints, kind, this);
  connect(breakpoints_, &SourceBreakpoints::noted, this, &SourceWindow::setNote);
  breakpoints_->anchorsLaid(false);
  if (QAction* toggle = command("actToggleBreakpoint")) toggle->setEnabled(true);
}

bool SourceWindow::ToggleBreakpoint() {
  if (breakpoints_ == nullptr) return false;
  int line = 0;
  int index = 0;
  editor_->getCursorPosition(&line, &index);
  return breakpoints_->toggleAtLine(line);
}

void SourceWindow::anchorsLaid(bool fresh) {
  if (breakpoints_ != nullptr) breakpoints_->anchorsLaid(fresh);
}

void SourceWindow::ShowListing() {
  if (listing_ == nullptr)
    listing_ = new ListingDialog(texts_.caption + QStringLiteral(": листинг"), dialogs(), fileFolders(), texts_.folders,
                                 this);
  listing_->setListing(listingText(editor_->utf8Text()));
  listing_->show();
  listing_->raise();
}

void SourceWindow::registerChanged(Reg r) {
  if (r != watched_) return;
  if (refresh_.deferred()) markerMarked_ = true;
  else scheduleMarker();
}

void SourceWindow::runStateTextChanged(std::string_view) {
  if (refresh_.deferred()) markerMarked_ = true;
  else scheduleMarker();
}

// Many register changes in one tick move the marker once.
void SourceWindow::scheduleMarker() {
  if (markerPending_ || !isVisible()) return;
  markerPending_ = true;
  QTimer::singleShot(0, this, [this] {
    markerPending_ = false;
    updateMarker();
  });
}

void SourceWindow::updateMarker() {
  const int address = nextAddress();
  int line = -1;
  if (address >= 0 && static_cast<std::size_t>(address) < assembledWords_.size() &&
      assembledWords_[static_cast<std::size_t>(address)] == memoryWord(address))
    line = editor_->anchoredLine(address);
  // While the machine runs the marker moves without scrolling the text.
  editor_->setCurrentLine(line, !cpu_.GetRunning());
}

void SourceWindow::showEvent(QShowEvent* event) {
  MachineWindow::showEvent(event);
  updateMarker();
}

}  // namespace vesk
