#include "app/mdi_main.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMdiSubWindow>
#include <QTest>
#include <filesystem>

#include "util/ini_file.h"
#include "app/machine.h"
#include "app/main_toolstrip.h"
#include "app/run_driver.h"
#include "core/frm_processor1.h"
#include "format/bit_string.h"
#include "memory/frm_mem.h"
#include "memory/micro_program_file.h"
#include "support/temp_dir.h"
#include "support/tiny_micro_program.h"
#include "widgets/scripted_dialogs.h"

using namespace vesk;

namespace {

struct MainWindowFixture : ::testing::Test {
  vesk::testing::TempDir dir;
  Machine machine;
  vesk::testing::ScriptedDialogs dialogs;
  std::unique_ptr<MDIMain> window;

  std::string ini() const { return dir.file("cfg.ini"); }
  void open() {
    window = std::make_unique<MDIMain>(machine, dir.path(), &dialogs, SettingsLocation{ini(), false, ""});
    window->show();
    window->StartUp();
  }
  // Runs the event loop until the machine rests (or a time limit).
  void runUntilIdle(int limitMs = 20000) {
    QElapsedTimer t;
    t.start();
    do QTest::qWait(5);
    while (!machine.runControl.Idle() && t.elapsed() < limitMs);
  }
  void loadTinyProgram() {
    vesk::testing::LoadTinyMicroProgram(machine.microMemory);
    machine.runControl.SetIntervals(0, 1, 1);
  }
  QString field(std::size_t i) { return window->toolStrip().periods[i]->text(); }
};

}  // namespace

TEST_F(MainWindowFixture, StartUpWithoutSettingsFile) {
  open();
  EXPECT_EQ(window->windowTitle(), "Vesk");
  EXPECT_EQ(field(0), "20");
  EXPECT_EQ(field(1), "100");
  EXPECT_EQ(field(2), "100");
  EXPECT_EQ(machine.processor.MODE, 2);
  EXPECT_TRUE(window->action("mnuProcessor_ByCommands")->isChecked());
  EXPECT_FALSE(window->action("mnuProcessor_ByMicroCommands")->isChecked());
  EXPECT_EQ(machine.microMemory.Value(1), std::string(16, '0'));  // no micro-program
  EXPECT_EQ(window->statusText(1), "Выполнено команд : 0 ");
  EXPECT_EQ(window->statusText(2), "Выполнено микрокоманд : 0 ");
  EXPECT_EQ(window->statusText(3), "Последняя точка останова : нет ");
  EXPECT_EQ(window->statusText(4), "");
  EXPECT_EQ(window->statusText(5), "Состояние : Останов  ");
  EXPECT_EQ(window->toolStrip().startAddress->text(), "000");
  EXPECT_EQ(window->toolStrip().progress->value(), 5);
  for (QMdiSubWindow* sub : window->mdiArea()->subWindowList()) EXPECT_TRUE(sub->isVisible());
  EXPECT_EQ(window->mdiArea()->subWindowList().size(), 6);
  EXPECT_EQ(machine.processor.Micro_Reg_Get_CommandCounter(), "01");
}

TEST_F(MainWindowFixture, MenusCarryTheirNamesAndShortcuts) {
  open();
  const std::vector<std::pair<const char*, const char*>> shortcuts = {
      {"mnuVesk_LoadDump", "Ctrl+O"}, {"mnuVesk_SaveDump", "Ctrl+S"},           {"mnuVesk_Exit", "Ctrl+X"},
      {"mnuProcessor_Start", "F5"},   {"mnuProcessor_Stop", "F6"},              {"mnuProcessor_Continue", "F7"},
      {"mnuProcessor_ExecuteNextCommand", "F8"}};
  for (const auto& [name, key] : shortcuts) {
    QAction* a = window->action(name);
    ASSERT_NE(a, nullptr) << name;
    EXPECT_EQ(a->shortcut().toString(), key) << name;
  }
  EXPECT_EQ(window->action("mnuVesk_ClearMem")->text(), "Обнулить память");
  EXPECT_EQ(window->action("mnuProcessor_Interrupt")->text(), "Сгенерировать прерывание");
  EXPECT_EQ(window->action("mnuWindows_SetCascade")->text(), "Расположить каскадом");
  EXPECT_EQ(window->action("mnuWindows_ArangeMinimized_Bottom")->text(), "Снизу");
}

TEST_F(MainWindowFixture, StartRunsFromTheTypedAddressAndTheStatusBarFollows) {
  open();
  loadTinyProgram();
  vesk::testing::Poke(machine.memory, 0x10, {"0000", "0000", "F000"});
  window->toolStrip().startAddress->setText("010");
  window->Start();
  EXPECT_EQ(BinToHex(machine.processor.Reg_Get_CommandCounter()), "0010");
  EXPECT_EQ(window->statusText(5), "Состояние : Работа ");
  runUntilIdle();
  EXPECT_EQ(BinToHex(machine.processor.Reg_Get_A()), "0002");
  EXPECT_EQ(window->statusText(1), "Выполнено команд : 3 ");
  EXPECT_EQ(window->statusText(2), "Выполнено микрокоманд : 34 ");
  EXPECT_EQ(window->statusText(5), "Состояние : Останов ");
  EXPECT_FALSE(window->driver().active());  // an idle machine lets the timer sleep
}

TEST_F(MainWindowFixture, StepExecutesOneWholeCommand) {
  open();
  loadTinyProgram();
  vesk::testing::Poke(machine.memory, 0, {"0000", "0000", "F000"});
  window->Step();
  runUntilIdle();
  EXPECT_EQ(BinToHex(machine.processor.Reg_Get_A()), "0001");
  EXPECT_EQ(machine.trace.CCounter(), 1);
  window->Step();
  runUntilIdle();
  EXPECT_EQ(BinToHex(machine.processor.Reg_Get_A()), "0002");
  EXPECT_EQ(machine.trace.CCounter(), 2);
  EXPECT_EQ(machine.trace.LineCount(), 3);  // the start line of the first step, two commands
}

TEST_F(MainWindowFixture, ApplyWritesRoundedPeriodsAndRefusesThreeZeros) {
  open();
  auto set = [this](const char* a, const char* b, const char* c) {
    window->toolStrip().periods[0]->setText(a);
    window->toolStrip().periods[1]->setText(b);
    window->toolStrip().periods[2]->setText(c);
  };
  set("10", "20", "30");
  window->ApplyPeriods();
  EXPECT_EQ(ReadIni(ini(), "General", "Interval1", ""), "10");
  EXPECT_EQ(ReadIni(ini(), "General", "Interval2", ""), "20");
  EXPECT_EQ(ReadIni(ini(), "General", "Interval3", ""), "30");
  set("12.6", "abc", "1");
  window->ApplyPeriods();
  EXPECT_EQ(field(0), "13");
  EXPECT_EQ(field(1), "0");
  EXPECT_EQ(ReadIni(ini(), "General", "Interval1", ""), "13");
  EXPECT_EQ(ReadIni(ini(), "General", "Interval2", ""), "0");
  EXPECT_EQ(machine.runControl.Interval(1), 13);
  dialogs.shown.clear();
  set("0", "0", "0");
  window->ApplyPeriods();
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].kind, "tell");
  EXPECT_EQ(machine.runControl.Interval(1), 13);
  EXPECT_EQ(field(0), "13");  // the fields show the periods still in force
  EXPECT_EQ(ReadIni(ini(), "General", "Interval1", ""), "13");
}

TEST_F(MainWindowFixture, SettingsFileModeAndPeriodsAreReadAtStartUp) {
  WriteIni(ini(), "General", "Mode", "1");
  WriteIni(ini(), "General", "Interval1", "7");
  WriteIni(ini(), "General", "Interval2", "8.5");
  open();
  EXPECT_EQ(machine.processor.MODE, 1);
  EXPECT_TRUE(window->action("mnuProcessor_ByMicroCommands")->isChecked());
  EXPECT_EQ(field(0), "7");
  EXPECT_EQ(field(1), "8");
  EXPECT_EQ(field(2), "100");
  window->action("mnuProcessor_ByCommands")->trigger();
  EXPECT_EQ(machine.processor.MODE, 2);
  EXPECT_FALSE(window->action("mnuProcessor_ByMicroCommands")->isChecked());
}

TEST_F(MainWindowFixture, DefaultMicroProgramIsLoadedRelativeToTheProgramFolder) {
  MicroMemory mm;
  vesk::testing::LoadTinyMicroProgram(mm);
  ASSERT_TRUE(SaveMicroProgram(mm, dir.file("shipped.mpdmp")).ok);
  WriteIni(ini(), "General", "Microprogram", "shipped.mpdmp");
  open();
  EXPECT_EQ(BinToHex(machine.microMemory.Value(1)), "0300");
  EXPECT_EQ(machine.microMemory.Comment(3), "Чтение памяти");
}

TEST_F(MainWindowFixture, InterruptButtonShowsThePendingRequest) {
  open();
  QAction* button = window->toolStrip().interrupt;
  EXPECT_FALSE(button->isChecked());
  button->trigger();
  EXPECT_TRUE(button->isChecked());
  EXPECT_EQ(GetBit(machine.processor.Reg_Get_State(), 5), 1);
  button->trigger();  // clicking the pressed button leaves it pressed
  EXPECT_TRUE(button->isChecked());
  machine.processor.SetInterruptReg(0);  // as the micro-program's acceptance does
  EXPECT_FALSE(button->isChecked());
  window->action("mnuProcessor_Interrupt")->trigger();
  EXPECT_TRUE(button->isChecked());
}

TEST_F(MainWindowFixture, ArrangingWithNothingMinimizedMovesNothing) {
  open();
  std::vector<QPoint> before;
  for (QMdiSubWindow* sub : window->mdiArea()->subWindowList()) before.push_back(sub->pos());
  for (auto side : {ArrangeSide::Left, ArrangeSide::Right, ArrangeSide::Bottom}) window->ArrangeMinimized(side);
  std::size_t i = 0;
  for (QMdiSubWindow* sub : window->mdiArea()->subWindowList()) EXPECT_EQ(sub->pos(), before[i++]);
  // A minimized processor window goes to the bottom-left corner.
  QMdiSubWindow* cpu = window->frameOf(window->processorWindow());
  cpu->showMinimized();
  window->ArrangeMinimized(ArrangeSide::Left);
  const QSize client = window->mdiArea()->viewport()->size();
  EXPECT_EQ(cpu->pos(), QPoint(0, client.height() - cpu->frameGeometry().height()));
  window->BringUp(window->processorWindow());
  EXPECT_FALSE(cpu->isMinimized());
}

TEST_F(MainWindowFixture, SaveDumpOverAnExistingFileAnsweredNoWritesNothing) {
  open();
  const std::string path = dir.file("old.vdmp");
  vesk::testing::WriteBytes(path, "old");
  dialogs.files.push_back(QString::fromStdString(path));
  dialogs.answers.push_back(false);
  window->action("mnuVesk_SaveDump")->trigger();
  EXPECT_EQ(vesk::testing::ReadBytes(path), "old");
  ASSERT_GE(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[0].title, "Сохранить дамп...");
  EXPECT_EQ(dialogs.shown[1].kind, "ask");
}

TEST_F(MainWindowFixture, ShutDownSavesChildrenThenTheMainWindow) {
  open();
  window->close();
  for (const char* name : {"Processor", "Mem", "MicroMem", "Controllers", "Trace", "MicroTrace", "MDIMain"})
    EXPECT_NE(ReadIni(ini(), "Windows", std::string(name) + "Width", ""), "") << name;
  EXPECT_EQ(ReadIni(ini(), "Windows", "MDIMainWState", ""), "0");
}

TEST_F(MainWindowFixture, MachineErrorsAreShownAfterTheTick) {
  open();
  // Micro-memory all zero: the run walks to micro-address 00 and stops there.
  machine.runControl.SetIntervals(0, 1, 1);
  window->Start();
  runUntilIdle();
  QTest::qWait(20);
  ASSERT_FALSE(dialogs.shown.empty());
  EXPECT_EQ(dialogs.shown.back().kind, "tell");
  EXPECT_TRUE(dialogs.shown.back().text.startsWith("Error #9"));
  EXPECT_EQ(dialogs.shown.back().icon, Dialogs::Icon::Warning);
}

TEST(SettingsLocation, AFolderThatCannotBeWrittenUsesTheUserFolder) {
  vesk::testing::TempDir dir;
  const std::string programDir = dir.file("no-such-program-folder");
  const SettingsLocation loc = ChooseSettingsLocation(programDir, dir.file("config"));
  EXPECT_TRUE(loc.inUserFolder);
  EXPECT_EQ(loc.path, dir.file("config") + "/vesk/cfg.ini");
  EXPECT_FALSE(loc.note.empty());
  const SettingsLocation here = ChooseSettingsLocation(dir.path(), dir.file("config"));
  EXPECT_FALSE(here.inUserFolder);
  EXPECT_EQ(here.path, dir.file("cfg.ini"));
}
