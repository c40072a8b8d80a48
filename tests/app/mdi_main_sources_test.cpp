// The source windows inside the main window: menu items, toolbar buttons,
// the start address, their keys and the question before their texts are lost.
#include <gtest/gtest.h>

#include <QMdiSubWindow>
#include <QTest>
#include <QToolBar>

#include "app/machine.h"
#include "app/main_toolstrip.h"
#include "app/mdi_main.h"
#include "memory/frm_mem.h"
#include "memory/frm_micro_program.h"
#include "memory/frm_program.h"
#include "memory/source_editor.h"
#include "memory/source_search_bar.h"
#include "support/temp_dir.h"
#include "util/ini_file.h"
#include "widgets/scripted_dialogs.h"

using namespace vesk;

namespace {

struct SourcesInMainWindow : ::testing::Test {
  vesk::testing::TempDir dir;
  Machine machine;
  vesk::testing::ScriptedDialogs dialogs;
  std::unique_ptr<MDIMain> window;

  std::string ini() const { return dir.file("cfg.ini"); }
  void SetUp() override {
    window = std::make_unique<MDIMain>(machine, dir.path(), &dialogs, SettingsLocation{ini(), false, ""});
    window->show();
    window->StartUp();
  }
  QAction* toolbarButton(const char* name) const {
    for (QAction* a : window->toolStrip().windowBar->actions())
      if (a->objectName() == QLatin1String(name)) return a;
    return nullptr;
  }
};

TEST_F(SourcesInMainWindow, MenuItemsAndToolbarButtonsBringUpTheWindows) {
  frmProgram* program = window->programWindow();
  ASSERT_NE(program, nullptr);
  EXPECT_FALSE(program->isVisible());
  EXPECT_EQ(window->frameOf(program), nullptr);  // framed when first shown
  window->action("mnuWindows_Program")->trigger();
  ASSERT_NE(window->frameOf(program), nullptr);
  EXPECT_TRUE(program->isVisible());
  EXPECT_EQ(window->mdiArea()->activeSubWindow(), window->frameOf(program));
  EXPECT_EQ(window->action("mnuWindows_Program")->text(), "Программа");

  QAction* button = toolbarButton("showMicroProgramText");
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->toolTip(), "Микропрограмма (текст)");
  EXPECT_FALSE(button->icon().isNull());
  button->trigger();
  EXPECT_TRUE(window->microProgramWindow()->isVisible());
  EXPECT_EQ(window->mdiArea()->activeSubWindow(), window->frameOf(window->microProgramWindow()));
  ASSERT_NE(toolbarButton("showProgram"), nullptr);
  EXPECT_EQ(toolbarButton("showProgram")->toolTip(), "Программа (текст)");
  // Closing hides the window with its text; showing again brings it back.
  program->editor()->setUtf8Text("CLA\n");
  window->frameOf(program)->close();
  EXPECT_FALSE(program->isVisible());
  window->action("mnuWindows_Program")->trigger();
  EXPECT_TRUE(program->isVisible());
  EXPECT_EQ(program->editor()->utf8Text(), "CLA\n");
}

TEST_F(SourcesInMainWindow, AssemblingSetsTheStartAddressAndFromMemoryReadsIt) {
  window->ShowSourceWindow(window->programWindow());
  frmProgram* program = window->programWindow();
  program->editor()->setUtf8Text("ORG 20\nWORD 7\nstart: CLA\n");
  ASSERT_TRUE(program->Assemble());
  EXPECT_EQ(window->toolStrip().startAddress->text(), "021");
  window->toolStrip().startAddress->setText("020");
  program->FromMemory();
  // From 020 the word 7 reads as the command ISZ 007.
  const std::string text = program->editor()->utf8Text();
  EXPECT_NE(text.find("        START 020\n"), std::string::npos) << text;
  EXPECT_NE(text.find("        ISZ L_007\n        CLA\n"), std::string::npos) << text;
}

// Ctrl+S and Ctrl+O in an editor are the text's, not the dump's.
TEST_F(SourcesInMainWindow, TheEditorsKeysGoToTheText) {
  window->ShowSourceWindow(window->programWindow());
  SourceEditor* editor = window->programWindow()->editor();
  editor->setUtf8Text("HLT\n");
  editor->setFocus();
  QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
  ASSERT_FALSE(dialogs.shown.empty());
  EXPECT_EQ(dialogs.shown.back().kind, "save");
  EXPECT_EQ(dialogs.shown.back().text, "Программа Vesk (*.vasm);;Все файлы (*.*)");
  QTest::keyClick(editor, Qt::Key_F9);
  EXPECT_EQ(machine.memory.Value(0), "1111000000000000");
  // Ctrl+X there cuts the text; it does not end the program ("Выход").
  editor->selectAll();
  QTest::keyClick(editor, Qt::Key_X, Qt::ControlModifier);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(editor->utf8Text(), "");
  // Ctrl+F is the editor's search.
  QTest::keyClick(editor, Qt::Key_F, Qt::ControlModifier);
  EXPECT_TRUE(window->programWindow()->searchBar()->isVisible());
  // Outside the editors the keys are the main window's again.
  window->BringUp(window->memoryWindow());
  QTest::keyClick(window->mdiArea(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(dialogs.shown.back().title, "Сохранить дамп...");
}

TEST_F(SourcesInMainWindow, ExitAsksBeforeUnsavedTextsAreLostAndWindowsKeepTheirPlaces) {
  window->ShowSourceWindow(window->microProgramWindow());
  const QRect placed(30, 20, 500, 300);
  window->frameOf(window->microProgramWindow())->setGeometry(placed);
  window->microProgramWindow()->editor()->insert(QStringLiteral("01 | | NOP\n"));
  dialogs.answers = {false};
  EXPECT_FALSE(window->close());
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(dialogs.shown.back().text, "Текст микропрограммы изменён и не сохранён.\nПродолжить без сохранения?");
  dialogs.answers = {true};
  EXPECT_TRUE(window->close());
  EXPECT_NE(ReadIni(ini(), "Windows", "MicroProgramTextWidth", ""), "");
  EXPECT_EQ(ReadIni(ini(), "Windows", "ProgramWidth", ""), "");  // never shown
  // The next start shows it where it was left, in its size.
  window.reset();
  window = std::make_unique<MDIMain>(machine, dir.path(), &dialogs, SettingsLocation{ini(), false, ""});
  window->show();
  window->StartUp();
  window->ShowSourceWindow(window->microProgramWindow());
  EXPECT_EQ(window->frameOf(window->microProgramWindow())->geometry(), placed);
}

}  // namespace
