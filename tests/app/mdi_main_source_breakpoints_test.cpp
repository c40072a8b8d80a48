// Breakpoints on the lines of the source windows, kept in step with the
// memory, micro-memory and breakpoints windows through the machine's
// Breakpoints.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "app/machine.h"
#include "app/mdi_main.h"
#include "debug/breakpoint_markers.h"
#include "debug/breakpoints_table_model.h"
#include "debug/frm_breakpoints.h"
#include "memory/frm_micro_program.h"
#include "memory/frm_program.h"
#include "memory/source_breakpoints.h"
#include "memory/source_editor.h"
#include "support/temp_dir.h"
#include "widgets/scripted_dialogs.h"

using namespace vesk;

namespace {

// Lines (0-based): 0 ORG, 1 a comment, 2 CLA at 010, 3 a label alone, 4 INC
// at 011, 5 HLT at 012.
constexpr const char* kProgram = "ORG 10\n# сумма\nstart: CLA\nnext:\n  INC\n  HLT\n";
// Lines: 0 a comment, 1 micro-command 01, 2 empty, 3 02, 4 03.
constexpr const char* kMicroProgram =
    "# выборка\n01 | fetch | БР := СК | СК -> БР\n\n02 | | РА := БР | БР -> РА\n03 | | БР := СК + 1, READ | чтение\n";

struct SourceBreakpointsFixture : ::testing::Test {
  vesk::testing::TempDir dir;
  Machine machine;
  vesk::testing::ScriptedDialogs dialogs;
  std::unique_ptr<MDIMain> window;

  void SetUp() override {
    window = std::make_unique<MDIMain>(machine, dir.path(), &dialogs, SettingsLocation{dir.file("cfg.ini"), false, ""});
    window->show();
    window->StartUp();
    window->ShowBreakpoints();
  }
  static bool HasMarker(SourceEditor* e, int line, int marker) { return (e->markersAtLine(line) & (1 << marker)) != 0; }
  // The lines that show a breakpoint dot (on) or ring (off).
  static std::vector<int> Dots(SourceEditor* e, int marker) {
    std::vector<int> lines;
    for (int line = 0; line < e->lines(); ++line)
      if (HasMarker(e, line, marker)) lines.push_back(line);
    return lines;
  }
  // A left click in the breakpoint margin at the far left of a 0-based line.
  static void ClickMargin(SourceEditor* e, int line) {
    e->ensureLineVisible(line);
    QApplication::processEvents();
    const long pos = e->SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    const int y = static_cast<int>(e->SendScintilla(QsciScintilla::SCI_POINTYFROMPOSITION, 0UL, pos)) +
                  e->textHeight(line) / 2;
    QTest::mouseClick(e->viewport(), Qt::LeftButton, {}, QPoint(6, y));
  }
  frmProgram* openProgram(const char* text) {
    frmProgram* program = window->programWindow();
    window->ShowSourceWindow(program);
    program->editor()->setUtf8Text(text);
    return program;
  }
};

}  // namespace

TEST_F(SourceBreakpointsFixture, AClickOnALineThatMadeAWordSetsItsBreakpointEverywhere) {
  frmProgram* program = openProgram(kProgram);
  SourceEditor* e = program->editor();
  ASSERT_TRUE(program->Assemble());

  ClickMargin(e, 4);
  EXPECT_TRUE(machine.breakpoints.Enabled(BreakKind::Command, 0x11));
  EXPECT_EQ(machine.breakpoints.Count(), 1);
  EXPECT_TRUE(window->memoryMarkers()->marks(0x11).breakpoint);
  EXPECT_EQ(window->breakpointsWindow()->model()->rowCount(), 1);
  EXPECT_EQ(Dots(e, SourceEditor::kBreakpointMarker), std::vector<int>{4});
  EXPECT_EQ(program->note(), "Точка останова на адресе 011 поставлена");
  // Each marker is drawn in exactly one visible margin (a number margin
  // draws markers too unless its mask leaves them out).
  for (int marker : {SourceEditor::kBreakpointMarker, SourceEditor::kBreakpointOffMarker, SourceEditor::kErrorMarker,
                     SourceEditor::kCurrentMarker}) {
    int shownIn = 0;
    for (int margin = 0; margin < e->margins(); ++margin)
      if (e->marginWidth(margin) > 0 && (e->marginMarkerMask(margin) & (1 << marker)) != 0) ++shownIn;
    EXPECT_EQ(shownIn, 1) << "marker " << marker;
  }

  // Lines with no word: a comment, a label alone, the ORG directive.
  for (int line : {0, 1, 3}) {
    ClickMargin(e, line);
    EXPECT_EQ(machine.breakpoints.Count(), 1) << line;
    EXPECT_EQ(program->note(), QStringLiteral("Строка %1 не дала слова: точку останова на ней не поставить").arg(line + 1));
  }
  EXPECT_EQ(Dots(e, SourceEditor::kBreakpointMarker), std::vector<int>{4});

  // The key on the cursor's line, both ways.
  e->setCursorPosition(2, 3);
  e->setFocus();
  QTest::keyClick(e, Qt::Key_F9, Qt::ShiftModifier);
  EXPECT_TRUE(machine.breakpoints.Has(BreakKind::Command, 0x10));
  EXPECT_TRUE(window->memoryMarkers()->marks(0x10).breakpoint);
  EXPECT_EQ(Dots(e, SourceEditor::kBreakpointMarker), (std::vector<int>{2, 4}));
  QTest::keyClick(e, Qt::Key_F9, Qt::ShiftModifier);
  EXPECT_FALSE(machine.breakpoints.Has(BreakKind::Command, 0x10));
  EXPECT_FALSE(window->memoryMarkers()->marks(0x10).breakpoint);
  // F9 stays "Ассемблировать".
  EXPECT_EQ(program->command("actAssemble")->shortcut().toString(), "F9");
  EXPECT_EQ(program->command("actToggleBreakpoint")->shortcut().toString(), "Shift+F9");

  // A second click removes it.
  ClickMargin(e, 4);
  EXPECT_EQ(machine.breakpoints.Count(), 0);
  EXPECT_TRUE(Dots(e, SourceEditor::kBreakpointMarker).empty());
  EXPECT_FALSE(window->memoryMarkers()->marks(0x11).breakpoint);
}

TEST_F(SourceBreakpointsFixture, TheMemoryAndBreakpointsWindowsChangesShowInTheEditor) {
  frmProgram* program = openProgram(kProgram);
  SourceEditor* e = program->editor();
  ASSERT_TRUE(program->Assemble());

  window->memoryMarkers()->toggleBreakpoint(0x12);  // the memory window's marker column
  EXPECT_EQ(Dots(e, SourceEditor::kBreakpointMarker), std::vector<int>{5});
  machine.breakpoints.SetEnabled(BreakKind::Command, 0x12, false);
  EXPECT_TRUE(Dots(e, SourceEditor::kBreakpointMarker).empty());
  EXPECT_EQ(Dots(e, SourceEditor::kBreakpointOffMarker), std::vector<int>{5}) << "a disabled one is a ring";
  // Breakpoints of other kinds and at addresses no line made show nowhere.
  machine.breakpoints.Set(BreakKind::MemoryWrite, 0x10);
  machine.breakpoints.Set(BreakKind::Micro, 0x11);
  machine.breakpoints.Set(BreakKind::Command, 0x200);
  EXPECT_TRUE(Dots(e, SourceEditor::kBreakpointMarker).empty());
  window->breakpointsWindow()->removeAllButton()->click();
  EXPECT_EQ(machine.breakpoints.Count(), 0);
  EXPECT_TRUE(Dots(e, SourceEditor::kBreakpointOffMarker).empty());
}

TEST_F(SourceBreakpointsFixture, AnEditedTextKeepsItsDotsOnTheirLinesButRefusesTogglesUntilAssembled) {
  frmProgram* program = openProgram(kProgram);
  SourceEditor* e = program->editor();
  // Never assembled: no line has a word yet.
  ClickMargin(e, 2);
  EXPECT_EQ(machine.breakpoints.Count(), 0);
  EXPECT_TRUE(program->note().contains("Ассемблировать"));

  ASSERT_TRUE(program->Assemble());
  ClickMargin(e, 4);
  ASSERT_TRUE(machine.breakpoints.Has(BreakKind::Command, 0x11));
  e->insertAt(QStringLiteral("# первая\n# вторая\n"), 0, 0);
  EXPECT_EQ(Dots(e, SourceEditor::kBreakpointMarker), std::vector<int>{6}) << "the dot follows its line";
  ClickMargin(e, 6);
  EXPECT_TRUE(machine.breakpoints.Has(BreakKind::Command, 0x11)) << "a stale map toggles nothing";
  ClickMargin(e, 4);
  EXPECT_EQ(machine.breakpoints.Count(), 1);
  EXPECT_TRUE(program->note().startsWith("Текст изменён после ассемблирования"));
  // Set in the memory window meanwhile: drawn where the line went.
  window->memoryMarkers()->toggleBreakpoint(0x10);
  EXPECT_EQ(Dots(e, SourceEditor::kBreakpointMarker), (std::vector<int>{4, 6}));

  // Assembled again, the lines hold their words where they now stand.
  ASSERT_TRUE(program->Assemble());
  EXPECT_EQ(Dots(e, SourceEditor::kBreakpointMarker), (std::vector<int>{4, 6}));
  ClickMargin(e, 7);
  EXPECT_TRUE(machine.breakpoints.Has(BreakKind::Command, 0x12));
  // "Новый" (yes, the edits may go) drops the map and the dots; the
  // breakpoints stay in the machine.
  dialogs.answers.push_back(true);
  program->New();
  ASSERT_TRUE(program->editor()->utf8Text().empty());
  EXPECT_TRUE(Dots(e, SourceEditor::kBreakpointMarker).empty());
  EXPECT_EQ(machine.breakpoints.Count(), 3);
}

TEST_F(SourceBreakpointsFixture, TheMicroProgramEditorTogglesMicroCommandBreakpoints) {
  frmMicroProgram* micro = window->microProgramWindow();
  window->ShowSourceWindow(micro);
  SourceEditor* e = micro->editor();
  e->setUtf8Text(kMicroProgram);
  ASSERT_TRUE(micro->Assemble()) << micro->note().toStdString();

  ClickMargin(e, 4);
  EXPECT_TRUE(machine.breakpoints.Enabled(BreakKind::Micro, 0x03));
  EXPECT_FALSE(machine.breakpoints.Has(BreakKind::Command, 0x03));
  EXPECT_TRUE(window->microMemoryMarkers()->marks(0x03 - 1).breakpoint);
  EXPECT_EQ(Dots(e, SourceEditor::kBreakpointMarker), std::vector<int>{4});
  for (int line : {0, 2}) {
    ClickMargin(e, line);
    EXPECT_EQ(machine.breakpoints.Count(), 1) << line;
  }

  // From the micro-memory window: shown on the line of micro-command 01.
  window->microMemoryMarkers()->toggleBreakpoint(0x01 - 1);
  EXPECT_EQ(Dots(e, SourceEditor::kBreakpointMarker), (std::vector<int>{1, 4}));
  // A command breakpoint at the same number is not the micro-command's.
  machine.breakpoints.Set(BreakKind::Command, 0x02);
  EXPECT_FALSE(HasMarker(e, 3, SourceEditor::kBreakpointMarker));
  // The program editor does not show micro-command breakpoints.
  frmProgram* program = openProgram("ORG 1\nCLA\nCLA\nCLA\n");
  ASSERT_TRUE(program->Assemble());
  EXPECT_EQ(Dots(program->editor(), SourceEditor::kBreakpointMarker), std::vector<int>{2});
}
