// A trace window's list over a trace at its line limit: rows whose lines
// went leave at the top, live in one remove per batch, during a fast run on
// the beat, and every kept line is shown at the end.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

#include "app/machine.h"
#include "format/bit_string.h"
#include "trace/frm_micro_trace.h"
#include "trace/trace_table_model.h"
#include "widgets/refresh_beat.h"
#include "widgets/scripted_dialogs.h"

using namespace vesk;

namespace {

QString Hex4(int v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%04X", v & 0xFFFF);
  return buf;
}

struct TraceListLimit : ::testing::Test {
  Machine m;
  int next = 0;
  // Micro-command line n shows РД n (column 5).
  void add(int count) {
    m.microTrace.set_PreMCC("01");
    for (int i = 0; i < count; ++i, ++next) {
      m.processor.Reg_Set_Data(FitWidth(HexToBin(Hex4(next).toStdString()), 16));
      m.microTrace.AddLine();
    }
  }
  static QString cell(const TraceTableModel& model, int row) { return model.data(model.index(row, 5)).toString(); }
  // The list shows exactly the lines the trace keeps.
  void expectShowsEveryKeptLine(const TraceTableModel& model) {
    ASSERT_EQ(model.rowCount(), m.microTrace.LineCount());
    EXPECT_EQ(cell(model, 0), QString::fromStdString(m.microTrace.Cell(0, 5)));
    EXPECT_EQ(cell(model, model.rowCount() - 1), Hex4(next - 1));
  }
};

}  // namespace

TEST_F(TraceListLimit, LiveTheGoneRowsLeaveAtTheTopInOneRemovePerBatch) {
  QTemporaryDir dir;
  vesk::testing::ScriptedDialogs dialogs;
  m.microTrace.setLineLimit(100);
  frmMicroTrace window(m.microTrace, (dir.path() + "/cfg.ini").toStdString(), &dialogs);
  TraceTableModel* model = window.model();
  QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  QSignalSpy removed(model, &QAbstractItemModel::rowsRemoved);
  QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
  QSignalSpy resets(model, &QAbstractItemModel::modelReset);
  add(100);
  model->flush();
  ASSERT_EQ(model->rowCount(), 100);
  EXPECT_EQ(removed.count(), 0);
  add(30);
  // Until the batch, a row whose line went is blank, never another line.
  EXPECT_EQ(cell(*model, 0), "");
  EXPECT_EQ(cell(*model, 30), Hex4(30));
  EXPECT_TRUE(QTest::qWaitFor([&] { return removed.count() > 0; }, 2000));  // the batch's own timer
  ASSERT_EQ(removed.count(), 1);
  EXPECT_EQ(removed[0][1].toInt(), 0);
  EXPECT_EQ(removed[0][2].toInt(), 29);
  ASSERT_EQ(inserted.count(), 2);
  EXPECT_EQ(inserted[1][1].toInt(), 70);
  EXPECT_EQ(inserted[1][2].toInt(), 99);
  EXPECT_EQ(resets.count(), 0);
  EXPECT_EQ(cell(*model, 0), Hex4(30));
  expectShowsEveryKeptLine(*model);
  // More lines gone between two batches than the list shows: it starts over.
  add(250);
  model->flush();
  EXPECT_EQ(resets.count(), 1);
  EXPECT_EQ(cell(*model, 0), Hex4(280));
  expectShowsEveryKeptLine(*model);
}

TEST_F(TraceListLimit, FastRunsRemoveOnTheBeatAndTheEndShowsEveryKeptLine) {
  // A limit above the newest lines a fast run shows, so both cuts meet.
  const int limit = TraceTableModel::kTailRows + 2000;
  m.microTrace.setLineLimit(limit);
  TraceTableModel model(TraceTableModel::SourceOf(m.microTrace));
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  RefreshBeat beat;
  model.deferredRefresh().follow(&beat);
  QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
  add(limit - 10);
  model.flush();
  ASSERT_EQ(model.rowCount(), limit - 10);
  beat.setDeferred(true);
  EXPECT_EQ(model.rowCount(), TraceTableModel::kTailRows);
  add(500);  // 490 lines go from the trace, far above the rows shown
  beat.beatNow();
  ASSERT_EQ(removed.count(), 1);
  EXPECT_EQ(removed[0][2].toInt(), 499);  // the newest lines shown move on by 500
  EXPECT_EQ(model.rowCount(), TraceTableModel::kTailRows);
  EXPECT_EQ(cell(model, model.rowCount() - 1), Hex4(next - 1));
  EXPECT_EQ(model.firstLine(), m.microTrace.LineCount() - TraceTableModel::kTailRows);
  EXPECT_EQ(cell(model, 0), QString::fromStdString(m.microTrace.Cell(model.firstLine(), 5)));
  beat.setDeferred(false);
  EXPECT_EQ(model.firstLine(), 0);
  expectShowsEveryKeptLine(model);
  EXPECT_EQ(cell(model, 0), Hex4(500 - 10));
}

TEST_F(TraceListLimit, ALimitBelowTheFastRunsTailIsShownWholeOnEveryBeat) {
  m.microTrace.setLineLimit(300);
  TraceTableModel model(TraceTableModel::SourceOf(m.microTrace));
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  RefreshBeat beat;
  model.deferredRefresh().follow(&beat);
  beat.setDeferred(true);
  add(1000);
  beat.beatNow();
  expectShowsEveryKeptLine(model);
  EXPECT_EQ(cell(model, 0), Hex4(700));
  QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
  add(40);
  beat.beatNow();
  ASSERT_EQ(removed.count(), 1);
  EXPECT_EQ(removed[0][2].toInt(), 39);
  expectShowsEveryKeptLine(model);
  beat.setDeferred(false);
  expectShowsEveryKeptLine(model);
  EXPECT_EQ(model.firstLine(), 0);
}
