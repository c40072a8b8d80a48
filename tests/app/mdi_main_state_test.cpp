// The main window's machine state files: "Сохранить состояние машины..." and
// "Загрузить состояние машины..." with their questions, and what every
// window shows after a load.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <filesystem>

#include "app/machine.h"
#include "app/machine_owners.h"
#include "app/main_toolstrip.h"
#include "app/mdi_main.h"
#include "app/turbo_driver.h"
#include "core/frm_processor1.h"
#include "core/register_panel.h"
#include "core/value_field.h"
#include "debug/breakpoint_markers.h"
#include "debug/breakpoints_table_model.h"
#include "debug/frm_breakpoints.h"
#include "io/controllers_table_model.h"
#include "io/frm_controllers.h"
#include "memory/frm_mem.h"
#include "memory/frm_micro_mem.h"
#include "memory/memory_table_model.h"
#include "memory/micro_memory_table_model.h"
#include "state/state_file.h"
#include "support/temp_dir.h"
#include "support/tiny_micro_program.h"
#include "util/ini_file.h"
#include "widgets/scripted_dialogs.h"

using namespace vesk;

namespace {

struct StateWindowFixture : ::testing::Test {
  vesk::testing::TempDir dir;
  Machine machine;
  vesk::testing::ScriptedDialogs dialogs;
  std::unique_ptr<MDIMain> window;

  void SetUp() override {
    window = std::make_unique<MDIMain>(machine, dir.path(), &dialogs, SettingsLocation{dir.file("cfg.ini"), false, ""});
    window->show();
    window->StartUp();
    window->breakpointsWindow()->show();
    dialogs.shown.clear();
  }
  QLineEdit* startField() { return window->toolStrip().startAddress; }
  void runUntilIdle(int limitMs = 20000) {
    QElapsedTimer t;
    t.start();
    do QTest::qWait(5);
    while (!machine.runControl.Idle() && t.elapsed() < limitMs);
  }
  bool save(const std::string& name) {
    dialogs.files.push_back(QString::fromStdString(dir.file(name)));
    window->action("mnuVesk_SaveState")->trigger();
    return std::filesystem::exists(dir.file(name));
  }
  void load(const std::string& name) {
    dialogs.files.push_back(QString::fromStdString(dir.file(name)));
    window->action("mnuVesk_LoadState")->trigger();
  }
  const vesk::testing::ShownDialog* lastTold() const {
    for (auto it = dialogs.shown.rbegin(); it != dialogs.shown.rend(); ++it)
      if (it->kind == "tell") return &*it;
    return nullptr;
  }

  // A lab's machine: a program with comments, a micro-program, a monitor on
  // a controller, registers, the full period, periods, a start address and
  // breakpoints of every kind, one disabled.
  void buildLab() {
    vesk::testing::LoadTinyMicroProgram(machine.microMemory);
    machine.microMemory.SetRow(0x40, "0000000011110000", "метка лабораторной");
    vesk::testing::Poke(machine.memory, 0x10, {"0000", "0000", "F000"});
    vesk::testing::Poke(machine.memory, 0x20, {"1234"});
    machine.memory.SetComment(0x20, "данные");
    machine.memory.SetComment(0x30, "пока пусто");
    machine.controllers.SetComment(Controllers::RowOfAddress(5), "вывод");
    machine.controllers.Reg_Set_Data(Controllers::AddressText(Controllers::RowOfAddress(6)), "01000001");
    machine.controllers.SetFlagOfRow(Controllers::RowOfAddress(6), 1);
    machine.processor.Reg_Set_A("0000000000000111");
    machine.processor.Reg_Set_Buffer("1111000011110000");
    window->SetMode(1);
    machine.runControl.SetIntervals(3, 4, 5);
    startField()->setText("010");
    machine.breakpoints.Set(BreakKind::Command, 0x11);
    machine.breakpoints.Set(BreakKind::Micro, 0x02);
    machine.breakpoints.SetEnabled(BreakKind::Micro, 0x02, false);
    machine.breakpoints.Set(BreakKind::MemoryWrite, 0x20);
    machine.breakpoints.Set(BreakKind::Controller, 6);
  }
  // Something else in every place the lab set.
  void spoilLab() {
    machine.memory.Mem_Clear();
    vesk::testing::Poke(machine.memory, 0x7FF, {"F000"});
    machine.memory.SetComment(0x7FF, "другое");
    machine.microMemory.SetRow(0x40, "0000000000000000", "");
    machine.microMemory.SetRow(0x01, "1111111111111111", "испорчено");
    machine.controllers.SetComment(Controllers::RowOfAddress(5), "");
    machine.controllers.SetFlagOfRow(Controllers::RowOfAddress(6), 0);
    machine.processor.Reg_Set_A("0000000000000000");
    machine.processor.Reg_Set_Buffer("0000000000000001");
    window->SetMode(2);
    machine.runControl.SetIntervals(20, 100, 100);
    startField()->setText("7FF");
    machine.breakpoints.RemoveAll();
    machine.breakpoints.Set(BreakKind::Command, 0x7FF);
  }

  // Everything the windows show of the state, as text.
  QStringList shown() {
    QStringList out;
    auto dump = [&out](const QString& name, const QAbstractItemModel* model) {
      for (int r = 0; r < model->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model->columnCount(); ++c) cells << model->index(r, c).data().toString();
        out << name + QString::number(r) + ": " + cells.join('|');
      }
    };
    dump("memory", window->memoryWindow()->model());
    dump("micro", window->microMemoryWindow()->model());
    dump("controllers", window->controllersWindow()->model());
    dump("breakpoints", window->breakpointsWindow()->model());
    for (Reg r : {Reg::A, Reg::Data, Reg::Command, Reg::CommandCounter, Reg::Address, Reg::Key, Reg::Buffer,
                  Reg::MicroCommand, Reg::MicroCounter})
      if (RegisterPanel* p = window->processorWindow()->panel(r); p != nullptr && p->hexField() != nullptr)
        out << "register" + QString::number(static_cast<int>(r)) + ": " + p->hexField()->text();
    out << "full: " + QString::number(window->action("mnuProcessor_ByMicroCommands")->isChecked());
    out << "short: " + QString::number(window->action("mnuProcessor_ByCommands")->isChecked());
    for (QLineEdit* field : window->toolStrip().periods) out << "period: " + field->text();
    out << "start: " + startField()->text();
    auto marks = [&out](const QString& name, BreakpointMarkers* m, int rows) {
      for (int r = 0; r < rows; ++r) {
        const RowMarks k = m->marks(r);
        if (k.breakpoint || k.watch)
          out << QStringLiteral("%1 marks %2: %3%4%5%6")
                     .arg(name)
                     .arg(r)
                     .arg(k.breakpoint)
                     .arg(k.breakpointEnabled)
                     .arg(k.watch)
                     .arg(k.watchEnabled);
      }
    };
    marks("memory", window->memoryMarkers(), window->memoryWindow()->model()->rowCount());
    marks("micro", window->microMemoryMarkers(), window->microMemoryWindow()->model()->rowCount());
    marks("controllers", window->controllerMarkers(), window->controllersWindow()->model()->rowCount());
    return out;
  }
};

}  // namespace

TEST_F(StateWindowFixture, TheCommandsStandInTheVeskMenuAfterTheDumpsWithTheirShortcuts) {
  QAction* saveState = window->action("mnuVesk_SaveState");
  QAction* loadState = window->action("mnuVesk_LoadState");
  ASSERT_NE(saveState, nullptr);
  ASSERT_NE(loadState, nullptr);
  EXPECT_EQ(saveState->text(), "Сохранить состояние машины...");
  EXPECT_EQ(loadState->text(), "Загрузить состояние машины...");
  EXPECT_EQ(saveState->shortcut().toString(), "Ctrl+Shift+S");
  EXPECT_EQ(loadState->shortcut().toString(), "Ctrl+Shift+O");
  const auto* menu = window->findChild<QMenu*>("mnuVesk");
  ASSERT_NE(menu, nullptr);
  const QList<QAction*> items = menu->actions();
  const qsizetype saveDump = items.indexOf(window->action("mnuVesk_SaveDump"));
  const qsizetype exit = items.indexOf(window->action("mnuVesk_Exit"));
  EXPECT_LT(saveDump, items.indexOf(loadState));
  EXPECT_LT(items.indexOf(loadState), items.indexOf(saveState));
  EXPECT_LT(items.indexOf(saveState), exit);
  EXPECT_TRUE(items[saveDump + 1]->isSeparator());
  EXPECT_TRUE(items[exit - 1]->isSeparator());

  // The shortcut itself reaches the command.
  QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
  ASSERT_FALSE(dialogs.shown.empty());
  EXPECT_EQ(dialogs.shown.back().kind, "save");
  EXPECT_EQ(dialogs.shown.back().text, "Состояние машины Vesk (*.vstate);;Все файлы (*.*)");
  QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(dialogs.shown.back().kind, "open");
  EXPECT_EQ(dialogs.shown.back().title, "Загрузить состояние машины...");
}

TEST_F(StateWindowFixture, SaveThenLoadIntoAChangedMachineShowsTheSavedStateInEveryWindow) {
  buildLab();
  const QStringList lab = shown();
  const std::optional<MachineState> before = CaptureState(OwnersOf(machine), "010");
  ASSERT_TRUE(before);
  ASSERT_TRUE(save("lab.vstate"));
  EXPECT_EQ(lastTold(), nullptr) << "a good save says nothing";

  spoilLab();
  ASSERT_NE(shown(), lab) << "the windows show the changed machine";
  load("lab.vstate");
  EXPECT_EQ(lastTold(), nullptr);
  EXPECT_EQ(CaptureState(OwnersOf(machine), "010"), before);
  EXPECT_EQ(shown(), lab);
  EXPECT_EQ(machine.processor.MODE, 1);
  EXPECT_EQ(startField()->text(), "010");
  EXPECT_EQ(window->toolStrip().periods[2]->text(), "5");
  // Micro-address 02 is the list's second row.
  EXPECT_TRUE(window->microMemoryMarkers()->marks(1).breakpoint);
  EXPECT_FALSE(window->microMemoryMarkers()->marks(1).breakpointEnabled);

  // Saving the loaded machine again writes the same bytes.
  ASSERT_TRUE(save("again.vstate"));
  EXPECT_EQ(vesk::testing::ReadBytes(dir.file("again.vstate")), vesk::testing::ReadBytes(dir.file("lab.vstate")));
}

TEST_F(StateWindowFixture, ALoadClearsTheStepBackHistoryAndLeavesTheTraces) {
  buildLab();
  window->SetMode(2);
  ASSERT_TRUE(save("lab.vstate"));
  machine.breakpoints.RemoveAll();
  startField()->setText("010");
  window->Start();
  runUntilIdle();
  ASSERT_FALSE(machine.history.Empty());
  const std::int64_t traceLines = machine.trace.LineCount();
  const std::int64_t microLines = machine.microTrace.LineCount();
  ASSERT_GT(traceLines, 0);

  load("lab.vstate");
  EXPECT_TRUE(machine.history.Empty());
  EXPECT_FALSE(machine.history.CanStepBack(2));
  EXPECT_EQ(machine.trace.LineCount(), traceLines);
  EXPECT_EQ(machine.microTrace.LineCount(), microLines);
  EXPECT_EQ(window->statusText(4), QString::fromStdString(History::kClearedNote));
}

TEST_F(StateWindowFixture, ABadFileChangesNothingAndTheBoxGivesTheReadersReason) {
  buildLab();
  const QStringList lab = shown();
  const std::optional<MachineState> before = CaptureState(OwnersOf(machine), "010");
  vesk::testing::WriteBytes(dir.file("bad.vstate"),
                            "{\"format\": \"vesk-state\", \"version\": 1, \"start\": \"900\"}\n");
  const StateRead read = LoadStateFile(dir.file("bad.vstate"));
  ASSERT_FALSE(read.ok);

  load("bad.vstate");
  const vesk::testing::ShownDialog* told = lastTold();
  ASSERT_NE(told, nullptr);
  EXPECT_EQ(told->title, "Загрузить состояние машины...");
  EXPECT_EQ(told->icon, Dialogs::Icon::Warning);
  EXPECT_TRUE(told->text.contains(QString::fromStdString(read.error))) << told->text.toStdString();
  EXPECT_EQ(CaptureState(OwnersOf(machine), "010"), before);
  EXPECT_EQ(shown(), lab);

  // A file that is not there, and one cut short: the same.
  dialogs.shown.clear();
  load("missing.vstate");
  ASSERT_NE(lastTold(), nullptr);
  EXPECT_TRUE(lastTold()->text.contains("missing.vstate"));
  ASSERT_TRUE(save("lab.vstate"));
  std::string bytes = vesk::testing::ReadBytes(dir.file("lab.vstate"));
  vesk::testing::WriteBytes(dir.file("cut.vstate"), bytes.substr(0, bytes.size() / 2));
  spoilLab();
  const QStringList spoiled = shown();
  dialogs.shown.clear();
  load("cut.vstate");
  ASSERT_NE(lastTold(), nullptr);
  EXPECT_EQ(shown(), spoiled);
}

TEST_F(StateWindowFixture, AStartAddressOutsideMemorySavesNothing) {
  startField()->setText("800");
  dialogs.files.push_back(QString::fromStdString(dir.file("lab.vstate")));
  window->action("mnuVesk_SaveState")->trigger();
  ASSERT_EQ(dialogs.shown.size(), 1u) << "no file dialog";
  EXPECT_EQ(dialogs.shown[0].kind, "tell");
  EXPECT_TRUE(dialogs.shown[0].text.contains("800"));
  EXPECT_TRUE(dialogs.shown[0].text.contains("не сохранено"));
  EXPECT_FALSE(std::filesystem::exists(dir.file("lab.vstate")));
}

TEST_F(StateWindowFixture, AnExistingFileIsReplacedOnlyAfterYes) {
  buildLab();
  vesk::testing::WriteBytes(dir.file("old.vstate"), "old");
  dialogs.answers.push_back(false);
  save("old.vstate");
  EXPECT_EQ(dialogs.shown.back().kind, "ask");
  EXPECT_EQ(dialogs.shown.back().text, "Такой файл уже существует!\nПерезаписать?");
  EXPECT_EQ(vesk::testing::ReadBytes(dir.file("old.vstate")), "old");
  dialogs.answers.push_back(true);
  save("old.vstate");
  const StateRead read = LoadStateFile(dir.file("old.vstate"));
  ASSERT_TRUE(read.ok) << read.error;
  EXPECT_EQ(read.state.start, "010");
  // The folder is remembered for the next state dialog, apart from dumps.
  EXPECT_EQ(ReadIni(dir.file("cfg.ini"), "Folders", "States", ""), dir.path());
  window->action("mnuVesk_LoadState")->trigger();  // cancelled
  EXPECT_EQ(dialogs.shown.back().folder, QString::fromStdString(dir.path()));
}

TEST_F(StateWindowFixture, ARunningMachineIsStoppedAtTheEndOfACommandOnlyAfterYes) {
  vesk::testing::LoadTinyMicroProgram(machine.microMemory);
  machine.runControl.SetIntervals(0, 1, 1);
  // Increments all through memory and round again: the machine runs until
  // it is stopped.
  window->Start();
  QTest::qWait(20);
  ASSERT_FALSE(machine.runControl.Idle());

  dialogs.answers.push_back(false);
  EXPECT_FALSE(save("run.vstate"));
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].kind, "ask");
  EXPECT_EQ(dialogs.shown[0].text, "Машина работает.\nОстановить её в конце команды и сохранить состояние?");
  EXPECT_FALSE(machine.runControl.Idle()) << "No leaves it running";

  dialogs.answers.push_back(true);
  ASSERT_TRUE(save("run.vstate"));
  EXPECT_TRUE(machine.runControl.Idle());
  EXPECT_FALSE(machine.processor.GetRunning());
  const StateRead read = LoadStateFile(dir.file("run.vstate"));
  ASSERT_TRUE(read.ok) << read.error;
  EXPECT_EQ(read.state, *CaptureState(OwnersOf(machine), "000"));

  // A fast run stopped for a load: the file's state, every window live.
  window->FastStart();
  QTest::qWait(20);
  ASSERT_TRUE(window->turboDriver().active());
  vesk::testing::Poke(machine.memory, 0x100, {"ABCD"});
  dialogs.answers.push_back(true);
  load("run.vstate");
  EXPECT_FALSE(window->turboDriver().active());
  EXPECT_TRUE(machine.runControl.Idle());
  EXPECT_EQ(*CaptureState(OwnersOf(machine), "000"), read.state);
  EXPECT_EQ(window->memoryWindow()->model()->index(0x100, 1).data().toString(),
            window->memoryWindow()->model()->index(0x101, 1).data().toString())
      << "the memory window shows the loaded (empty) row";
}
