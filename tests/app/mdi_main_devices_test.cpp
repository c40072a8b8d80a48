// The devices in the main window: "Свойства" of the controllers window opens
// the device dialog, the menu "Окна" brings up the device windows as MDI
// children, and programs print and read through them.
#include <gtest/gtest.h>

#include <QAction>
#include <QElapsedTimer>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTest>
#include <fstream>
#include <sstream>

#include "app/machine.h"
#include "app/mdi_main.h"
#include "widgets/scripted_dialogs.h"
#include "format/bit_string.h"
#include "io/device_windows.h"
#include "io/frm_controllers.h"
#include "io/frm_dev_keyboard.h"
#include "io/frm_dev_monitor.h"
#include "io/frm_dev_prop.h"
#include "io/frm_net_adapter.h"
#include "support/io_micro_program.h"
#include "support/temp_dir.h"
#include "support/tiny_micro_program.h"

using namespace vesk;

namespace {

struct MainDevicesFixture : ::testing::Test {
  vesk::testing::TempDir dir;
  Machine machine;
  vesk::testing::ScriptedDialogs dialogs;
  std::unique_ptr<MDIMain> window;

  void SetUp() override {
    window = std::make_unique<MDIMain>(machine, dir.path(), &dialogs, SettingsLocation{dir.file("cfg.ini"), false, ""});
    window->show();
    window->StartUp();
  }
  DeviceWindows& devices() { return window->deviceWindows(); }
  QAction* properties() { return window->controllersWindow()->findChild<QAction*>("mnuControllers_Props"); }
  // "Свойства" on the row of `address`, then the device and "Ok".
  void attach(int address, const QString& device) {
    window->controllersWindow()->selectRow(Controllers::RowOfAddress(address));
    properties()->trigger();
    frmDevProp& dialog = devices().devProp();
    ASSERT_TRUE(dialog.isVisible());
    dialog.selector()->setCurrentText(device);
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
  }
  bool isActiveChild(QWidget* w) {
    QMdiSubWindow* sub = window->frameOf(w);
    return sub != nullptr && sub->isVisible() && window->mdiArea()->activeSubWindow() == sub;
  }
  void runUntilIdle(int limitMs = 20000) {
    QElapsedTimer t;
    t.start();
    do QTest::qWait(5);
    while (!machine.runControl.Idle() && t.elapsed() < limitMs);
  }
  void loadProgram(const std::vector<const char*>& words) {
    vesk::testing::LoadIoMicroProgram(machine.microMemory);
    machine.runControl.SetIntervals(0, 1, 1);
    vesk::testing::Poke(machine.memory, 0, words);
  }
};

}  // namespace

TEST_F(MainDevicesFixture, TheWindowsMenuBringsUpEachDeviceWindowAsAChild) {
  const int before = static_cast<int>(window->mdiArea()->subWindowList().size());
  const std::vector<std::pair<const char*, const char*>> items = {
      {"mnuWindows_Monitor", "Монитор"}, {"mnuWindows_Keyboard", "Клавиатура"}, {"mnuWindows_NetAdapter", "Сетевой адаптер"}};
  for (const auto& [name, caption] : items) {
    QAction* a = window->action(name);
    ASSERT_NE(a, nullptr) << name;
    EXPECT_EQ(a->text(), QString::fromUtf8(caption));
    a->trigger();
  }
  EXPECT_TRUE(isActiveChild(&devices().netAdapter()));
  EXPECT_EQ(window->mdiArea()->subWindowList().size(), before + 3);
  window->action("mnuWindows_Monitor")->trigger();
  EXPECT_TRUE(isActiveChild(&devices().monitor()));
  EXPECT_EQ(window->mdiArea()->subWindowList().size(), before + 3) << "one frame per window";
}

TEST_F(MainDevicesFixture, PropertiesOpensTheDeviceDialogForTheSelectedRowOnly) {
  window->controllersWindow()->list()->clearSelection();
  properties()->trigger();
  EXPECT_FALSE(devices().devProp().isVisible()) << "no selected row: nothing happens";
  window->controllersWindow()->selectRow(Controllers::RowOfAddress(0x0A));
  properties()->trigger();
  frmDevProp& dialog = devices().devProp();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Устройство на контроллере #0A"));
  EXPECT_EQ(dialog.selector()->currentText(), QStringLiteral(" - "));
  EXPECT_EQ(window->frameOf(&dialog), nullptr) << "the dialog floats over the main window";
  EXPECT_TRUE(window->isEnabled()) << "and blocks nothing";
}

TEST_F(MainDevicesFixture, OkAttachesAndTheControllersListShowsIt) {
  attach(0x0A, QStringLiteral("Keyboard"));
  EXPECT_EQ(machine.controllers.Device(Controllers::RowOfAddress(0x0A)), "Keyboard");
  const QModelIndex cell = window->controllersWindow()->list()->model()->index(Controllers::RowOfAddress(0x0A), 3);
  EXPECT_EQ(cell.data().toString(), QStringLiteral("Keyboard"));
  EXPECT_TRUE(isActiveChild(&devices().keyboard()));
}

TEST_F(MainDevicesFixture, AProgramStartedFromTheMainWindowPrintsOnTheMonitor) {
  loadProgram({"F200", "4010", "E305", "F200", "4011", "E305", "F200", "4012", "E305", "F200", "4013", "E305",
               "F200", "4014", "E305", "F000", "0048", "0045", "004C", "004C", "004F"});
  attach(0x05, QStringLiteral("Monitor"));
  EXPECT_TRUE(isActiveChild(&devices().monitor()));
  window->Start();
  runUntilIdle();
  QString shown;
  for (int x = 1; x <= 5; ++x) shown += devices().monitor().cellText(x, 1);
  EXPECT_EQ(shown, QStringLiteral("HELLO"));
  // Closed and brought back, it still shows what was printed.
  window->frameOf(&devices().monitor())->close();
  EXPECT_FALSE(devices().monitor().isVisible());
  window->action("mnuWindows_Monitor")->trigger();
  EXPECT_TRUE(devices().monitor().isVisible());
  EXPECT_EQ(devices().monitor().cellText(1, 1), QStringLiteral("H"));
}

TEST_F(MainDevicesFixture, AProgramReadsKeysTypedWhileItRuns) {
  loadProgram({"E103", "C000", "E203", "3020", "E003", "E103", "C005", "E203", "3021", "E003", "F000"});
  attach(0x03, QStringLiteral("Keyboard"));
  window->Start();
  QTest::qWait(50);
  EXPECT_FALSE(machine.runControl.Idle()) << "the program waits for keys";
  QTest::keyClicks(devices().keyboard().captureField(), "ok");
  runUntilIdle();
  EXPECT_EQ(BinToHex(machine.memory.Value(0x020)).str(), "004F");
  EXPECT_EQ(BinToHex(machine.memory.Value(0x021)).str(), "004B");
}

TEST_F(MainDevicesFixture, DeviceWindowsKeepNoLayout) {
  window->action("mnuWindows_Monitor")->trigger();
  window->action("mnuWindows_Keyboard")->trigger();
  window->action("mnuWindows_NetAdapter")->trigger();
  window->close();
  std::ifstream in(dir.file("cfg.ini"), std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find("MDIMain"), std::string::npos) << "the main window did save its own";
  for (const char* name : {"Monitor", "Keyboard", "Net", "DevProp"}) EXPECT_EQ(text.str().find(name), std::string::npos) << name;
}
