// The source windows: assembling into the memories, errors, files, "Из
// памяти", the listing, the colouring and the marker of the next command.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

#include "app/machine.h"
#include "asm/disassembler.h"
#include "asm/program_source.h"
#include "format/bit_string.h"
#include "memory/asm_errors_model.h"
#include "memory/dump_file.h"
#include "memory/frm_micro_program.h"
#include "memory/frm_program.h"
#include "memory/listing_dialog.h"
#include "memory/micro_program_file.h"
#include "memory/source_editor.h"
#include "memory/source_search_bar.h"
#include "support/temp_dir.h"
#include "util/text_file.h"
#include "widgets/refresh_beat.h"
#include "widgets/scripted_dialogs.h"

using namespace vesk;
using vesk::testing::ScriptedDialogs;

namespace {

std::string Shipped(const std::string& name) { return std::string(VESK_SOURCE_DIR) + "/" + name; }

struct SourceWindowTest : ::testing::Test {
  vesk::testing::TempDir dir;
  Machine m;
  ScriptedDialogs dialogs;
  std::unique_ptr<frmProgram> program;
  std::unique_ptr<frmMicroProgram> micro;

  void SetUp() override {
    program = std::make_unique<frmProgram>(m.memory, m.processor, dir / "cfg.ini", &dialogs);
    micro = std::make_unique<frmMicroProgram>(m.microMemory, m.processor, dir / "cfg.ini", &dialogs);
    program->resize(700, 500);
    micro->resize(700, 500);
  }
  std::uint16_t Word(int address) const { return static_cast<std::uint16_t>(BitsValue(m.memory.Value(address))); }
  bool HasMarker(SourceEditor* e, int line0, int marker) const {
    return (e->markersAtLine(line0) & (1 << marker)) != 0;
  }
  // Runs one command (or one micro-command in the full period) to its end.
  void StepOnce() {
    m.runControl.P_EXECUTE_NEXT_COMMAND();
    for (int i = 0; i < 100000 && !m.runControl.Idle(); ++i) m.runControl.Tick();
    QApplication::processEvents();
  }
};

TEST_F(SourceWindowTest, AssembleWritesMemoryAndTellsWhereTheProgramStarts) {
  m.memory.SetRow(0x30, NumToBits(0x1234, 16), "было");
  program->editor()->setUtf8Text("START go\nORG 10\nWORD 5 ; пять\ngo: INC\nHLT\n");
  QSignalSpy start(program.get(), &frmProgram::startAddressAssembled);
  program->clearFirstBox()->setChecked(false);
  ASSERT_TRUE(program->Assemble());
  EXPECT_EQ(Word(0x10), 5);
  EXPECT_EQ(m.memory.Comment(0x10), "пять");
  EXPECT_EQ(Word(0x11), 0xF800);
  EXPECT_EQ(Word(0x30), 0x1234);  // not cleared
  ASSERT_EQ(start.count(), 1);
  EXPECT_EQ(start[0][0].toString(), "011");
  EXPECT_EQ(program->note(), "Записано слов: 3. Программа начинается с адреса 011");
  EXPECT_EQ(program->errors()->rowCount(), 0);
  EXPECT_TRUE(program->clearFirstBox()->text() == "Очистить память");
  program->clearFirstBox()->setChecked(true);
  ASSERT_TRUE(program->Assemble());
  EXPECT_EQ(Word(0x30), 0);
  EXPECT_EQ(m.memory.Comment(0x30), "");
}

TEST_F(SourceWindowTest, ErrorsAreListedMarkedAndWriteNothing) {
  program->show();
  m.memory.SetRow(0x10, NumToBits(0x1234, 16), "было");
  program->editor()->setUtf8Text("ORG 10\nADD (x\nCLA\nFOO 5 ; что это?\n");
  EXPECT_FALSE(program->Assemble());
  EXPECT_EQ(Word(0x10), 0x1234);
  EXPECT_EQ(m.memory.Comment(0x10), "было");
  AsmErrorsModel* errors = program->errors();
  ASSERT_EQ(errors->rowCount(), 2);
  EXPECT_EQ(errors->data(errors->index(0, AsmErrorsModel::kLine)).toInt(), 2);
  EXPECT_EQ(errors->data(errors->index(0, AsmErrorsModel::kColumn)).toInt(), 7);
  EXPECT_EQ(errors->data(errors->index(1, AsmErrorsModel::kMessage)).toString(), "Неизвестная команда «FOO»");
  EXPECT_EQ(errors->headerData(2, Qt::Horizontal).toString(), "Сообщение");
  SourceEditor* e = program->editor();
  EXPECT_TRUE(HasMarker(e, 1, SourceEditor::kErrorMarker));
  EXPECT_FALSE(HasMarker(e, 2, SourceEditor::kErrorMarker));
  EXPECT_TRUE(HasMarker(e, 3, SourceEditor::kErrorMarker));
  EXPECT_EQ(e->annotation(3), "Неизвестная команда «FOO»");
  EXPECT_EQ(program->note(), "Ошибок: 2. В память ничего не записано.");
  // A click on an error goes to its line and column.
  const QModelIndex second = errors->index(1, 0);
  program->errorList()->scrollTo(second);
  QTest::mouseClick(program->errorList()->viewport(), Qt::LeftButton, {},
                    program->errorList()->visualRect(second).center());
  int line = -1, index = -1;
  e->getCursorPosition(&line, &index);
  EXPECT_EQ(line, 3);
  EXPECT_EQ(index, 0);
  QApplication::processEvents();  // the editor reports its cursor when it has updated
  EXPECT_EQ(program->cursorText(), "Строка 4, столбец 1");
  // Columns count characters, as the error list does.
  e->setUtf8Text("WORD 1 ; жук x\n");
  e->goTo(1, 14);
  QApplication::processEvents();
  EXPECT_EQ(program->cursorText(), "Строка 1, столбец 14");
  // Fixed, the text assembles and the marks go.
  e->setUtf8Text("ORG 10\nCLA\n");
  EXPECT_TRUE(program->Assemble());
  EXPECT_FALSE(HasMarker(e, 1, SourceEditor::kErrorMarker));
  EXPECT_EQ(errors->rowCount(), 0);
}

TEST_F(SourceWindowTest, SaveAsAddsTheExtensionAsksBeforeOverwritingAndWritesUtf8) {
  program->editor()->setUtf8Text("");
  program->editor()->insert(QStringLiteral("HLT ; стоп\n"));
  EXPECT_TRUE(program->isModified());
  EXPECT_TRUE(program->windowTitle().startsWith("Программа"));
  dialogs.files = {QString::fromStdString(dir / "p")};
  ASSERT_TRUE(program->Save());  // no file yet: save as
  EXPECT_EQ(dialogs.shown.back().kind, "save");
  EXPECT_EQ(dialogs.shown.back().text, "Программа Vesk (*.vasm);;Все файлы (*.*)");
  EXPECT_EQ(ReadFileBytes(dir / "p.vasm").bytes, "HLT ; стоп\n");
  EXPECT_FALSE(program->isModified());
  EXPECT_EQ(program->windowTitle(), "Программа: p.vasm[*]");

  program->editor()->append(QStringLiteral("NOP\n"));
  dialogs.files = {QString::fromStdString(dir / "p.vasm")};
  dialogs.answers = {false};
  EXPECT_FALSE(program->SaveAs());
  EXPECT_EQ(dialogs.shown.back().kind, "ask");
  EXPECT_EQ(dialogs.shown.back().title, "Сохранение программы...");
  EXPECT_EQ(dialogs.shown.back().text, "Такой файл уже существует!\nПерезаписать?");
  EXPECT_EQ(ReadFileBytes(dir / "p.vasm").bytes, "HLT ; стоп\n");
  dialogs.files = {QString::fromStdString(dir / "p.vasm")};
  dialogs.answers = {true};
  EXPECT_TRUE(program->SaveAs());
  EXPECT_EQ(ReadFileBytes(dir / "p.vasm").bytes, "HLT ; стоп\nNOP\n");
  // Save keeps to the file, without questions.
  program->editor()->append(QStringLiteral("CLA\n"));
  const std::size_t shown = dialogs.shown.size();
  EXPECT_TRUE(program->Save());
  EXPECT_EQ(dialogs.shown.size(), shown);
  EXPECT_EQ(ReadFileBytes(dir / "p.vasm").bytes, "HLT ; стоп\nNOP\nCLA\n");
}

TEST_F(SourceWindowTest, UnsavedEditsAreLostOnlyAfterAYes) {
  vesk::testing::WriteBytes(dir / "a.vasm", "CLA\n");
  vesk::testing::WriteBytes(dir / "old.vasm", "HLT ; \xF1\xF2\xEE\xEF\n");  // windows-1251
  ASSERT_TRUE(program->OpenFile(QString::fromStdString(dir / "a.vasm")));
  program->editor()->append(QStringLiteral("INC\n"));
  dialogs.answers = {false};
  program->New();
  EXPECT_EQ(program->editor()->utf8Text(), "CLA\nINC\n");
  EXPECT_EQ(dialogs.shown.back().text, "Текст программы изменён и не сохранён.\nПродолжить без сохранения?");
  dialogs.answers = {false};
  EXPECT_FALSE(program->Open());
  dialogs.answers = {false};
  program->FromMemory();
  EXPECT_EQ(program->editor()->utf8Text(), "CLA\nINC\n");
  dialogs.answers = {true};
  dialogs.files = {QString::fromStdString(dir / "old.vasm")};
  EXPECT_TRUE(program->Open());
  EXPECT_EQ(program->editor()->utf8Text(), "HLT ; стоп\n");
  EXPECT_EQ(program->note(), "Файл прочитан в кодировке windows-1251; сохраняется в UTF-8");
  EXPECT_FALSE(program->isModified());
  // A file that cannot be read changes nothing.
  EXPECT_FALSE(program->OpenFile(QString::fromStdString(dir / "missing.vasm")));
  EXPECT_EQ(dialogs.shown.back().kind, "tell");
  EXPECT_TRUE(dialogs.shown.back().text.startsWith("Текст не открыт.\n"));
  EXPECT_EQ(program->editor()->utf8Text(), "HLT ; стоп\n");
  program->New();  // not modified: no question
  EXPECT_EQ(program->editor()->utf8Text(), "");
  EXPECT_EQ(program->filePath(), "");
}

TEST_F(SourceWindowTest, FromMemoryWritesTheDisassemblyAtTheStartAddress) {
  ASSERT_TRUE(Mem_LoadDump(m.memory, Shipped("examples/multiply.vdmp")).ok);
  m.memory.SetComment(0x7FF, std::string("нуль\0внутри", 21));
  program->setStartAddressSource([] { return QStringLiteral("010"); });
  program->FromMemory();
  EXPECT_EQ(program->editor()->utf8Text(), DisassembleProgram(ReadProgramImage(m.memory), 0x10));
  EXPECT_FALSE(program->isModified());
  // What comes from memory goes back exactly, comments with NUL included.
  const ProgramImage before = ReadProgramImage(m.memory);
  m.memory.Mem_Clear();
  ASSERT_TRUE(program->Assemble());
  const ProgramImage after = ReadProgramImage(m.memory);
  EXPECT_EQ(after.words, before.words);
  EXPECT_EQ(after.comments, before.comments);
}

TEST_F(SourceWindowTest, ListingShowsAndSavesAddressWordAndLine) {
  const std::string text = "ORG 10\nstart: CLA ; А := 0\nBR start\n";
  program->editor()->setUtf8Text(text);
  program->ShowListing();
  ListingDialog* listing = program->listingDialog();
  ASSERT_NE(listing, nullptr);
  EXPECT_TRUE(listing->isVisible());
  EXPECT_EQ(listing->listing(), "           ORG 10\n010  F200  start: CLA ; А := 0\n011  C010  BR start\n");
  dialogs.files = {QString::fromStdString(dir / "p")};
  ASSERT_TRUE(listing->Save());
  EXPECT_EQ(ReadFileBytes(dir / "p.lst").bytes, listing->listing());
  listing->close();
}

TEST_F(SourceWindowTest, TheExamplesAndTheShippedMicroProgramAssembleToTheShippedFiles) {
  for (const char* name : {"sum", "multiply", "subroutine", "print", "input", "interrupt"}) {
    ASSERT_TRUE(program->OpenFile(QString::fromStdString(Shipped(std::string("examples/") + name + ".vasm"))));
    ASSERT_TRUE(program->Assemble()) << name;
    ASSERT_TRUE(Mem_SaveDump(m.memory, dir / "out.vdmp").ok);
    EXPECT_EQ(ReadFileBytes(dir / "out.vdmp").bytes, ReadFileBytes(Shipped(std::string("examples/") + name + ".vdmp")).bytes)
        << name;
  }
  ASSERT_TRUE(micro->OpenFile(QString::fromStdString(Shipped("microprograms/vesk.masm"))));
  ASSERT_TRUE(micro->Assemble());
  EXPECT_EQ(micro->note(), "Записано микрокоманд: 174");
  ASSERT_TRUE(SaveMicroProgram(m.microMemory, dir / "out.mpdmp").ok);
  EXPECT_EQ(ReadFileBytes(dir / "out.mpdmp").bytes, ReadFileBytes(Shipped("microprograms/vesk.mpdmp")).bytes);
}

TEST_F(SourceWindowTest, TheMarkerFollowsTheNextCommandThroughSteps) {
  ASSERT_TRUE(LoadMicroProgram(m.microMemory, Shipped("microprograms/vesk.mpdmp")).ok);
  m.runControl.SetIntervals(0, 0, 0);
  program->show();
  program->editor()->setUtf8Text("ORG 10\nstart: CLA\n  INC\n  BR next\n  NOP\nnext: HLT\n");
  ASSERT_TRUE(program->Assemble());
  SourceEditor* e = program->editor();
  m.processor.Reg_Set_CommandCounter(NumToBits(0x10, 16));
  QApplication::processEvents();
  EXPECT_EQ(e->currentLine(), 1);
  StepOnce();
  EXPECT_EQ(e->currentLine(), 2);  // CLA done: INC is next
  EXPECT_TRUE(HasMarker(e, 2, SourceEditor::kCurrentMarker));
  EXPECT_TRUE(HasMarker(e, 2, SourceEditor::kCurrentLine));
  StepOnce();
  EXPECT_EQ(e->currentLine(), 3);
  StepOnce();
  EXPECT_EQ(e->currentLine(), 5);  // the jump skipped NOP
  EXPECT_FALSE(HasMarker(e, 3, SourceEditor::kCurrentMarker));
  // Lines typed above move the marker's line with the text.
  e->insertAt(QStringLiteral("# заметка\n# ещё одна\n"), 0, 0);
  StepOnce();  // HLT: the next command is the cell after it, which no line made
  EXPECT_EQ(e->currentLine(), -1);
  m.processor.Reg_Set_CommandCounter(NumToBits(0x12, 16));
  QApplication::processEvents();
  EXPECT_EQ(e->currentLine(), 5);  // BR next, two lines further down now
  // A word no longer what the line made has no line.
  m.memory.SetRow(0x12, NumToBits(0xF000, 16), "");
  m.processor.Reg_Set_CommandCounter(NumToBits(0x11, 16));
  m.processor.Reg_Set_CommandCounter(NumToBits(0x12, 16));
  QApplication::processEvents();
  EXPECT_EQ(e->currentLine(), -1);
}

// At full speed the marker moves on the refresh beat, not on every change.
TEST_F(SourceWindowTest, AtFullSpeedTheMarkerMovesOnTheBeat) {
  program->show();
  program->editor()->setUtf8Text("ORG 10\nCLA\nINC\nHLT\n");
  ASSERT_TRUE(program->Assemble());
  m.processor.Reg_Set_CommandCounter(NumToBits(0x10, 16));
  QApplication::processEvents();
  ASSERT_EQ(program->editor()->currentLine(), 1);
  RefreshBeat beat;
  program->deferredRefresh().follow(&beat);
  beat.setDeferred(true);
  m.processor.Reg_Set_CommandCounter(NumToBits(0x11, 16));
  QApplication::processEvents();
  EXPECT_EQ(program->editor()->currentLine(), 1);
  beat.beatNow();
  EXPECT_EQ(program->editor()->currentLine(), 2);
  m.processor.Reg_Set_CommandCounter(NumToBits(0x12, 16));
  beat.setDeferred(false);
  EXPECT_EQ(program->editor()->currentLine(), 3);
  program->deferredRefresh().follow(nullptr);
}

TEST_F(SourceWindowTest, TheMicroMarkerFollowsTheMicroCommandCounter) {
  micro->show();
  ASSERT_TRUE(micro->OpenFile(QString::fromStdString(Shipped("microprograms/vesk.masm"))));
  ASSERT_TRUE(micro->Assemble());
  const std::string text = micro->editor()->utf8Text();
  auto lineOf = [&text](const std::string& start) {
    const std::size_t at = text.find("\n" + start);
    return at == std::string::npos ? -2 : static_cast<int>(std::count(text.begin(), text.begin() + at + 1, '\n'));
  };
  m.processor.Micro_Reg_Set_CommandCounter("03");
  QApplication::processEvents();
  EXPECT_EQ(micro->editor()->currentLine(), lineOf("03 |"));
  m.processor.Micro_Reg_Set_CommandCounter("4A");
  QApplication::processEvents();
  EXPECT_EQ(micro->editor()->currentLine(), lineOf("4A |"));
  m.processor.Micro_Reg_Set_CommandCounter("F0");  // no line made it
  QApplication::processEvents();
  EXPECT_EQ(micro->editor()->currentLine(), -1);
}

TEST_F(SourceWindowTest, FindGoesBothWaysRoundTheTextAndGoToLineMovesTheCursor) {
  program->show();
  SourceEditor* e = program->editor();
  e->setUtf8Text("loop: ADD x ; сумма\nBR loop\nx: WORD 1 ; Сумма\nHLT\n");
  program->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(program.get()));
  ASSERT_TRUE(program->Assemble());
  const QString assembled = program->note();
  e->setFocus();
  QTest::keyClick(e, Qt::Key_F, Qt::ControlModifier);
  SourceSearchBar* bar = program->searchBar();
  ASSERT_TRUE(bar->isVisible());
  EXPECT_EQ(program->note(), assembled);  // a search clears only what a search said
  EXPECT_TRUE(bar->findField()->hasFocus());
  auto selection = [e] {
    int lf = 0, if_ = 0, lt = 0, it = 0;
    e->getSelection(&lf, &if_, &lt, &it);
    return std::vector<int>{lf, if_, lt, it};
  };
  bar->findField()->setText(QStringLiteral("сумма"));
  QTest::keyClick(bar->findField(), Qt::Key_Return);
  EXPECT_EQ(selection(), (std::vector<int>{0, 14, 0, 19}));  // columns count characters
  EXPECT_EQ(bar->note(), "");
  EXPECT_TRUE(bar->findNext());  // letter case aside by default
  EXPECT_EQ(selection(), (std::vector<int>{2, 12, 2, 17}));
  EXPECT_TRUE(bar->findNext());
  EXPECT_EQ(selection(), (std::vector<int>{0, 14, 0, 19}));
  EXPECT_EQ(bar->note(), "Поиск продолжен с начала текста");
  EXPECT_EQ(program->note(), "Поиск продолжен с начала текста");  // in the window's status row
  EXPECT_TRUE(bar->findPrevious());
  EXPECT_EQ(selection(), (std::vector<int>{2, 12, 2, 17}));
  EXPECT_EQ(bar->note(), "Поиск продолжен с конца текста");
  QTest::keyClick(bar->findField(), Qt::Key_Return, Qt::ShiftModifier);
  EXPECT_EQ(selection(), (std::vector<int>{0, 14, 0, 19}));
  EXPECT_EQ(program->note(), "");
  bar->caseBox()->setChecked(true);
  EXPECT_TRUE(bar->findNext());
  EXPECT_EQ(selection(), (std::vector<int>{0, 14, 0, 19}));  // only the one in small letters
  EXPECT_EQ(bar->note(), "Поиск продолжен с начала текста");
  bar->findField()->setText(QStringLiteral("СУММА"));
  EXPECT_FALSE(bar->findNext());
  EXPECT_EQ(bar->note(), "Не найдено: «СУММА»");
  // F3 in the editor searches again; a selection in one line is what Ctrl+F searches for.
  bar->caseBox()->setChecked(false);
  e->setSelection(1, 3, 1, 7);
  e->setFocus();
  QTest::keyClick(e, Qt::Key_F, Qt::ControlModifier);
  EXPECT_EQ(bar->findField()->text(), "loop");
  e->setFocus();
  QTest::keyClick(e, Qt::Key_F3);
  EXPECT_EQ(selection(), (std::vector<int>{0, 0, 0, 4}));
  QTest::keyClick(e, Qt::Key_F3, Qt::ShiftModifier);
  EXPECT_EQ(selection(), (std::vector<int>{1, 3, 1, 7}));
  // Escape hides the row and gives the editor the focus.
  bar->findField()->setFocus();
  QTest::keyClick(bar->findField(), Qt::Key_Escape);
  EXPECT_FALSE(bar->isVisible());
  EXPECT_TRUE(e->hasFocus());

  QTest::keyClick(e, Qt::Key_G, Qt::ControlModifier);
  ASSERT_TRUE(bar->isVisible());
  EXPECT_EQ(bar->lineBox()->value(), 2);  // the cursor's line
  EXPECT_EQ(bar->lineBox()->maximum(), e->lines());
  bar->lineBox()->setValue(3);
  QTest::keyClick(bar->lineBox(), Qt::Key_Return);
  int line = -1, index = -1;
  e->getCursorPosition(&line, &index);
  EXPECT_EQ(line, 2);
  EXPECT_EQ(index, 0);
  EXPECT_TRUE(e->hasFocus());
}

TEST_F(SourceWindowTest, TheEditMenuWorksOnTheTextAndShowsWhatCanBeDone) {
  program->show();
  SourceEditor* e = program->editor();
  e->setUtf8Text("CLA\n");
  QMenu* edit = nullptr;
  for (QMenu* m : program->findChildren<QMenu*>())
    if (m->title() == "Правка") edit = m;
  ASSERT_NE(edit, nullptr);
  auto item = [edit](const char* name) {
    for (QAction* a : edit->actions())
      if (a->objectName() == QLatin1String(name)) return a;
    return static_cast<QAction*>(nullptr);
  };
  ASSERT_NE(item("actUndo"), nullptr);
  emit edit->aboutToShow();
  EXPECT_FALSE(item("actUndo")->isEnabled());  // a text just set has nothing to undo
  EXPECT_FALSE(item("actCopy")->isEnabled());
  e->setCursorPosition(1, 0);
  e->insert(QStringLiteral("INC\n"));
  item("actSelectAll")->trigger();
  emit edit->aboutToShow();
  EXPECT_TRUE(item("actUndo")->isEnabled());
  EXPECT_TRUE(item("actCut")->isEnabled());
  item("actUndo")->trigger();
  EXPECT_EQ(e->utf8Text(), "CLA\n");
  emit edit->aboutToShow();
  EXPECT_TRUE(item("actRedo")->isEnabled());
  item("actRedo")->trigger();
  EXPECT_EQ(e->utf8Text(), "CLA\nINC\n");
  EXPECT_EQ(item("actCut")->shortcut(), QKeySequence(QKeySequence::Cut));
  EXPECT_NE(item("actGoToLine"), nullptr);
  EXPECT_EQ(item("actFind")->shortcut(), QKeySequence(QStringLiteral("Ctrl+F")));
}

TEST_F(SourceWindowTest, TheLexerColoursThePiecesOfBothLanguages) {
  program->show();
  SourceEditor* e = program->editor();
  e->setUtf8Text("loop: ADD (ptr) ; x\n# remark\n");
  e->SendScintilla(QsciScintilla::SCI_COLOURISE, 0UL, -1L);
  auto style = [e](long pos) { return static_cast<int>(e->SendScintilla(QsciScintilla::SCI_GETSTYLEAT, pos)); };
  EXPECT_EQ(style(0), SourceLexer::StyleOf(HighlightKind::kLabel));
  EXPECT_EQ(style(6), SourceLexer::StyleOf(HighlightKind::kMnemonic));
  EXPECT_EQ(style(11), SourceLexer::StyleOf(HighlightKind::kLabel));
  EXPECT_EQ(style(16), SourceLexer::StyleOf(HighlightKind::kComment));
  EXPECT_EQ(style(21), SourceLexer::StyleOf(HighlightKind::kRemark));
  micro->show();
  SourceEditor* me = micro->editor();
  me->setUtf8Text("01 | a | БР := СК | x\n");
  me->SendScintilla(QsciScintilla::SCI_COLOURISE, 0UL, -1L);
  auto microStyle = [me](long pos) { return static_cast<int>(me->SendScintilla(QsciScintilla::SCI_GETSTYLEAT, pos)); };
  EXPECT_EQ(microStyle(0), SourceLexer::StyleOf(HighlightKind::kNumber));
  EXPECT_EQ(microStyle(9), SourceLexer::StyleOf(HighlightKind::kRegister));  // БР: after "01 | a | "
  EXPECT_EQ(microStyle(15), SourceLexer::StyleOf(HighlightKind::kOperator));  // ":="
}

}  // namespace
