#include "widgets/window_layout.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>

#include "util/ini_file.h"
#include "app/machine.h"
#include "memory/frm_mem.h"

using namespace vesk;

namespace {

class WindowLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    settings = (dir.path() + "/cfg.ini").toStdString();
  }
  std::string read(const std::string& key) { return ReadIni(settings, "Windows", key, "missing"); }
  QByteArray file() {
    QFile f(QString::fromStdString(settings));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

  QTemporaryDir dir;
  std::string settings;
  Machine m;
};

}  // namespace

TEST_F(WindowLayoutTest, RestoreMovesToTheStoredTwipsAndKeepsTheSize) {
  ASSERT_TRUE(WriteIni(settings, "Windows", "MemLeft", "1500"));
  ASSERT_TRUE(WriteIni(settings, "Windows", "MemTop", "3007"));
  QWidget w;
  w.resize(300, 200);
  RestoreLayout(w, settings, "Mem");
  EXPECT_EQ(w.pos(), QPoint(100, 200));
  EXPECT_EQ(w.size(), QSize(300, 200));
  QWidget fresh;
  fresh.move(50, 50);
  RestoreLayout(fresh, settings, "Trace");  // no keys: left 0, top 0
  EXPECT_EQ(fresh.pos(), QPoint(0, 0));
}

TEST_F(WindowLayoutTest, SaveWritesFiveKeysInOrderInTwips) {
  QMdiArea area;
  area.resize(1000, 800);
  QWidget content;
  QMdiSubWindow* sub = area.addSubWindow(&content);
  area.show();
  sub->setGeometry(30, 40, 400, 300);
  SaveLayout(*sub, settings, "Mem");
  EXPECT_EQ(read("MemLeft"), "450");
  EXPECT_EQ(read("MemTop"), "600");
  EXPECT_EQ(read("MemWidth"), "6000");
  EXPECT_EQ(read("MemHeight"), "4500");
  EXPECT_EQ(read("MemWState"), "0");
  const QByteArray text = file();
  const int l = text.indexOf("MemLeft="), t = text.indexOf("MemTop="), w = text.indexOf("MemWidth="),
            h = text.indexOf("MemHeight="), s = text.indexOf("MemWState=");
  EXPECT_TRUE(l >= 0 && l < t && t < w && w < h && h < s) << text.toStdString();
  area.removeSubWindow(&content);
}

TEST_F(WindowLayoutTest, MinimizedOrMaximizedWindowsWriteNothing) {
  QMdiArea area;
  area.resize(800, 600);
  QWidget a, b;
  QMdiSubWindow* minimized = area.addSubWindow(&a);
  QMdiSubWindow* maximized = area.addSubWindow(&b);
  area.show();
  minimized->showMinimized();
  maximized->showMaximized();
  SaveLayout(*minimized, settings, "Trace");
  SaveLayout(*maximized, settings, "MicroTrace");
  EXPECT_EQ(read("TraceLeft"), "missing");
  EXPECT_EQ(read("MicroTraceWidth"), "missing");
  EXPECT_FALSE(QFile::exists(QString::fromStdString(settings)));
  area.removeSubWindow(&a);
  area.removeSubWindow(&b);
}

TEST_F(WindowLayoutTest, AWindowInASubWindowRestoresAndSavesTheSubWindow) {
  ASSERT_TRUE(WriteIni(settings, "Windows", "MemLeft", "300"));
  ASSERT_TRUE(WriteIni(settings, "Windows", "MemTop", "600"));
  QMdiArea area;
  area.resize(1000, 800);
  auto* window = new frmMem(m.memory, settings);
  QMdiSubWindow* sub = area.addSubWindow(window);
  area.show();
  sub->show();
  EXPECT_EQ(sub->pos(), QPoint(20, 40));
  sub->resize(500, 400);
  sub->close();  // closes the window inside first, which saves the layout
  EXPECT_EQ(read("MemLeft"), "300");
  EXPECT_EQ(read("MemTop"), "600");
  EXPECT_EQ(read("MemWidth"), "7500");
  EXPECT_EQ(read("MemHeight"), "6000");
}

TEST_F(WindowLayoutTest, AStandaloneWindowSavesOnCloseUnlessMinimized) {
  {
    frmMem window(m.memory, settings);
    window.show();
    window.move(150, 75);
    window.close();
    EXPECT_EQ(read("MemLeft"), std::to_string(window.frameGeometry().x() * 15));
    EXPECT_EQ(read("MemWState"), "0");
  }
  const std::string before = read("MemLeft");
  frmMem window(m.memory, settings);
  window.show();
  window.move(600, 600);
  window.showMinimized();
  window.close();
  EXPECT_EQ(read("MemLeft"), before);
}

TEST_F(WindowLayoutTest, AWindowNeverOpenedSavesNothing) {
  {
    frmMem window(m.memory, settings);
    window.close();
  }
  EXPECT_FALSE(QFile::exists(QString::fromStdString(settings)));
}
