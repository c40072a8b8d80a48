#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QFile>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "app/machine.h"
#include "widgets/scripted_dialogs.h"
#include "format/bit_string.h"
#include "trace/frm_micro_trace.h"
#include "trace/frm_trace.h"

using namespace vesk;
using vesk::testing::ScriptedDialogs;

namespace {

class TraceWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    settings = (dir.path() + "/cfg.ini").toStdString();
    m.trace.setClock([] { return std::time_t(0); });
  }
  void addCommandLines(int n) {
    for (int i = 0; i < n; ++i) {
      m.trace.set_CURR_ADDR(FitWidth(HexToBin("010"), 16));
      m.trace.set_CURR_CMD(FitWidth(HexToBin("F200"), 16));
      m.trace.AddLine();
    }
  }
  void addMicroLines(int n) {
    for (int i = 0; i < n; ++i) {
      m.microTrace.set_PreMCC("01");
      m.microTrace.AddLine();
    }
  }
  QString path(const QString& name) const { return dir.path() + "/" + name; }

  QTemporaryDir dir;
  std::string settings;
  Machine m;
  ScriptedDialogs dialogs;
};

QStringList Headers(const QAbstractItemModel& model) {
  QStringList h;
  for (int c = 0; c < model.columnCount(); ++c) h << model.headerData(c, Qt::Horizontal).toString();
  return h;
}

}  // namespace

TEST_F(TraceWindowsTest, CaptionsAndColumnHeadersAreExact) {
  frmTrace trace(m.trace, settings, &dialogs);
  frmMicroTrace micro(m.microTrace, settings, &dialogs);
  EXPECT_EQ(trace.windowTitle(), "Трассировка");
  EXPECT_EQ(micro.windowTitle(), "Трассировка микропрограммы");
  EXPECT_EQ(Headers(*trace.model()), QStringList({"Адрес", "Команда", "СК", "РА", "РК", "РД", "А", "С",
                                                  "Адрес изменения", "Значение"}));
  // A Latin C begins both captions with "чМК".
  EXPECT_EQ(Headers(*micro.model()),
            QStringList({"C\u0447МК до выборки МК", "РМК", "СК", "РА", "РК", "РД", "А", "С", "БР", "N", "Z",
                         "C\u0447МК", "Комментарий"}));
  EXPECT_EQ(Headers(*micro.model())[0].at(0), QChar('C'));
  for (TraceWindow* w : {static_cast<TraceWindow*>(&trace), static_cast<TraceWindow*>(&micro)}) {
    const QList<QAction*> actions = w->contextMenu()->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[0]->text(), "Очистить");
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_EQ(actions[2]->text(), "Сохранить в html");
  }
}

TEST_F(TraceWindowsTest, LinesArriveInOneInsertPerBatch) {
  frmMicroTrace window(m.microTrace, settings, &dialogs);
  TraceTableModel* model = window.model();
  QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
  addMicroLines(500);
  EXPECT_EQ(model->rowCount(), 0);  // not yet: the batch waits for its timer
  EXPECT_TRUE(model->batchPending());
  EXPECT_TRUE(QTest::qWaitFor([&] { return inserted.count() > 0; }, 2000));
  ASSERT_EQ(inserted.count(), 1);
  EXPECT_EQ(inserted[0][1].toInt(), 0);
  EXPECT_EQ(inserted[0][2].toInt(), 499);
  EXPECT_EQ(model->rowCount(), 500);
  EXPECT_EQ(model->data(model->index(499, 0)).toString(), "01");
  addMicroLines(3);
  model->flush();
  ASSERT_EQ(inserted.count(), 2);
  EXPECT_EQ(inserted[1][1].toInt(), 500);
  EXPECT_EQ(inserted[1][2].toInt(), 502);
  EXPECT_FALSE(model->batchPending());
}

TEST_F(TraceWindowsTest, ClearEmptiesTheListButKeepsTheCounter) {
  frmTrace window(m.trace, settings, &dialogs);
  QAbstractItemModelTester tester(window.model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
  addCommandLines(4);
  window.model()->flush();
  ASSERT_EQ(window.model()->rowCount(), 4);
  EXPECT_EQ(window.model()->data(window.model()->index(0, 1)).toString(), "F200 | 1111.0010.0000.0000 | CLA");
  window.contextMenu()->actions()[0]->trigger();
  EXPECT_EQ(window.model()->rowCount(), 0);
  EXPECT_EQ(m.trace.LineCount(), 0);
  EXPECT_EQ(m.trace.CCounter(), 4);
  addCommandLines(1);
  window.model()->flush();
  EXPECT_EQ(window.model()->rowCount(), 1);
  EXPECT_EQ(m.trace.CCounter(), 5);
}

TEST_F(TraceWindowsTest, ClearingWithABatchPendingDropsIt) {
  frmMicroTrace window(m.microTrace, settings, &dialogs);
  QAbstractItemModelTester tester(window.model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
  addMicroLines(10);
  window.ClearLog();
  EXPECT_FALSE(window.model()->batchPending());
  window.model()->flush();
  EXPECT_EQ(window.model()->rowCount(), 0);
}

TEST_F(TraceWindowsTest, FollowsTheNewestLineOnlyFromTheBottom) {
  frmMicroTrace window(m.microTrace, settings, &dialogs);
  window.resize(600, 200);
  window.show();
  QScrollBar* bar = window.list()->verticalScrollBar();
  addMicroLines(100);
  window.model()->flush();
  QApplication::processEvents();
  EXPECT_EQ(bar->value(), bar->maximum());
  EXPECT_GT(bar->maximum(), 0);
  // The user scrolls up to read: new lines do not pull the list down.
  bar->setValue(0);
  addMicroLines(50);
  window.model()->flush();
  QApplication::processEvents();
  EXPECT_EQ(bar->value(), 0);
  bar->setValue(bar->maximum());
  addMicroLines(50);
  window.model()->flush();
  QApplication::processEvents();
  EXPECT_EQ(bar->value(), bar->maximum());
  EXPECT_EQ(window.model()->rowCount(), 200);
}

TEST_F(TraceWindowsTest, SaveShowsNoDialogForAnEmptyListAndCancelWritesNothing) {
  frmTrace window(m.trace, settings, &dialogs);
  EXPECT_FALSE(window.SaveLog());
  EXPECT_TRUE(dialogs.shown.empty());
  addCommandLines(1);
  dialogs.files = {""};
  EXPECT_FALSE(window.SaveLog());
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].kind, "save");
  EXPECT_EQ(dialogs.shown[0].title, "Сохранить трассировку...");
  EXPECT_EQ(dialogs.shown[0].text, "html-document (*.html);;Все файлы (*.*)");
  EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(TraceWindowsTest, SaveOverwritesWithoutAsking) {
  frmMicroTrace window(m.microTrace, settings, &dialogs);
  addMicroLines(3);
  QFile old(path("t.html"));
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write("old");
  old.close();
  dialogs.files = {path("t.html")};
  EXPECT_TRUE(window.SaveLog());
  ASSERT_EQ(dialogs.shown.size(), 1u);  // only the save dialog, no question
  EXPECT_EQ(dialogs.shown[0].title, "Сохранить микротрассировку...");
  QFile f(path("t.html"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray html = f.readAll();
  EXPECT_TRUE(html.startsWith("<html>"));
  EXPECT_EQ(html.count("<tr><td>01</td>"), 3);
}

TEST_F(TraceWindowsTest, AFailedSaveIsShownAndTheLogStays) {
  frmTrace window(m.trace, settings, &dialogs);
  addCommandLines(2);
  dialogs.files = {path("missing/dir/t.html")};
  EXPECT_FALSE(window.SaveLog());
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[1].kind, "tell");
  EXPECT_EQ(dialogs.shown[1].icon, Dialogs::Icon::Warning);
  EXPECT_EQ(m.trace.LineCount(), 2);
}
