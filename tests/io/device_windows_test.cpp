#include "io/device_windows.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QFontInfo>
#include <QMetaEnum>
#include <QRegularExpression>
#include <QStyle>
#include <QFontMetricsF>
#include <QTcpServer>
#include <cmath>
#include <QtTest/QTest>
#include <string>
#include <vector>

#include "app/machine.h"
#include "format/bit_string.h"
#include "io/frm_dev_keyboard.h"
#include "io/frm_dev_monitor.h"
#include "io/frm_dev_prop.h"
#include "io/frm_net_adapter.h"
#include "io/keyboard_queue_model.h"
#include "io/monitor_screen_model.h"
#include "io/monitor_screen_view.h"
#include "io/qt_hub_transport.h"
#include "io/socket_error_text.h"
#include "support/io_micro_program.h"
#include "support/tiny_micro_program.h"
#include "util/machine_error.h"

using namespace vesk;

namespace {

int Row(int address) { return Controllers::RowOfAddress(address); }

struct WindowsFixture : ::testing::Test {
  Machine m;
  DeviceWindows windows{m.devices};

  // Chooses a device in the dialog for a controller and presses "Ok".
  void attach(int address, const QString& device) {
    windows.openProperties(Row(address));
    frmDevProp& dialog = windows.devProp();
    dialog.selector()->setCurrentText(device);
    ASSERT_EQ(dialog.selector()->currentText(), device);
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
  }
  bool run(long limit) {
    for (long i = 0; i < limit; ++i) {
      m.runControl.Tick();
      if (m.runControl.Idle()) return true;
    }
    return false;
  }
  void loadProgram(const std::vector<const char*>& words) {
    vesk::testing::LoadIoMicroProgram(m.microMemory);
    m.runControl.SetIntervals(0, 0, 0);
    vesk::testing::Poke(m.memory, 0, words);
  }
};

std::uint16_t FreePort() {
  QTcpServer probe;
  probe.listen(QHostAddress::LocalHost, 0);
  return probe.serverPort();
}

}  // namespace

// ---- the device dialog ---------------------------------------------------

TEST_F(WindowsFixture, PropertiesWithoutASelectedRowShowNothing) {
  windows.openProperties(-1);
  EXPECT_FALSE(windows.devProp().isVisible());
  EXPECT_EQ(windows.devProp().C_ITM(), -1);
  windows.devProp().Open(256);
  EXPECT_FALSE(windows.devProp().isVisible());
}

TEST_F(WindowsFixture, PropertiesOfRow0AShowItsAddressAndDevice) {
  windows.openProperties(Row(0x0A));
  frmDevProp& dialog = windows.devProp();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_FALSE(dialog.isModal());
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Устройство на контроллере #0A"));
  EXPECT_EQ(dialog.C_ITM(), Row(0x0A));
  EXPECT_EQ(dialog.selector()->currentText(), QStringLiteral(" - "));
  EXPECT_FALSE(dialog.selector()->isEditable());
  QStringList items;
  for (int i = 0; i < dialog.selector()->count(); ++i) items << dialog.selector()->itemText(i);
  EXPECT_EQ(items, (QStringList{" - ", "Monitor", "Keyboard", "Net adapter"}));
  EXPECT_EQ(dialog.okButton()->text(), QStringLiteral("Ok"));
  EXPECT_EQ(dialog.closeButton()->text(), QStringLiteral("Close"));
  EXPECT_NE(dialog.findChild<QLabel*>()->text().indexOf(QStringLiteral("Устройство : ")), -1);
  windows.openProperties(Row(0x00));
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Устройство на контроллере #00"));
}

TEST_F(WindowsFixture, TheDialogIsWideEnoughForItsWholeTitle) {
  for (int address : {0x0A, 0xFF, 0x00}) {
    windows.openProperties(Row(address));
    frmDevProp& dialog = windows.devProp();
    QApplication::processEvents();
    // The title in a bold face, and beside it room for the window's icon and
    // three buttons, each about as wide as the title bar is high.
    QFont bold = dialog.font();
    bold.setBold(true);
    const int text = QFontMetrics(bold).horizontalAdvance(dialog.windowTitle());
    const int buttons = 4 * dialog.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &dialog);
    EXPECT_GE(dialog.width(), text + buttons) << dialog.windowTitle().toStdString();
    EXPECT_GE(dialog.minimumWidth(), text + buttons) << "and cannot be narrowed below it";
  }
}

TEST_F(WindowsFixture, OkAttachesTheChosenDeviceAndDashDetachesIt) {
  QSignalSpy attached(&windows.devProp(), &frmDevProp::deviceAttached);
  attach(0x0A, QStringLiteral("Keyboard"));
  EXPECT_EQ(m.controllers.Device(Row(0x0A)), "Keyboard");
  EXPECT_FALSE(windows.devProp().isVisible());
  ASSERT_EQ(attached.count(), 1);
  EXPECT_EQ(attached.at(0).at(0).toInt(), Row(0x0A));
  windows.openProperties(Row(0x0A));
  EXPECT_EQ(windows.devProp().selector()->currentText(), QStringLiteral("Keyboard")) << "the dialog shows the row's device";
  attach(0x0A, QStringLiteral(" - "));
  EXPECT_EQ(m.controllers.Device(Row(0x0A)), " - ");
  EXPECT_EQ(m.controllers.Device(Row(0x0B)), " - ") << "only the dialog's row changes";
}

TEST_F(WindowsFixture, CloseHidesTheDialogAndKeepsItsState) {
  windows.openProperties(Row(0x05));
  frmDevProp* first = &windows.devProp();
  first->selector()->setCurrentText(QStringLiteral("Monitor"));
  QTest::mouseClick(first->closeButton(), Qt::LeftButton);
  EXPECT_FALSE(first->isVisible());
  EXPECT_EQ(m.controllers.Device(Row(0x05)), " - ") << "Close writes nothing";
  EXPECT_EQ(first->C_ITM(), Row(0x05));
  EXPECT_EQ(first->selector()->currentText(), QStringLiteral("Monitor"));
  windows.openProperties(Row(0x06));
  EXPECT_EQ(&windows.devProp(), first) << "one dialog for the program's life";
  EXPECT_TRUE(first->isVisible());
}

// ---- attaching brings up the device's window --------------------------------

TEST_F(WindowsFixture, AttachingADeviceBringsUpItsWindow) {
  EXPECT_FALSE(windows.hasMonitor());
  attach(0x01, QStringLiteral("Monitor"));
  ASSERT_TRUE(windows.hasMonitor());
  EXPECT_TRUE(windows.monitor().isVisible());
  attach(0x02, QStringLiteral("Keyboard"));
  EXPECT_TRUE(windows.keyboard().isVisible());
  attach(0x03, QStringLiteral("Net adapter"));
  EXPECT_TRUE(windows.netAdapter().isVisible());
  EXPECT_EQ(windows.netAdapter().windowTitle(), QStringLiteral("Сетевой адаптер"));
}

TEST_F(WindowsFixture, APresenterDecidesWhereWindowsAppear) {
  std::vector<QWidget*> shown;
  windows.setPresenter([&shown](QWidget* w) { shown.push_back(w); });
  attach(0x01, QStringLiteral("Monitor"));
  windows.showKeyboard();
  windows.showMonitor();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0], &windows.monitor());
  EXPECT_EQ(shown[1], &windows.keyboard());
  EXPECT_EQ(shown[2], shown[0]);
  EXPECT_FALSE(windows.monitor().isVisible()) << "the presenter showed nothing";
}

// ---- the monitor window ----------------------------------------------------

TEST_F(WindowsFixture, MonitorWindowShowsTheScreen) {
  frmDevMonitor& screen = windows.monitor();
  QAbstractItemModelTester tester(screen.model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
  EXPECT_EQ(screen.windowTitle(), QStringLiteral("Устройство - Монитор"));
  EXPECT_EQ(screen.model()->rowCount(), 25);
  EXPECT_EQ(screen.model()->columnCount(), 80);
  EXPECT_EQ(screen.cellText(1, 25), QStringLiteral("0"));
  EXPECT_EQ(screen.cellText(2, 1), QString());

  QSignalSpy changed(screen.model(), &QAbstractItemModel::dataChanged);
  screen.SetChar(5, 2, 65);
  EXPECT_EQ(screen.GetChar(5, 2), 65);
  EXPECT_EQ(screen.cellText(5, 2), QStringLiteral("A"));
  EXPECT_EQ(screen.screen()->model()->index(1, 4).data().toString(), QStringLiteral("A")) << "row 2, column 5";
  ASSERT_EQ(changed.count(), 1);
  EXPECT_EQ(changed.at(0).at(0).toModelIndex(), screen.model()->index(1, 4));
  EXPECT_EQ(changed.at(0).at(1).toModelIndex(), screen.model()->index(1, 4));

  screen.BufferChanged("11000000");  // windows-1251 А at the cursor
  EXPECT_EQ(screen.cellText(1, 1), QStringLiteral("А"));
  EXPECT_THROW(screen.SetChar(81, 1, 65), MachineError);
}

TEST_F(WindowsFixture, MonitorShowsTextAsATerminalInAMonospacedFont) {
  frmDevMonitor& window = windows.monitor();
  MonitorScreenView* screen = window.screen();
  window.show();
  QApplication::processEvents();
  // A monospaced face: every character, Latin or Cyrillic, narrow or wide,
  // is one cell wide.
  const QFont font = screen->screenFont();
  const QFontMetricsF metrics(font);
  for (const QString& c : {QStringLiteral("i"), QStringLiteral("W"), QStringLiteral("1"), QStringLiteral("."),
                           QStringLiteral("П"), QStringLiteral("ж"), QStringLiteral("Щ"), QStringLiteral("ы")})
    EXPECT_DOUBLE_EQ(metrics.horizontalAdvance(c), screen->cellSize().width())
        << c.toStdString() << " in " << QFontInfo(font).family().toStdString();
  // Cells lie side by side and row under row, with nothing between them.
  for (int x = 1; x < 80; ++x) EXPECT_DOUBLE_EQ(screen->cellRect(x + 1, 3).left(), screen->cellRect(x, 3).right()) << x;
  for (int y = 1; y < 25; ++y) EXPECT_DOUBLE_EQ(screen->cellRect(7, y + 1).top(), screen->cellRect(7, y).bottom()) << y;

  // "Привет" drawn takes no more room than the same text in the font.
  const QString greeting = QStringLiteral("Привет");
  const std::string bytes = "\xCF\xF0\xE8\xE2\xE5\xF2";  // windows-1251
  for (std::size_t i = 0; i < bytes.size(); ++i)
    window.SetChar(static_cast<int>(i) + 11, 4, static_cast<unsigned char>(bytes[i]));
  ASSERT_EQ(window.cellText(11, 4), QStringLiteral("П"));
  const QImage image = screen->grab().toImage();
  // Row 4 from column 2 (column 1 holds the start-up "0").
  const QRect band = screen->cellRect(2, 4).united(screen->cellRect(80, 4)).toRect().intersected(image.rect());
  const QColor ground = image.pixelColor(band.left() + 1, band.top() + 1);
  int first = -1, last = -1;
  for (int px = band.left(); px <= band.right(); ++px)
    for (int py = band.top(); py <= band.bottom(); ++py)
      if (image.pixelColor(px, py) != ground) {
        if (first < 0) first = px;
        last = px;
        break;
      }
  ASSERT_GE(first, 0) << "nothing drawn";
  EXPECT_GE(first, static_cast<int>(screen->cellRect(11, 4).left()) - 1);
  EXPECT_LE(last - first + 1, static_cast<int>(std::ceil(metrics.horizontalAdvance(greeting))) + 1)
      << "letters are spaced apart";
}

TEST_F(WindowsFixture, MonitorScreenFollowsTheWindowSize) {
  frmDevMonitor& window = windows.monitor();
  MonitorScreenView* screen = window.screen();
  for (const QSize size : {QSize(1200, 700), QSize(900, 500), QSize(500, 300)}) {
    window.resize(size);
    window.show();
    QApplication::processEvents();
    EXPECT_EQ(screen->geometry(), window.rect());
    const QRectF all = screen->cellRect(1, 1).united(screen->cellRect(80, 25));
    EXPECT_TRUE(QRectF(screen->rect()).contains(all)) << size.width();
    // The largest font that fits: one pixel larger would not.
    QFont larger = screen->screenFont();
    larger.setPixelSize(larger.pixelSize() + 1);
    const QFontMetricsF next(larger);
    EXPECT_TRUE(next.horizontalAdvance(QLatin1Char('M')) * 80 > screen->width() ||
                std::ceil(next.height()) * 25 > screen->height())
        << size.width() << "x" << size.height();
    EXPECT_GT(screen->screenFont().pixelSize(), 6) << "readable at " << size.width();
  }
}

TEST_F(WindowsFixture, ClosingTheMonitorWindowKeepsItsContent) {
  attach(0x05, QStringLiteral("Monitor"));
  m.controllers.Reg_Set_Data("05", "01001011");
  frmDevMonitor* before = &windows.monitor();
  before->close();
  EXPECT_FALSE(before->isVisible());
  windows.showMonitor();
  EXPECT_EQ(&windows.monitor(), before);
  EXPECT_EQ(before->cellText(1, 1), QStringLiteral("K"));
}

TEST_F(WindowsFixture, AProgramPrintsHelloOnTheMonitorWindow) {
  loadProgram({"F200", "4010", "E305", "F200", "4011", "E305", "F200", "4012", "E305", "F200", "4013", "E305",
               "F200", "4014", "E305", "F000", "0048", "0045", "004C", "004C", "004F"});
  attach(0x05, QStringLiteral("Monitor"));
  m.Start("000");
  ASSERT_TRUE(run(100000));
  QString shown;
  for (int x = 1; x <= 5; ++x) shown += windows.monitor().cellText(x, 1);
  EXPECT_EQ(shown, QStringLiteral("HELLO"));
}

// ---- the keyboard window ---------------------------------------------------

TEST_F(WindowsFixture, KeyboardWindowControlsAndTheStartMode) {
  frmDevKeyboard& kb = windows.keyboard();
  EXPECT_EQ(kb.windowTitle(), QStringLiteral("Устройство - Клавиатура"));
  EXPECT_EQ(kb.sendLastCodeOption()->text(), QStringLiteral("Отсылась в буфер последний захваченный код"));
  EXPECT_EQ(kb.queueOption()->text(), QStringLiteral("Добавлять в очередь по мере считывания"));
  EXPECT_TRUE(kb.queueOption()->isChecked());
  EXPECT_FALSE(kb.sendLastCodeOption()->isChecked());
  QStringList labels;
  for (QLabel* l : kb.findChildren<QLabel*>()) labels << l->text();
  for (const char* text : {"Режим : ", "Поле захвата ввода  : ", "Символьная очередь : "})
    EXPECT_TRUE(labels.contains(QString::fromUtf8(text))) << text;
  EXPECT_EQ(kb.clearCaptureButton()->text(), QStringLiteral("Очистить"));
  EXPECT_EQ(kb.clearQueueButton()->text(), QStringLiteral("Очистить"));
  EXPECT_EQ(kb.model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Символ"));
  EXPECT_EQ(kb.model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Код"));
}

TEST_F(WindowsFixture, TheAKeyQueuesA65WithOrWithoutShiftAndStillTypes) {
  frmDevKeyboard& kb = windows.keyboard();
  QAbstractItemModelTester tester(kb.model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
  QTest::keyClick(kb.captureField(), Qt::Key_A);
  QTest::keyClick(kb.captureField(), Qt::Key_A, Qt::ShiftModifier);
  QTest::keyClick(kb.captureField(), Qt::Key_F1);
  ASSERT_EQ(kb.model()->rowCount(), 3);
  for (int row = 0; row < 2; ++row) {
    EXPECT_EQ(kb.model()->index(row, 0).data().toString(), QStringLiteral("A"));
    EXPECT_EQ(kb.model()->index(row, 1).data().toString(), QStringLiteral("65"));
  }
  EXPECT_EQ(kb.model()->index(2, 1).data().toString(), QStringLiteral("112"));
  EXPECT_EQ(kb.model()->index(2, 0).data().toString(), QStringLiteral("p"));
  QTest::keyClicks(kb.captureField(), "Bc");
  EXPECT_TRUE(kb.captureField()->text().endsWith(QStringLiteral("Bc"))) << "the keys act in the field as usual";
  EXPECT_EQ(kb.model()->rowCount(), 5);
  EXPECT_EQ(kb.model()->index(4, 1).data().toString(), QStringLiteral("67"));
  QTest::mouseClick(kb.clearCaptureButton(), Qt::LeftButton);
  EXPECT_EQ(kb.captureField()->text(), QString());
  EXPECT_EQ(kb.model()->rowCount(), 5) << "the field's Очистить leaves the queue";
  QTest::mouseClick(kb.clearQueueButton(), Qt::LeftButton);
  EXPECT_EQ(kb.model()->rowCount(), 0);
  EXPECT_TRUE(m.keyboard.QueueEmpty());
}

TEST_F(WindowsFixture, LastCodeModeKeepsOneKeyAndOptionsFollowTheKeyboard) {
  frmDevKeyboard& kb = windows.keyboard();
  QTest::mouseClick(kb.sendLastCodeOption(), Qt::LeftButton);
  EXPECT_EQ(m.keyboard.mode(), Keyboard::Mode::SendLastCode);
  QTest::keyClicks(kb.captureField(), "xyz");
  ASSERT_EQ(kb.model()->rowCount(), 1);
  EXPECT_EQ(kb.model()->index(0, 1).data().toString(), QStringLiteral("90"));
  m.keyboard.setMode(Keyboard::Mode::QueueAsRead);
  EXPECT_TRUE(kb.queueOption()->isChecked());
  EXPECT_FALSE(kb.sendLastCodeOption()->isChecked());
}

TEST_F(WindowsFixture, AFullQueueShowsANote) {
  frmDevKeyboard& kb = windows.keyboard();
  kb.show();
  for (std::size_t i = 0; i < Keyboard::kQueueCapacity; ++i) m.keyboard.KeyPressed(65);
  EXPECT_FALSE(kb.note()->isVisible());
  QTest::keyClick(kb.captureField(), Qt::Key_B);
  EXPECT_TRUE(kb.note()->isVisible());
  EXPECT_NE(kb.note()->text().indexOf(QStringLiteral("66")), -1);
  EXPECT_EQ(kb.model()->rowCount(), static_cast<int>(Keyboard::kQueueCapacity));
  QTest::mouseClick(kb.clearQueueButton(), Qt::LeftButton);
  EXPECT_FALSE(kb.note()->isVisible());
}

TEST_F(WindowsFixture, AProgramReadsTwoKeysTypedInTheKeyboardWindow) {
  loadProgram({"E103", "C000", "E203", "3020", "E003", "E103", "C005", "E203", "3021", "E003", "F000"});
  attach(0x03, QStringLiteral("Keyboard"));
  frmDevKeyboard& kb = windows.keyboard();
  m.Start("000");
  EXPECT_FALSE(run(3000));
  QTest::keyClick(kb.captureField(), Qt::Key_H, Qt::ShiftModifier);
  QTest::keyClick(kb.captureField(), Qt::Key_I);
  EXPECT_EQ(kb.model()->rowCount(), 1) << "the first key went straight to the controller";
  ASSERT_TRUE(run(100000));
  EXPECT_EQ(BinToHex(m.memory.Value(0x020)).str(), "0048");
  EXPECT_EQ(BinToHex(m.memory.Value(0x021)).str(), "0049");
  EXPECT_EQ(kb.model()->rowCount(), 0);
}

// ---- the network adapter's window -------------------------------------------

TEST_F(WindowsFixture, NetWindowStartsAsAStationOnTheLoopbackAddress) {
  frmNetAdapter& net = windows.netAdapter();
  EXPECT_TRUE(net.stationOption()->isChecked());
  EXPECT_EQ(net.addressField()->text(), QStringLiteral("127.0.0.1"));
  EXPECT_EQ(net.port(), std::optional<std::uint16_t>(frmNetAdapter::kDefaultPort));
  EXPECT_FALSE(net.allInterfacesBox()->isChecked());
  EXPECT_FALSE(net.allInterfacesBox()->isEnabled());
  net.hubOption()->setChecked(true);
  EXPECT_TRUE(net.allInterfacesBox()->isEnabled());
  EXPECT_FALSE(net.addressField()->isEnabled()) << "a hub listens where the box says";
}

TEST_F(WindowsFixture, NetWindowRefusesABadPortOrAnEmptyAddress) {
  frmNetAdapter& net = windows.netAdapter();
  for (const char* bad : {"0", "65536", "abc", "", "-5"}) {
    net.portField()->setText(QString::fromLatin1(bad));
    net.start();
    EXPECT_FALSE(net.messageLabel()->text().isEmpty()) << bad;
    EXPECT_FALSE(m.netAdapter.PollTimerEnabled()) << bad;
  }
  net.portField()->setText(QStringLiteral("5000"));
  net.addressField()->setText(QStringLiteral("  "));
  net.start();
  EXPECT_FALSE(net.messageLabel()->text().isEmpty());
  EXPECT_FALSE(m.netAdapter.PollTimerEnabled());
}

TEST(SocketErrorText, EverySocketErrorHasARussianReason) {
  const QRegularExpression latin(QStringLiteral("[A-Za-z]"));
  const QMetaEnum errors = QMetaEnum::fromType<QAbstractSocket::SocketError>();
  ASSERT_GT(errors.keyCount(), 20);
  for (int i = 0; i < errors.keyCount(); ++i) {
    const auto error = static_cast<QAbstractSocket::SocketError>(errors.value(i));
    QString text = QString::fromStdString(SocketErrorText(error));
    EXPECT_FALSE(text.isEmpty()) << errors.key(i);
    EXPECT_FALSE(text.remove(QStringLiteral("IPv6")).contains(latin)) << errors.key(i) << ": " << text.toStdString();
  }
}

TEST_F(WindowsFixture, TheSocketLayerSaysWhyInRussian) {
  // A hub asked for an address that is not one of this computer's.
  EXPECT_EQ(windows.transport().Listen("192.0.2.1", FreePort()), "этого адреса нет у этого компьютера");
  EXPECT_EQ(windows.transport().Listen("hub.example", 5000), "'hub.example' - не IP-адрес");
  EXPECT_EQ(windows.transport().Connect("", 5000), "не указан адрес концентратора");
  EXPECT_EQ(windows.transport().Connect("127.0.0.1", 0), "не указан порт концентратора");
  windows.transport().Close(0);
}

TEST_F(WindowsFixture, AHubListensOnLoopbackUnlessAllInterfacesAreChosen) {
  frmNetAdapter& net = windows.netAdapter();
  net.hubOption()->setChecked(true);
  const std::uint16_t port = FreePort();
  net.portField()->setText(QString::number(port));
  net.start();
  EXPECT_TRUE(net.messageLabel()->text().isEmpty()) << net.messageLabel()->text().toStdString();
  EXPECT_TRUE(m.netAdapter.HubRole());
  EXPECT_EQ(windows.transport().ListeningAddress(), "127.0.0.1");
  EXPECT_EQ(windows.transport().ListeningPort(), port);
  EXPECT_NE(net.stateLabel()->text().indexOf(QString::number(port)), -1);

  // A second copy cannot take the same port and says why.
  Machine other;
  DeviceWindows otherWindows{other.devices};
  frmNetAdapter& second = otherWindows.netAdapter();
  second.hubOption()->setChecked(true);
  second.portField()->setText(QString::number(port));
  second.start();
  EXPECT_EQ(second.messageLabel()->text(), QStringLiteral("Не удалось: этот порт уже занят другой программой"));

  net.allInterfacesBox()->setChecked(true);
  net.start();
  EXPECT_EQ(windows.transport().ListeningAddress(), "0.0.0.0");
  net.stop();
  EXPECT_EQ(windows.transport().ListeningPort(), 0);
}

TEST_F(WindowsFixture, TwoCopiesConnectFromTheirWindowsAndExchangeAByte) {
  const std::uint16_t port = FreePort();
  frmNetAdapter& hubWindow = windows.netAdapter();
  hubWindow.hubOption()->setChecked(true);
  hubWindow.portField()->setText(QString::number(port));
  hubWindow.start();

  Machine station;
  DeviceWindows stationWindows{station.devices};
  frmNetAdapter& stationWindow = stationWindows.netAdapter();
  stationWindow.portField()->setText(QString::number(port));
  stationWindow.start();
  ASSERT_TRUE(QTest::qWaitFor([&] { return station.netAdapter.SocketMode(0) == 1 && station.netAdapter.HubName() == "hub"; }, 5000));
  EXPECT_NE(stationWindow.stateLabel()->text().indexOf(QStringLiteral("обмен данными")), -1);

  // The hub's program writes 0x5A to its net adapter controller; the
  // station's controller receives it with its flag raised.
  m.controllers.SetDevice(Row(0x07), kDeviceNetAdapter);
  station.controllers.SetDevice(Row(0x07), kDeviceNetAdapter);
  m.controllers.Reg_Set_Data("07", "01011010");
  ASSERT_TRUE(QTest::qWaitFor([&] { return station.controllers.Flag(Row(0x07)) == 1; }, 5000));
  EXPECT_EQ(BinToHex(station.controllers.Data(Row(0x07))).str(), "5A");

  stationWindow.stop();
  ASSERT_TRUE(QTest::qWaitFor([&] { return m.netAdapter.StationCount() == 0; }, 5000));
  EXPECT_NE(stationWindow.stateLabel()->text().indexOf(QStringLiteral("нет соединения")), -1);
  // The hub's log told both, each on its own line after the time.
  const QStringList log = hubWindow.logView()->toPlainText().split('\n');
  ASSERT_EQ(log.size(), 2) << hubWindow.logView()->toPlainText().toStdString();
  EXPECT_TRUE(log[0].contains(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d станция vesk1 подключилась \\(127\\.0\\.0\\.1:\\d+\\)$"))))
      << log[0].toStdString();
  EXPECT_TRUE(log[1].endsWith(QStringLiteral(" станция vesk1 отключилась"))) << log[1].toStdString();

  // Nobody listens any more: the refused attempt is said in the window.
  hubWindow.stop();
  stationWindow.start();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !station.netAdapter.PollTimerEnabled(); }, 5000));
  EXPECT_EQ(stationWindow.messageLabel()->text(),
            QStringLiteral("Нет соединения с концентратором: концентратор не принимает подключения (в соединении отказано)"));
  EXPECT_NE(stationWindow.stateLabel()->text().indexOf(QStringLiteral("нет соединения")), -1);
}
