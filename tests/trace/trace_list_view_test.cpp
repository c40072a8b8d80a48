// A trace window's list with real events on traces of millions of lines:
// the first and last line reached by keys, wheel and scroll bar, selection
// kept while scrolling and while lines come and go, a step back at the bottom
// and elsewhere, tooltips, and the same pixels as the table the other lists
// use.
#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <functional>
#include <vector>
#include <QHeaderView>
#include <QHelpEvent>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QToolTip>
#include <QWheelEvent>
#include <string>

#include "support/temp_dir.h"
#include "trace/trace_window.h"
#include "widgets/table_look.h"

using namespace vesk;

namespace {

// A trace of any length that costs nothing to make: the line kept as stored
// line n reads "L" and its number since the clear.
struct FakeLog {
  Listeners<TraceListener> listeners;
  std::int64_t count = 0;
  std::int64_t dropped = 0;

  void add(std::int64_t n) {
    count += n;
    listeners.each([](TraceListener& l) { l.lineAdded(); });
  }
  void stepBack(std::int64_t n) {
    count -= n;
    listeners.each([](TraceListener& l) { l.linesRemoved(); });
  }
  // At its line limit a trace gives up its oldest lines as new ones come.
  void addAtLimit(std::int64_t n) {
    dropped += n;
    count -= n;
    add(n);
  }
  void clear() {
    count = dropped = 0;
    listeners.each([](TraceListener& l) { l.logCleared(); });
  }
  TraceTableModel::Source source() {
    return {&listeners, [this] { return count; }, [this] { return dropped; },
            [this](std::int64_t line, int column) -> std::string {
              if (line < 0 || line >= count) return "";
              return column == 0 ? "L" + std::to_string(dropped + line) : "c" + std::to_string(column);
            },
            {QStringLiteral("Строка"), QStringLiteral("Второй"), QStringLiteral("Третий")}};
  }
};

class ListWindow : public TraceWindow {
 public:
  ListWindow(FakeLog& log, std::string settings)
      : TraceWindow({QStringLiteral("Список"), "TestList", log.source(), {"L000000000", "c1", "c2"},
                     QStringLiteral("Сохранить"), QStringLiteral("mnuTest"), [&log] { return log.count; },
                     [&log] { log.clear(); }, [](const std::string&) { return FileResult{}; }},
                    std::move(settings), nullptr, nullptr) {}
};

class TraceListView : public ::testing::Test {
 protected:
  void SetUp() override {
    window.resize(600, 300);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    list = window.list();
    bar = list->verticalScrollBar();
  }
  void addAndShow(std::int64_t n) {
    log.add(n);
    window.model()->flush();
    QApplication::processEvents();
  }
  QString textAt(int y) const {
    const QModelIndex index = list->indexAt(QPoint(5, y));
    return index.isValid() ? index.siblingAtColumn(0).data().toString() : QString();
  }
  QString topText() const { return textAt(0); }
  QString bottomText() const { return textAt(list->viewport()->height() - 1); }
  QPoint centreOf(int row) { return list->visualRect(window.model()->index(row, 0)).center(); }
  void wheel(int steps) {  // positive: towards the newest line
    const QPoint at = list->viewport()->rect().center();
    QWheelEvent event(at, list->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120 * steps), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(list->viewport(), &event);
  }
  QList<int> selectedRows() const {
    QList<int> rows;
    for (const QModelIndex& i : list->selectionModel()->selectedRows()) rows << i.row();
    std::sort(rows.begin(), rows.end());
    return rows;
  }
  QStringList selectedTexts() {
    QStringList texts;
    for (const int row : selectedRows()) texts << window.model()->index(row, 0).data().toString();
    return texts;
  }

  vesk::testing::TempDir dir;
  FakeLog log;
  ListWindow window{log, dir.file("cfg.ini")};
  LongListView* list = nullptr;
  QScrollBar* bar = nullptr;
};

}  // namespace

TEST_F(TraceListView, KeysWheelAndScrollBarReachTheFirstAndLastOfMillionsOfLines) {
  addAndShow(5'000'000);
  const int page = static_cast<int>(list->rowWindow().rowsInViewport());
  ASSERT_GT(page, 3);
  EXPECT_EQ(bar->maximum(), 5'000'000 - page);
  EXPECT_EQ(bar->value(), bar->maximum());  // it followed the newest line
  EXPECT_EQ(bottomText(), "L4999999");

  list->setFocus();
  QTest::keyClick(list, Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(bar->value(), 0);
  EXPECT_EQ(topText(), "L0");
  EXPECT_EQ(list->currentIndex().row(), 0);
  QTest::keyClick(list, Qt::Key_PageDown);
  EXPECT_EQ(list->currentIndex().row(), page);
  EXPECT_EQ(bar->value(), 1);  // the current line rests on the bottom edge
  QTest::keyClick(list, Qt::Key_Down);
  EXPECT_EQ(list->currentIndex().row(), page + 1);
  EXPECT_EQ(bar->value(), 2);

  QTest::keyClick(list, Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(list->currentIndex().row(), 4'999'999);
  EXPECT_EQ(bar->value(), bar->maximum());
  EXPECT_EQ(bottomText(), "L4999999");
  QTest::keyClick(list, Qt::Key_PageUp);  // to the row cut at the top, which comes down whole
  EXPECT_EQ(list->currentIndex().row(), 4'999'999 - page);
  EXPECT_EQ(topText(), "L" + QString::number(4'999'999 - page));
  QTest::keyClick(list, Qt::Key_Up);
  EXPECT_EQ(topText(), "L" + QString::number(4'999'999 - page - 1));

  const int before = bar->value();
  wheel(-1);
  EXPECT_EQ(bar->value(), before - QApplication::wheelScrollLines());
  wheel(-1);
  EXPECT_EQ(bar->value(), before - 2 * QApplication::wheelScrollLines());
  wheel(1);
  EXPECT_EQ(bar->value(), before - QApplication::wheelScrollLines());

  bar->triggerAction(QAbstractSlider::SliderToMinimum);
  EXPECT_EQ(topText(), "L0");
  bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(topText(), "L" + QString::number(page));
  bar->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(bottomText(), "L4999999");
  bar->setValue(2'500'000);  // the handle dragged half-way
  EXPECT_EQ(topText(), "L2500000");
}

TEST_F(TraceListView, AListOfMorePixelsThanAnIntHoldsScrollsAndSelectsAtItsEnd) {
  addAndShow(120'000'000);  // rows of 20 pixels or so: 2.4e9 pixels
  EXPECT_EQ(bottomText(), "L119999999");
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, centreOf(119'999'998));
  EXPECT_EQ(list->currentIndex().row(), 119'999'998);
  QTest::keyClick(list, Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(selectedRows(), QList<int>({119'999'998, 119'999'999}));
  QTest::keyClick(list, Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(topText(), "L0");
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, centreOf(1));
  EXPECT_EQ(selectedRows(), QList<int>({1}));
  QTest::keyClick(list, Qt::Key_End, Qt::ControlModifier);  // Ctrl moves without selecting
  EXPECT_EQ(bottomText(), "L119999999");
  EXPECT_EQ(list->currentIndex().row(), 119'999'999);
  EXPECT_EQ(selectedRows(), QList<int>({1}));
}

TEST_F(TraceListView, SelectionStaysWithItsLinesWhileScrollingAndWhileLinesComeAndGo) {
  addAndShow(1000);
  bar->setValue(100);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, centreOf(102));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ShiftModifier, centreOf(104));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, centreOf(107));
  EXPECT_EQ(selectedRows(), QList<int>({102, 103, 104, 107}));
  wheel(30);  // a wheel turn never scrolls more than a page
  EXPECT_EQ(bar->value(), 100 + bar->pageStep());
  bar->setValue(0);
  EXPECT_EQ(selectedRows(), QList<int>({102, 103, 104, 107}));
  addAndShow(500);  // the user looks at the top: the list stays there
  EXPECT_EQ(bar->value(), 0);
  EXPECT_EQ(selectedRows(), QList<int>({102, 103, 104, 107}));

  // At the line limit the oldest lines go: the selected lines keep their
  // selection under their new row numbers, and the view keeps its lines.
  bar->setValue(100);
  log.addAtLimit(40);
  window.model()->flush();
  EXPECT_EQ(selectedTexts(), QStringList({"L102", "L103", "L104", "L107"}));
  EXPECT_EQ(selectedRows(), QList<int>({62, 63, 64, 67}));
  EXPECT_EQ(topText(), "L100");

  // A drag selects from where it started, the keys extend from the click.
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, centreOf(61));
  QTest::keyClick(list, Qt::Key_Down, Qt::ShiftModifier);
  QTest::keyClick(list, Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(selectedTexts(), QStringList({"L101", "L102", "L103"}));
  QTest::mousePress(list->viewport(), Qt::LeftButton, Qt::NoModifier, centreOf(66));
  QMouseEvent move(QEvent::MouseMove, centreOf(68), list->viewport()->mapToGlobal(centreOf(68)), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(list->viewport(), &move);
  QTest::mouseRelease(list->viewport(), Qt::LeftButton, Qt::NoModifier, centreOf(68));
  EXPECT_EQ(selectedTexts(), QStringList({"L106", "L107", "L108"}));
}

TEST_F(TraceListView, AStepBackAtTheBottomShowsTheNewLastLineAndElsewhereMovesNothing) {
  addAndShow(1000);
  EXPECT_EQ(bottomText(), "L999");
  log.stepBack(12);
  EXPECT_EQ(window.model()->rowCount(), 988);
  EXPECT_EQ(bar->value(), bar->maximum());
  EXPECT_EQ(bottomText(), "L987");
  EXPECT_EQ(textAt(list->viewport()->height() + 30), "");

  bar->setValue(300);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, centreOf(302));
  log.stepBack(12);
  EXPECT_EQ(bar->value(), 300);
  EXPECT_EQ(topText(), "L300");
  EXPECT_EQ(selectedTexts(), QStringList({"L302"}));
  // Stepping back over the lines in view and the selected one.
  log.stepBack(976 - 290);
  EXPECT_EQ(window.model()->rowCount(), 290);
  EXPECT_EQ(bar->value(), bar->maximum());
  EXPECT_EQ(bottomText(), "L289");
  EXPECT_TRUE(selectedRows().isEmpty());
  // Run on: the bottom is followed again.
  addAndShow(20);
  EXPECT_EQ(bottomText(), "L309");
}

TEST_F(TraceListView, RowsMovedOnScreenMatchRowsPaintedAfresh) {
  // Scrolling and a step back move the pixels on screen and paint only the
  // rows uncovered: the screen must show what a full repaint shows.
  const auto onScreen = [&] {
    QApplication::processEvents();
    const QPoint at = list->viewport()->mapTo(&window, QPoint(0, 0));
    const qreal ratio = window.devicePixelRatio();
    QImage screen = QGuiApplication::primaryScreen()
                        ->grabWindow(window.winId(), at.x(), at.y(), list->viewport()->width(),
                                     list->viewport()->height())
                        .toImage()
                        .convertToFormat(QImage::Format_RGB32);
    screen.setDevicePixelRatio(ratio);
    return screen;
  };
  const auto afresh = [&] { return list->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32); };
  addAndShow(5);
  int step = 0;
  for (const auto& change : std::vector<std::function<void()>>{
           [&] { log.stepBack(2); },  // a short list: its last rows leave blank space
           [&] { addAndShow(295); },
           [&] { QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, centreOf(296)); },
           [&] { log.stepBack(1); },
           [&] { log.stepBack(5); },
           [&] { addAndShow(3); },
           [&] { wheel(-1); },
           [&] { log.stepBack(2); },  // elsewhere: nothing on screen moves
           [&] { log.addAtLimit(7); window.model()->flush(); },
           [&] { log.addAtLimit(8); window.model()->flush(); },
           [&] { bar->setValue(bar->maximum()); },
           [&] { log.addAtLimit(4); addAndShow(0); },  // following the newest line at the limit
           [&] { log.addAtLimit(3); addAndShow(0); },
           [&] { bar->setValue(2); },
           [&] { log.addAtLimit(5); window.model()->flush(); },  // the lines in view went
           [&] { bar->triggerAction(QAbstractSlider::SliderSingleStepAdd); },
           [&] { list->horizontalScrollBar()->setValue(30); },
       }) {
    change();
    const QImage shown = onScreen();
    ASSERT_FALSE(shown.isNull());
    EXPECT_TRUE(shown == afresh()) << "after change " << step;
    ++step;
  }
}

TEST_F(TraceListView, TooltipsShowTheCellUnderTheMouse) {
  addAndShow(100);
  bar->setValue(40);
  const QPoint at = centreOf(42);
  QHelpEvent help(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
  QApplication::sendEvent(list->viewport(), &help);
  EXPECT_EQ(QToolTip::text(), "L42");
  QToolTip::hideText();
}

TEST(TraceListLook, PaintsTheSamePixelsAsTheTablesOfTheOtherLists) {
  vesk::testing::TempDir dir;
  FakeLog log;
  log.add(200);
  TraceTableModel model(log.source());
  const QStringList samples = {"L000000000", "c1", "c2"};
  // Side by side in one window, so both are as active as the other.
  QWidget host;
  QTableView table(&host);
  table.setModel(&model);
  ApplyTableLook(table, samples);
  LongListView list(&host);
  list.setModel(&model);
  ApplyTableLook(list, samples);
  int x = 0;
  for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(&table), static_cast<QAbstractItemView*>(&list)}) {
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setGeometry(x, 0, 420, 260);
    x += 430;
    view->selectionModel()->select(model.index(12, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    view->selectionModel()->setCurrentIndex(model.index(14, 1), QItemSelectionModel::NoUpdate);
  }
  host.resize(860, 270);
  host.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
  const auto same = [&](const char* what) {
    QApplication::processEvents();
    EXPECT_EQ(list.verticalScrollBar()->maximum(), table.verticalScrollBar()->maximum()) << what;
    EXPECT_EQ(list.verticalScrollBar()->value(), table.verticalScrollBar()->value()) << what;
    list.setFocus();  // the current cell drawn with the focus, in each
    QApplication::processEvents();
    const QImage a = list.grab().toImage();
    table.setFocus();
    QApplication::processEvents();
    const QImage b = table.grab().toImage();
    EXPECT_TRUE(a == b) << what;
    if (a != b && qEnvironmentVariableIsSet("VESK_LOOK_DIR")) {
      a.save(qEnvironmentVariable("VESK_LOOK_DIR") + "/list_" + what + ".png");
      b.save(qEnvironmentVariable("VESK_LOOK_DIR") + "/table_" + what + ".png");
    }
  };
  same("at the top");
  for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(&table), static_cast<QAbstractItemView*>(&list)})
    view->verticalScrollBar()->setValue(10);
  same("scrolled");
  for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(&table), static_cast<QAbstractItemView*>(&list)})
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
  same("at the end, the top row cut");
  for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(&table), static_cast<QAbstractItemView*>(&list)}) {
    view->resize(150, 200);  // a horizontal scroll bar too
    view->horizontalScrollBar()->setValue(40);
  }
  same("narrow");
}

TEST_F(TraceListView, TypedLettersDoNotSearchTheRows) {
  // Qt's jump to a row by its first letters would read every row of a long
  // trace when nothing matches; the list ignores typed letters.
  addAndShow(2'000'000);
  list->setFocus();
  QTest::keyClick(list, Qt::Key_Home, Qt::ControlModifier);
  ASSERT_EQ(list->currentIndex().row(), 0);
  QTest::keyClicks(list, "L1");
  EXPECT_EQ(list->currentIndex().row(), 0);
  EXPECT_EQ(bar->value(), 0);
  QTest::keyClicks(list, "zz");
  EXPECT_EQ(list->currentIndex().row(), 0);
}
