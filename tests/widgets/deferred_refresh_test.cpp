// Displays that gather their owner's changes on a refresh beat: nothing is
// shown between beats, everything marked is shown on the beat and when
// deferral ends, and a live display shows each change at once.
#include "widgets/deferred_refresh.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/machine.h"
#include "core/control_unit_panel.h"
#include "core/frm_processor1.h"
#include "core/register_panel.h"
#include "core/signal_lamps_panel.h"
#include "core/value_field.h"
#include "format/bit_string.h"
#include "io/controllers_table_model.h"
#include "io/monitor_screen_model.h"
#include "memory/memory_table_model.h"
#include "memory/micro_memory_table_model.h"
#include "trace/trace_table_model.h"
#include "widgets/refresh_beat.h"

using namespace vesk;

namespace {

Word Bits(const char* hex) { return FitWidth(HexToBin(hex), 16); }

int Rows(const QSignalSpy& spy, int i) {
  return spy[i][1].value<QModelIndex>().row() - spy[i][0].value<QModelIndex>().row() + 1;
}

}  // namespace

TEST(RefreshBeat, FollowersDeferWithItAndShowTheirMarksOnEveryBeatAndAtTheEnd) {
  int applied = 0;
  RefreshBeat beat;
  DeferredRefresh part([&applied] { ++applied; });
  EXPECT_FALSE(part.deferred());
  part.follow(&beat);
  EXPECT_EQ(beat.followers(), 1u);
  EXPECT_FALSE(part.deferred());
  beat.setDeferred(true);
  EXPECT_TRUE(part.deferred());
  beat.beatNow();
  EXPECT_EQ(applied, 1);
  beat.setDeferred(false);
  EXPECT_FALSE(part.deferred());
  EXPECT_EQ(applied, 2);  // the closing beat
  EXPECT_EQ(beat.beats(), 2);

  // Joining a deferred beat defers at once; leaving it shows the marks.
  beat.setDeferred(true);
  DeferredRefresh late([&applied] { applied += 10; });
  late.follow(&beat);
  EXPECT_TRUE(late.deferred());
  late.follow(nullptr);
  EXPECT_FALSE(late.deferred());
  EXPECT_EQ(applied, 12);
  EXPECT_EQ(beat.followers(), 1u);
  {
    DeferredRefresh brief([] {});
    brief.follow(&beat);
    EXPECT_EQ(beat.followers(), 2u);
  }
  EXPECT_EQ(beat.followers(), 1u);
}

TEST(RefreshBeat, ADisplayOutlivingItsBeatTurnsLive) {
  int applied = 0;
  DeferredRefresh part([&applied] { ++applied; });
  {
    RefreshBeat beat;
    part.follow(&beat);
    beat.setDeferred(true);
  }
  EXPECT_EQ(part.beat(), nullptr);
  EXPECT_FALSE(part.deferred());
  EXPECT_EQ(applied, 1);
}

TEST(RefreshBeat, TheTimerBeatsOnlyWhileDeferred) {
  RefreshBeat beat;
  int applied = 0;
  DeferredRefresh part([&applied] { ++applied; });
  part.follow(&beat);
  QTest::qWait(3 * RefreshBeat::kIntervalMs);
  EXPECT_EQ(applied, 0);
  beat.setDeferred(true);
  QTest::qWait(3 * RefreshBeat::kIntervalMs);
  EXPECT_GE(applied, 1);
}

TEST(DeferredLists, MemoryRowsAndTheSelectionWaitForTheBeat) {
  MainMemory memory;
  MemoryTableModel model(memory);
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  RefreshBeat beat;
  model.deferredRefresh().follow(&beat);
  QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
  QSignalSpy selected(&model, &MemoryTableModel::ownerSelected);
  beat.setDeferred(true);
  memory.Mem_WriteMem("005", Bits("0001"));
  memory.Mem_WriteMem("300", Bits("0002"));
  memory.Mem_ReadMem("044");
  EXPECT_EQ(changed.count(), 0);
  EXPECT_EQ(selected.count(), 0);
  beat.beatNow();
  ASSERT_EQ(changed.count(), 1);
  EXPECT_EQ(changed[0][0].value<QModelIndex>().row(), 5);
  EXPECT_EQ(Rows(changed, 0), 0x300 - 5 + 1);
  ASSERT_EQ(selected.count(), 1);
  EXPECT_EQ(selected[0][0].toInt(), 0x44);
  beat.beatNow();  // nothing new: nothing to show
  EXPECT_EQ(changed.count(), 1);
  EXPECT_EQ(selected.count(), 1);
  memory.Mem_Clear();
  beat.setDeferred(false);
  ASSERT_EQ(changed.count(), 2);
  EXPECT_EQ(Rows(changed, 1), MainMemory::kWords);
  EXPECT_EQ(selected.last()[0].toInt(), -1);
  // Live again: one row per write.
  memory.Mem_WriteMem("007", Bits("0003"));
  ASSERT_EQ(changed.count(), 3);
  EXPECT_EQ(Rows(changed, 2), 1);
}

TEST(DeferredLists, MicroMemoryControllersAndMonitorGatherTheirRows) {
  Machine m;
  MicroMemoryTableModel micro(m.microMemory);
  ControllersTableModel controllers(m.controllers);
  MonitorScreenModel screen(m.monitor);
  RefreshBeat beat;
  for (DeferredRefresh* part : {&micro.deferredRefresh(), &controllers.deferredRefresh(), &screen.deferredRefresh()})
    part->follow(&beat);
  QSignalSpy microChanged(&micro, &QAbstractItemModel::dataChanged);
  QSignalSpy microSelected(&micro, &MicroMemoryTableModel::ownerSelected);
  QSignalSpy controllerChanged(&controllers, &QAbstractItemModel::dataChanged);
  QSignalSpy screenChanged(&screen, &QAbstractItemModel::dataChanged);
  beat.setDeferred(true);
  m.microMemory.Micro_WriteMem("10", Bits("0300"));
  m.microMemory.Micro_ReadMem("02");
  m.microMemory.Micro_ReadMem("03");
  m.controllers.SetFlagOfRow(7, 1);
  m.controllers.SetFlagOfRow(9, 1);
  m.monitor.SetChar(3, 2, 65);
  m.monitor.SetChar(4, 5, 66);
  EXPECT_EQ(microChanged.count() + microSelected.count() + controllerChanged.count() + screenChanged.count(), 0);
  beat.beatNow();
  ASSERT_EQ(microChanged.count(), 1);
  EXPECT_EQ(microChanged[0][0].value<QModelIndex>().row(), MicroMemoryTableModel::RowOfAddress(0x10));
  ASSERT_EQ(microSelected.count(), 1);
  EXPECT_EQ(microSelected[0][0].toInt(), 3);
  ASSERT_EQ(controllerChanged.count(), 1);
  EXPECT_EQ(Rows(controllerChanged, 0), 3);
  ASSERT_EQ(screenChanged.count(), 1);
  EXPECT_EQ(screenChanged[0][0].value<QModelIndex>().row(), 1);
  EXPECT_EQ(Rows(screenChanged, 0), 4);
  EXPECT_EQ(screen.data(screen.index(4, 3), Qt::DisplayRole).toString(), "B");
}

TEST(DeferredLists, TraceRowsAreInsertedOnTheBeatInOneBatch) {
  Machine m;
  TraceTableModel model(TraceTableModel::SourceOf(m.microTrace));
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  RefreshBeat beat;
  model.deferredRefresh().follow(&beat);
  QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
  beat.setDeferred(true);
  for (int i = 0; i < 500; ++i) {
    m.microTrace.set_PreMCC("01");
    m.microTrace.AddLine();
  }
  EXPECT_FALSE(model.batchPending());
  EXPECT_EQ(model.rowCount(), 0);
  beat.beatNow();
  ASSERT_EQ(inserted.count(), 1);
  EXPECT_EQ(model.rowCount(), 500);
  m.microTrace.set_PreMCC("01");
  m.microTrace.AddLine();
  beat.setDeferred(false);
  EXPECT_EQ(inserted.count(), 2);
  EXPECT_EQ(model.rowCount(), 501);
}

TEST(DeferredLists, ALongTraceShowsItsNewestLinesWhileDeferredAndEveryLineAfter) {
  Machine m;
  TraceTableModel model(TraceTableModel::SourceOf(m.microTrace));
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  auto add = [&m](int n) {
    for (int i = 0; i < n; ++i) {
      m.microTrace.set_PreMCC(i % 2 == 0 ? "01" : "02");
      m.microTrace.AddLine();
    }
  };
  const int tail = TraceTableModel::kTailRows;
  add(tail + 300);
  model.flush();
  ASSERT_EQ(model.rowCount(), tail + 300);
  RefreshBeat beat;
  model.deferredRefresh().follow(&beat);
  QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
  QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
  QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
  beat.setDeferred(true);  // the list keeps the newest lines only
  EXPECT_EQ(resets.count(), 1);
  EXPECT_EQ(model.rowCount(), tail);
  EXPECT_EQ(model.firstLine(), 300);
  add(7);
  beat.beatNow();  // seven leave at the top, seven arrive at the bottom
  ASSERT_EQ(removed.count(), 1);
  EXPECT_EQ(removed[0][1].toInt(), 0);
  EXPECT_EQ(removed[0][2].toInt(), 6);
  ASSERT_EQ(inserted.count(), 1);
  EXPECT_EQ(model.rowCount(), tail);
  EXPECT_EQ(model.firstLine(), 307);
  EXPECT_EQ(model.data(model.index(0, 0)).toString(), QString::fromStdString(m.microTrace.Cell(307, 0)));
  EXPECT_EQ(model.data(model.index(0, 0)).toString(), "02");
  add(3 * tail);  // more than the list holds between two beats: the newest alone
  beat.beatNow();
  EXPECT_EQ(resets.count(), 2);
  EXPECT_EQ(model.rowCount(), tail);
  EXPECT_EQ(model.firstLine(), m.microTrace.LineCount() - tail);
  add(1);
  beat.setDeferred(false);  // every line again, the newest included
  EXPECT_EQ(resets.count(), 3);
  EXPECT_EQ(model.firstLine(), 0);
  EXPECT_EQ(model.rowCount(), m.microTrace.LineCount());
  EXPECT_EQ(model.data(model.index(model.rowCount() - 1, 0)).toString(),
            QString::fromStdString(m.microTrace.Cell(m.microTrace.LineCount() - 1, 0)));
}

TEST(DeferredLists, TheProcessorWindowShowsRegistersAndLampsOnTheBeat) {
  QTemporaryDir dir;
  Machine m;
  frmProcessor1 w(m.processor, m.runControl, (dir.path() + "/cfg.ini").toStdString());
  w.show();
  RefreshBeat beat;
  w.deferredRefresh().follow(&beat);
  ValueField* a = w.panel(Reg::A)->hexField();
  SignalLamp* lamp = w.controlUnit()->lamps()->lamp(4);
  beat.setDeferred(true);
  m.processor.Reg_Set_A(Bits("1234"));
  m.processor.Reg_Set_A(Bits("4321"));
  m.processor.LV_Set(4, true);
  m.processor.Micro_Reg_Set_CommandCounter("2A");
  EXPECT_EQ(a->text(), "0000");
  EXPECT_FALSE(lamp->isOn());
  EXPECT_EQ(w.controlUnit()->microCounterHex()->text(), "01");
  beat.beatNow();
  EXPECT_EQ(a->text(), "4321");
  EXPECT_TRUE(lamp->isOn());
  EXPECT_EQ(w.controlUnit()->microCounterHex()->text(), "2A");
  m.processor.Reg_Set_Data(Bits("00FF"));
  m.processor.LV_Set(4, false);
  beat.setDeferred(false);
  EXPECT_EQ(w.panel(Reg::Data)->hexField()->text(), "00FF");
  EXPECT_FALSE(lamp->isOn());
  m.processor.Reg_Set_A(Bits("0007"));  // live again
  EXPECT_EQ(a->text(), "0007");
}
