#include "app/mdi_main.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QMdiSubWindow>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <algorithm>
#include <filesystem>

#include "util/ini_file.h"
#include "app/examples_folder.h"
#include "app/machine.h"
#include "app/russian_texts.h"
#include "app/main_toolstrip.h"
#include "app/run_driver.h"
#include "core/frm_processor1.h"
#include "format/bit_string.h"
#include "io/frm_controllers.h"
#include "memory/frm_mem.h"
#include "memory/frm_micro_mem.h"
#include "memory/micro_program_file.h"
#include "support/temp_dir.h"
#include "support/tiny_micro_program.h"
#include "trace/frm_micro_trace.h"
#include "trace/frm_trace.h"
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
  EXPECT_EQ(dialogs.shown.back().text, "Error #9\r\nИндекс вне диапазона: в микропамяти нет адреса '00'");
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

TEST_F(MainWindowFixture, EveryChildWindowComesBackAfterItsCloseButton) {
  open();
  MainToolStrip& s = window->toolStrip();
  const std::vector<std::pair<QWidget*, std::vector<QAction*>>> ways = {
      {window->processorWindow(), {s.showProcessor}},
      {window->memoryWindow(), {s.showMemory}},
      {window->microMemoryWindow(), {s.showMicroMemory}},
      {window->traceWindow(), {s.showTrace}},
      {window->microTraceWindow(), {s.showMicroTrace}},
      {window->controllersWindow(), {s.showControllers, window->action("mnuWindows_Controllers")}},
  };
  for (const auto& [child, actions] : ways) {
    for (QAction* a : actions) {
      ASSERT_NE(a, nullptr) << child->windowTitle().toStdString();
      QMdiSubWindow* sub = window->frameOf(child);
      ASSERT_NE(sub, nullptr);
      sub->close();  // the frame's ✕
      ASSERT_FALSE(sub->isVisible());
      a->trigger();
      EXPECT_TRUE(sub->isVisible()) << a->text().toStdString();
      EXPECT_TRUE(child->isVisible()) << a->text().toStdString();
      EXPECT_EQ(window->mdiArea()->activeSubWindow(), sub) << a->text().toStdString();
      // Minimized, it is restored the same way.
      sub->showMinimized();
      a->trigger();
      EXPECT_FALSE(sub->isMinimized()) << a->text().toStdString();
    }
  }
}

TEST_F(MainWindowFixture, TheControllersWindowHasItsOwnMenuItemAndButton) {
  open();
  QAction* item = window->action("mnuWindows_Controllers");
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->text(), "Контроллеры внешних устройств");
  auto* windowsMenu = window->findChild<QMenu*>("mnuWindows");
  ASSERT_NE(windowsMenu, nullptr);
  EXPECT_TRUE(windowsMenu->actions().contains(item));
  MainToolStrip& s = window->toolStrip();
  EXPECT_EQ(s.showControllers->toolTip(), "Контроллеры внешних устройств");
  EXPECT_TRUE(s.windowBar->actions().contains(s.showControllers));
  // Beside the other window buttons, before the separator of "Свернуть".
  const QList<QAction*> bar = s.windowBar->actions();
  EXPECT_EQ(bar.indexOf(s.showControllers), bar.indexOf(s.showMicroTrace) + 1);
  // Its own picture, unlike every other button's.
  const QImage own = s.showControllers->icon().pixmap(24, 24).toImage();
  ASSERT_FALSE(own.isNull());
  for (QAction* other : {s.showMemory, s.showTrace, s.showProcessor, s.breakpoints, s.showMicroMemory, s.showMicroTrace,
                         s.minimize})
    EXPECT_NE(own, other->icon().pixmap(24, 24).toImage()) << other->toolTip().toStdString();
}

TEST_F(MainWindowFixture, AStartAddressAbove7FFIsRefusedAndNothingRuns) {
  open();
  loadTinyProgram();
  vesk::testing::Poke(machine.memory, 0, {"F000"});
  machine.trace.set_CCounter(7);
  for (const char* typed : {"800", "fff", "FFF"}) {
    dialogs.shown.clear();
    window->toolStrip().startAddress->setText(typed);
    window->action("mnuProcessor_Start")->trigger();
    ASSERT_EQ(dialogs.shown.size(), 1u) << typed;
    EXPECT_EQ(dialogs.shown[0].kind, "tell");
    EXPECT_EQ(dialogs.shown[0].icon, Dialogs::Icon::Warning);
    EXPECT_TRUE(dialogs.shown[0].text.contains("000–7FF")) << dialogs.shown[0].text.toStdString();
    EXPECT_TRUE(machine.runControl.Idle()) << typed;
    EXPECT_EQ(window->statusText(5), "Состояние : Останов  ") << "never ran";
    EXPECT_EQ(machine.trace.CCounter(), 7) << "the command count is left alone";
    EXPECT_EQ(machine.processor.Reg_Get_CommandCounter(), std::string(16, '0'));
  }
  // 7FF is the last word and starts there.
  vesk::testing::Poke(machine.memory, 0x7FF, {"F000"});
  dialogs.shown.clear();
  window->toolStrip().startAddress->setText("7ff");
  window->Start();
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_EQ(BinToHex(machine.processor.Reg_Get_CommandCounter()), "07FF");
  runUntilIdle();
  EXPECT_EQ(machine.trace.CCounter(), 1) << "the HLT at 7FF";
}

TEST_F(MainWindowFixture, FileDialogsStartInTheExamplesThenWhereTheUserLastWas) {
  const QString examples = QString::fromStdString(ExamplesFolder(dir.path()));
  ASSERT_FALSE(examples.isEmpty());
  ASSERT_TRUE(QFileInfo::exists(examples + "/sum.vdmp"));
  open();
  // The first dump dialog and the first micro-program dialog: the examples.
  window->action("mnuVesk_LoadDump")->trigger();  // cancelled
  window->microMemoryWindow()->LoadWithDialog();  // cancelled
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[0].folder, examples);
  EXPECT_EQ(dialogs.shown[1].folder, examples);
  // A cancelled dialog remembers nothing.
  window->action("mnuVesk_SaveDump")->trigger();
  EXPECT_EQ(dialogs.shown.back().folder, examples);

  // A dump saved in a folder of the user's: the next dump dialogs start there,
  // the micro-program dialogs keep their own folder.
  std::filesystem::create_directories(dir.file("work/dumps"));
  std::filesystem::create_directories(dir.file("work/micro"));
  dialogs.files.push_back(QString::fromStdString(dir.file("work/dumps/mine.vdmp")));
  window->action("mnuVesk_SaveDump")->trigger();
  ASSERT_TRUE(std::filesystem::exists(dir.file("work/dumps/mine.vdmp")));
  window->action("mnuVesk_LoadDump")->trigger();
  EXPECT_EQ(dialogs.shown.back().folder, QString::fromStdString(dir.file("work/dumps")));
  window->microMemoryWindow()->SaveWithDialog();
  EXPECT_EQ(dialogs.shown.back().folder, examples);
  dialogs.files.push_back(QString::fromStdString(dir.file("work/micro/mine.mpdmp")));
  window->microMemoryWindow()->SaveWithDialog();
  window->microMemoryWindow()->LoadWithDialog();
  EXPECT_EQ(dialogs.shown.back().folder, QString::fromStdString(dir.file("work/micro")));

  // Kept in cfg.ini, so the next start begins there too.
  window->close();
  window.reset();
  dialogs.shown.clear();
  open();
  window->action("mnuVesk_LoadDump")->trigger();
  window->microMemoryWindow()->LoadWithDialog();
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[0].folder, QString::fromStdString(dir.file("work/dumps")));
  EXPECT_EQ(dialogs.shown[1].folder, QString::fromStdString(dir.file("work/micro")));

  // A remembered folder that is gone: the examples again.
  std::filesystem::remove_all(dir.file("work/dumps"));
  window->action("mnuVesk_LoadDump")->trigger();
  EXPECT_EQ(dialogs.shown.back().folder, examples);
}

TEST_F(MainWindowFixture, TraceExportsRememberTheirOwnFolder) {
  open();
  loadTinyProgram();
  vesk::testing::Poke(machine.memory, 0, {"F000"});
  window->Start();
  runUntilIdle();
  dialogs.shown.clear();
  std::filesystem::create_directories(dir.file("reports"));
  dialogs.files.push_back(QString::fromStdString(dir.file("reports/t.html")));
  ASSERT_TRUE(window->traceWindow()->SaveLog());
  EXPECT_EQ(dialogs.shown[0].folder, QDir::homePath()) << "not the examples: a trace is the user's";
  window->microTraceWindow()->SaveLog();
  EXPECT_EQ(dialogs.shown.back().folder, QString::fromStdString(dir.file("reports")));
}

namespace {

std::vector<QMdiSubWindow*> MachineFrames(MDIMain& w) {
  return {w.frameOf(w.processorWindow()),   w.frameOf(w.memoryWindow()), w.frameOf(w.microMemoryWindow()),
          w.frameOf(w.controllersWindow()), w.frameOf(w.traceWindow()),  w.frameOf(w.microTraceWindow())};
}

}  // namespace

TEST_F(MainWindowFixture, AFirstStartArrangesTheWindowsInsteadOfPilingThem) {
  open();
  const QRect area(QPoint(0, 0), window->mdiArea()->viewport()->size());
  std::vector<QRect> places;
  for (QMdiSubWindow* sub : MachineFrames(*window)) {
    EXPECT_TRUE(area.contains(sub->geometry())) << sub->windowTitle().toStdString();
    places.push_back(sub->geometry());
  }
  // Not stacked at one corner: six different places, the processor at the top left.
  for (std::size_t i = 0; i < places.size(); ++i)
    for (std::size_t j = i + 1; j < places.size(); ++j) EXPECT_NE(places[i].topLeft(), places[j].topLeft()) << i << j;
  EXPECT_EQ(places[0].topLeft(), QPoint(0, 0));
  EXPECT_GT(places[4].top(), places[0].top()) << "the traces along the bottom";

  // Moved, resized, minimized and closed, "Расположить по умолчанию" brings
  // every one back to the same places.
  const auto frames = MachineFrames(*window);
  frames[0]->setGeometry(200, 150, 300, 200);
  frames[1]->showMinimized();
  frames[2]->close();
  frames[4]->showMaximized();
  QAction* item = window->action("mnuWindows_SetDefault");
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->text(), "Расположить по умолчанию");
  item->trigger();
  for (std::size_t i = 0; i < frames.size(); ++i) {
    EXPECT_TRUE(frames[i]->isVisible()) << i;
    EXPECT_FALSE(frames[i]->isMinimized()) << i;
    EXPECT_FALSE(frames[i]->isMaximized()) << i;
    EXPECT_EQ(frames[i]->geometry(), places[i]) << i;
  }
}

TEST_F(MainWindowFixture, StoredPlacesAndSizesComeBackAndStayInReach) {
  open();
  const auto frames = MachineFrames(*window);
  frames[1]->setGeometry(40, 30, 620, 300);
  frames[4]->setGeometry(100, 60, 500, 180);
  window->close();
  window.reset();
  // A place far outside the area, as a larger screen left it.
  WriteIni(ini(), "Windows", "ControllersLeft", std::to_string(15 * 5000));
  WriteIni(ini(), "Windows", "ControllersTop", std::to_string(15 * 4000));
  open();
  const auto again = MachineFrames(*window);
  EXPECT_EQ(again[1]->geometry(), QRect(40, 30, 620, 300));
  EXPECT_EQ(again[4]->geometry(), QRect(100, 60, 500, 180));
  const QRect area(QPoint(0, 0), window->mdiArea()->viewport()->size());
  const QRect controllers = again[3]->geometry();
  EXPECT_TRUE(area.contains(QPoint(controllers.left() + 20, controllers.top() + 10)))
      << "its title bar can be reached: " << controllers.x() << "," << controllers.y();
}

TEST_F(MainWindowFixture, CascadeMovesWindowsAndKeepsTheirSizes) {
  open();
  std::vector<QSize> sizes;
  const auto frames = MachineFrames(*window);
  frames[1]->resize(400, 300);
  frames[5]->resize(520, 260);
  for (QMdiSubWindow* sub : frames) sizes.push_back(sub->size());
  window->action("mnuWindows_SetCascade")->trigger();
  const QSize area = window->mdiArea()->viewport()->size();
  std::vector<QPoint> tops;
  for (std::size_t i = 0; i < frames.size(); ++i) {
    EXPECT_EQ(frames[i]->size(), sizes[i].boundedTo(area)) << i;
    tops.push_back(frames[i]->pos());
  }
  std::sort(tops.begin(), tops.end(), [](QPoint a, QPoint b) { return a.y() < b.y(); });
  EXPECT_EQ(tops.front(), QPoint(0, 0));
  EXPECT_NE(tops[1], tops[0]) << "each one a step lower";
}

TEST_F(MainWindowFixture, TheMainWindowStartsWhollyOnTheScreen) {
  const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
  // Stored by a window that was as tall as the screen before its frame.
  WriteIni(ini(), "Windows", "MDIMainLeft", "0");
  WriteIni(ini(), "Windows", "MDIMainTop", "0");
  WriteIni(ini(), "Windows", "MDIMainWidth", std::to_string(15 * (room.width() + 2)));
  WriteIni(ini(), "Windows", "MDIMainHeight", std::to_string(15 * (room.height() + 25)));
  open();
  EXPECT_TRUE(room.contains(window->frameGeometry())) << window->frameGeometry().height();
  EXPECT_TRUE(room.contains(window->statusBar()->mapTo(window.get(), QPoint(0, window->statusBar()->height() - 1)) +
                            window->geometry().topLeft()))
      << "the status bar is on the screen";
  window->close();
  window.reset();
  // A place on a screen that is no longer there: the default place.
  WriteIni(ini(), "Windows", "MDIMainLeft", std::to_string(15 * (room.right() + 400)));
  WriteIni(ini(), "Windows", "MDIMainTop", "1500");
  WriteIni(ini(), "Windows", "MDIMainWidth", "9000");
  WriteIni(ini(), "Windows", "MDIMainHeight", "6000");
  open();
  EXPECT_EQ(window->frameGeometry(), room);
}

TEST(RussianQtTexts, QtsOwnButtonsAndMenusSpeakRussian) {
  ASSERT_TRUE(InstallRussianQtTexts(*QCoreApplication::instance()));
  const QRegularExpression cyrillic(QStringLiteral("[А-Яа-яЁё]"));
  // The buttons of a question box.
  QMessageBox box(QMessageBox::Question, "Vesk", "?", QMessageBox::Yes | QMessageBox::No);
  for (QAbstractButton* b : box.buttons()) EXPECT_TRUE(b->text().contains(cyrillic)) << b->text().toStdString();
  // The context menu of every text field.
  QLineEdit field;
  std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
  int named = 0;
  for (QAction* a : menu->actions()) {
    if (a->isSeparator()) continue;
    EXPECT_TRUE(a->text().contains(cyrillic)) << a->text().toStdString();
    ++named;
  }
  EXPECT_GT(named, 4);
  // The menu of a child window's frame.
  QMdiArea area;
  QMdiSubWindow* sub = area.addSubWindow(new QWidget);
  ASSERT_NE(sub->systemMenu(), nullptr);
  for (QAction* a : sub->systemMenu()->actions())
    if (!a->isSeparator()) EXPECT_TRUE(a->text().contains(cyrillic)) << a->text().toStdString();
}
