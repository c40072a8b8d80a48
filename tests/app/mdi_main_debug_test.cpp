// The main window's breakpoints: the markers and commands of the lists, the
// breakpoints window, and the third status panel when a run stops at one.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QTest>
#include <algorithm>

#include "app/machine.h"
#include "app/main_toolstrip.h"
#include "app/mdi_main.h"
#include "debug/breakpoint_markers.h"
#include "debug/breakpoints_table_model.h"
#include "debug/frm_breakpoints.h"
#include "debug/step_highlights.h"
#include "format/bit_string.h"
#include "io/frm_controllers.h"
#include "memory/frm_mem.h"
#include "memory/frm_micro_mem.h"
#include "support/temp_dir.h"
#include "support/tiny_micro_program.h"
#include "widgets/scripted_dialogs.h"

using namespace vesk;

namespace {

struct DebugWindowFixture : ::testing::Test {
  vesk::testing::TempDir dir;
  Machine machine;
  vesk::testing::ScriptedDialogs dialogs;
  std::unique_ptr<MDIMain> window;

  void SetUp() override {
    window = std::make_unique<MDIMain>(machine, dir.path(), &dialogs, SettingsLocation{dir.file("cfg.ini"), false, ""});
    window->show();
    window->StartUp();
    vesk::testing::LoadTinyMicroProgram(machine.microMemory);
    machine.runControl.SetIntervals(0, 1, 1);
    // Three increments and a halt.
    vesk::testing::Poke(machine.memory, 0, {"0000", "0000", "0000", "F000"});
  }
  void runUntilIdle(int limitMs = 20000) {
    QElapsedTimer t;
    t.start();
    do QTest::qWait(5);
    while (!machine.runControl.Idle() && t.elapsed() < limitMs);
  }
  // A left click on the marker cell of a row.
  void clickMarker(BreakpointMarkers* markers, int row) {
    MarkerColumn* column = markers->column();
    QTableView* view = qobject_cast<QTableView*>(column->parentWidget());
    ASSERT_NE(view, nullptr);
    view->scrollTo(view->model()->index(row, 0));
    QApplication::processEvents();
    const int y = column->sectionViewportPosition(row) + column->sectionSize(row) / 2;
    QTest::mouseClick(column->viewport(), Qt::LeftButton, {}, QPoint(column->width() / 2, y));
  }
};

}  // namespace

TEST_F(DebugWindowFixture, TheMemoryListSetsBreakpointsByF9ByMenuAndByClick) {
  BreakpointMarkers* markers = window->memoryMarkers();
  ASSERT_NE(markers, nullptr);
  EXPECT_TRUE(markers->column()->isVisible());
  EXPECT_EQ(markers->column()->width(), MarkerColumn::kWidth);

  window->memoryWindow()->selectRow(0x1A);
  window->memoryWindow()->list()->setFocus();
  QTest::keyClick(window->memoryWindow()->list(), Qt::Key_F9);
  EXPECT_TRUE(machine.breakpoints.Enabled(BreakKind::Command, 0x1A));
  QTest::keyClick(window->memoryWindow()->list(), Qt::Key_F9);
  EXPECT_FALSE(machine.breakpoints.Has(BreakKind::Command, 0x1A));

  clickMarker(markers, 0x20);
  EXPECT_TRUE(machine.breakpoints.Has(BreakKind::Command, 0x20));
  clickMarker(markers, 0x20);
  EXPECT_FALSE(machine.breakpoints.Has(BreakKind::Command, 0x20));

  // The context menu's items act on the selected row and show its state.
  window->memoryWindow()->selectRow(0x30);
  emit markers->menu()->aboutToShow();
  EXPECT_FALSE(markers->breakAction()->isChecked());
  markers->watchAction()->trigger();
  EXPECT_TRUE(machine.breakpoints.Has(BreakKind::MemoryWrite, 0x30));
  emit markers->menu()->aboutToShow();
  EXPECT_TRUE(markers->watchAction()->isChecked());
  EXPECT_EQ(markers->breakAction()->text(), "Точка останова");

  // The arrow follows СК.
  machine.processor.Reg_Set_CommandCounter("00000010010");
  EXPECT_EQ(markers->arrowRow(), 0x12);
}

TEST_F(DebugWindowFixture, MicroMemoryAndControllersHaveTheirOwn) {
  BreakpointMarkers* micro = window->microMemoryMarkers();
  window->microMemoryWindow()->selectAddress(0x0A);
  micro->breakAction()->trigger();
  EXPECT_TRUE(machine.breakpoints.Has(BreakKind::Micro, 0x0A));
  clickMarker(micro, 0);  // row 0 is micro-address 01
  EXPECT_TRUE(machine.breakpoints.Has(BreakKind::Micro, 0x01));
  machine.processor.Micro_Reg_Set_CommandCounter("1A");
  EXPECT_EQ(micro->arrowRow(), 0x19);
  // The window's own menu keeps its items and gains the breakpoint's.
  EXPECT_TRUE(window->microMemoryWindow()->contextMenu()->actions().contains(micro->breakAction()));

  BreakpointMarkers* io = window->controllerMarkers();
  EXPECT_EQ(io->breakAction(), nullptr);
  window->controllersWindow()->selectRow(Controllers::RowOfAddress(0x05));
  io->watchAction()->trigger();
  EXPECT_TRUE(machine.breakpoints.Has(BreakKind::Controller, 0x05));
  clickMarker(io, Controllers::RowOfAddress(0x00));  // the last row
  EXPECT_TRUE(machine.breakpoints.Has(BreakKind::Controller, 0x00));
  EXPECT_TRUE(window->controllersWindow()->contextMenu()->actions().contains(io->watchAction()));
}

TEST_F(DebugWindowFixture, PanelThreeNamesTheBreakpointARunStoppedAt) {
  EXPECT_EQ(window->statusText(3), "Последняя точка останова : нет ");
  machine.breakpoints.Set(BreakKind::Command, 0x002);
  window->action("mnuProcessor_Start")->trigger();
  runUntilIdle();
  EXPECT_EQ(window->statusText(3), "Последняя точка останова : 002 ");
  EXPECT_EQ(window->statusText(5), "Состояние : Останов ");
  EXPECT_EQ(window->memoryMarkers()->arrowRow(), 0x002);

  // A micro-command breakpoint in the full period, met again after F7.
  window->SetMode(1);
  machine.breakpoints.Set(BreakKind::Micro, 0x0A);
  window->action("mnuProcessor_Continue")->trigger();
  runUntilIdle();
  EXPECT_EQ(window->statusText(3), "Последняя точка останова : МК 0A ");
  EXPECT_EQ(machine.processor.Micro_Reg_Get_CommandCounter(), "0A");
  EXPECT_EQ(window->microMemoryMarkers()->arrowRow(), 0x09);
  window->action("mnuProcessor_Continue")->trigger();
  runUntilIdle();
  EXPECT_EQ(machine.processor.Micro_Reg_Get_CommandCounter(), "01");  // the HLT came first
  EXPECT_EQ(machine.trace.CCounter(), 4);

  // The fast run stops at one too.
  machine.breakpoints.RemoveAll();
  machine.breakpoints.Set(BreakKind::Command, 0x001);
  window->action("mnuProcessor_FastStart")->trigger();
  runUntilIdle();
  EXPECT_EQ(window->statusText(3), "Последняя точка останова : 001 ");
}

TEST_F(DebugWindowFixture, TheBreakpointsWindowListsAddsAndRemoves) {
  MainToolStrip& strip = window->toolStrip();
  EXPECT_TRUE(strip.breakpoints->isEnabled());
  strip.breakpoints->trigger();
  frmBreakpoints* w = window->breakpointsWindow();
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->isVisible());
  EXPECT_EQ(w->windowTitle(), "Точки останова");
  EXPECT_NE(window->action("mnuWindows_Breakpoints"), nullptr);

  machine.memory.SetComment(0x01A, "начало цикла");
  machine.breakpoints.Set(BreakKind::Command, 0x01A);
  machine.breakpoints.Set(BreakKind::Controller, 0x05);
  w->kindSelector()->setCurrentIndex(static_cast<int>(BreakKind::Micro));
  w->addressField()->setText("1b");
  w->addButton()->click();
  BreakpointsTableModel* model = w->model();
  ASSERT_EQ(model->rowCount(), 3);
  EXPECT_EQ(model->index(0, BreakpointsTableModel::kKind).data().toString(), "Команда");
  EXPECT_EQ(model->index(0, BreakpointsTableModel::kAddress).data().toString(), "01A");
  EXPECT_EQ(model->index(0, BreakpointsTableModel::kComment).data().toString(), "начало цикла");
  EXPECT_EQ(model->index(1, BreakpointsTableModel::kAddress).data().toString(), "1B");
  EXPECT_EQ(model->index(2, BreakpointsTableModel::kKind).data().toString(), "Контроллер ВУ");
  EXPECT_EQ(model->index(0, 0).data(Qt::CheckStateRole).toInt(), Qt::Checked);

  // A micro-address 00 names no micro-command.
  w->addressField()->setText("00");
  w->addButton()->click();
  EXPECT_EQ(model->rowCount(), 3);
  EXPECT_TRUE(w->note()->text().contains("Нет такого адреса")) << w->note()->text().toStdString();

  // The check box and the button switch one off and on.
  model->setData(model->index(0, 0), Qt::Unchecked, Qt::CheckStateRole);
  EXPECT_FALSE(machine.breakpoints.Enabled(BreakKind::Command, 0x01A));
  w->list()->selectRow(0);
  w->toggleButton()->click();
  EXPECT_TRUE(machine.breakpoints.Enabled(BreakKind::Command, 0x01A));

  // A double click shows the row in its window.
  emit w->list()->doubleClicked(model->index(0, BreakpointsTableModel::kAddress));
  EXPECT_EQ(window->memoryWindow()->selectedRow(), 0x01A);
  emit w->list()->doubleClicked(model->index(1, BreakpointsTableModel::kKind));
  EXPECT_EQ(window->microMemoryWindow()->selectedAddress(), 0x1B);

  w->list()->selectRow(1);
  w->removeButton()->click();
  EXPECT_FALSE(machine.breakpoints.Has(BreakKind::Micro, 0x1B));
  EXPECT_EQ(model->rowCount(), 2);
  w->removeAllButton()->click();
  EXPECT_EQ(model->rowCount(), 0);
  EXPECT_EQ(machine.breakpoints.Count(), 0);
  EXPECT_FALSE(w->removeAllButton()->isEnabled());
}

TEST_F(DebugWindowFixture, BreakpointsOutliveLoadsAndClears) {
  machine.breakpoints.Set(BreakKind::Command, 0x003);
  machine.breakpoints.Set(BreakKind::Micro, 0x05);
  machine.memory.Mem_Clear();
  vesk::testing::LoadTinyMicroProgram(machine.microMemory);
  EXPECT_EQ(machine.breakpoints.Count(), 2);
}

TEST_F(DebugWindowFixture, StepBackFromTheMenuAndTheToolbarWithTheChangesShown) {
  // Three increments that also write 020 and 021, then a halt.
  vesk::testing::Poke(machine.memory, 0, {"0000", "4020", "0000", "F000"});
  machine.runControl.SetIntervals(0, 0, 0);
  for (int i = 0; i < 2; ++i) {
    window->action("mnuProcessor_ExecuteNextCommand")->trigger();
    runUntilIdle();
  }
  EXPECT_EQ(BitsValue(machine.processor.Reg_Get_CommandCounter()), 2u);
  // The second command wrote 020 and 021: highlighted, as is СК's panel.
  StepHighlights* h = window->stepHighlights();
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(h->memoryKind(0x020), 1);
  EXPECT_EQ(h->memoryKind(0x021), 1);
  EXPECT_EQ(h->memoryKind(0x022), 0);
  EXPECT_NE(std::find(h->shown().registers.begin(), h->shown().registers.end(), Reg::CommandCounter),
            h->shown().registers.end());

  QAction* back = window->action("mnuProcessor_StepBack");
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->shortcut(), QKeySequence("Shift+F8"));
  EXPECT_EQ(window->action("mnuProcessor_BackToBreakpoint")->shortcut(), QKeySequence("Shift+F7"));
  back->trigger();
  EXPECT_EQ(BitsValue(machine.processor.Reg_Get_CommandCounter()), 1u);
  EXPECT_EQ(machine.memory.Value(0x020), std::string(16, '0'));
  EXPECT_EQ(window->statusText(1), "Выполнено команд : 1 ");
  EXPECT_EQ(h->memoryKind(0x020), 0);  // the first command wrote nothing
  EXPECT_EQ(window->memoryMarkers()->arrowRow(), 1);

  window->toolStrip().stepBack->trigger();
  EXPECT_EQ(BitsValue(machine.processor.Reg_Get_CommandCounter()), 0u);
  window->toolStrip().stepBack->trigger();  // nowhere left to go
  EXPECT_EQ(window->statusText(4), "Шаг назад невозможен: история шагов пуста");

  // An edit while stopped clears the history, and panel 4 says so.
  window->action("mnuProcessor_ExecuteNextCommand")->trigger();
  runUntilIdle();
  machine.memory.Mem_WriteMem("100", std::string(16, '1'));
  EXPECT_EQ(window->statusText(4), QString::fromStdString(History::kClearedNote));

  // Back to a breakpoint after a run.
  machine.breakpoints.Set(BreakKind::Command, 0x002);
  window->toolStrip().startAddress->setText("000");
  window->action("mnuProcessor_Start")->trigger();
  runUntilIdle();  // stops at the breakpoint
  window->action("mnuProcessor_Continue")->trigger();
  runUntilIdle();  // to the halt
  window->toolStrip().backToBreakpoint->trigger();
  EXPECT_EQ(BitsValue(machine.processor.Reg_Get_CommandCounter()), 2u);
  EXPECT_EQ(window->statusText(3), "Последняя точка останова : 002 ");
}
