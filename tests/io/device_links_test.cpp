#include "io/device_links.h"

#include <gtest/gtest.h>

#include <string>

#include "app/machine.h"
#include "format/bit_string.h"
#include "support/hub_transports.h"

using namespace vesk;
using namespace std::string_literals;

namespace {

struct LinksFixture : ::testing::Test {
  Machine m;
  Controllers& c = m.controllers;
  static int Row(int address) { return Controllers::RowOfAddress(address); }
  std::string dataHex(int address) { return BinToHex(c.Data(Row(address))).str(); }
  void ioOrder(const char* hex) { c.ExecuteIOCommand(FitWidth(HexToBin(hex), 16)); }
  std::string screenRow(int y, int count) {
    std::string text;
    for (int x = 1; x <= count; ++x) {
      const int code = m.monitor.GetChar(x, y);
      text += code == 0 ? '.' : static_cast<char>(code);
    }
    return text;
  }
};

}  // namespace

TEST_F(LinksFixture, OnlyAMonitorControllerWritesToTheScreen) {
  c.SetDevice(Row(0x01), kNoDevice);
  c.SetDevice(Row(0x02), kDeviceKeyboard);
  c.SetDevice(Row(0x03), kDeviceNetAdapter);
  c.SetDevice(Row(0x04), "monitor");  // names compare exactly
  for (const char* addr : {"01", "02", "03", "04"}) c.Reg_Set_Data(addr, "01000001");
  EXPECT_EQ(screenRow(1, 2), "0.");
  c.SetDevice(Row(0x05), kDeviceMonitor);
  c.Reg_Set_Data("05", "01001000");  // the user's edit in the controllers window counts too
  m.processor.Reg_Set_A(FitWidth(HexToBin("1269"), 16));
  ioOrder("E305");  // OUT 05 takes the low byte of А
  EXPECT_EQ(screenRow(1, 3), "Hi.");
  EXPECT_EQ(c.Flag(Row(0x05)), 0) << "output leaves the flag alone";
}

TEST_F(LinksFixture, KeysWaitUntilAKeyboardIsAttachedThenFeedItOneByOne) {
  m.keyboard.KeyPressed(65);
  m.keyboard.KeyPressed(66);
  EXPECT_EQ(m.keyboard.QueueSize(), 2u) << "no keyboard controller yet";
  c.SetDevice(Row(0x03), kDeviceKeyboard);
  EXPECT_EQ(m.devices.KeyboardRow(), Row(0x03));
  EXPECT_EQ(dataHex(0x03), "41");
  EXPECT_EQ(c.Flag(Row(0x03)), 1);
  EXPECT_EQ(m.keyboard.QueueSize(), 1u);

  ioOrder("E203");  // IN does not release the next key
  EXPECT_EQ(BitsValue(m.processor.Reg_Get_A()), 0x41u);
  EXPECT_EQ(dataHex(0x03), "41");
  ioOrder("E003");  // CLF does
  EXPECT_EQ(dataHex(0x03), "42");
  EXPECT_EQ(c.Flag(Row(0x03)), 1);
  EXPECT_TRUE(m.keyboard.QueueEmpty());
  ioOrder("E003");
  EXPECT_EQ(c.Flag(Row(0x03)), 0) << "nothing left to give";
  m.keyboard.KeyPressed(67);
  EXPECT_EQ(dataHex(0x03), "43");
  EXPECT_EQ(c.Flag(Row(0x03)), 1);
}

TEST_F(LinksFixture, ClearingAllFlagsAndUntickingTheFlagReleaseKeysToo) {
  c.SetDevice(Row(0x07), kDeviceKeyboard);
  for (int k : {49, 50, 51}) m.keyboard.KeyPressed(k);
  EXPECT_EQ(dataHex(0x07), "31");
  c.DropAllFlag();
  EXPECT_EQ(dataHex(0x07), "32");
  c.Reg_Set_Flag("07", 0);  // the flag box in the controllers window
  EXPECT_EQ(dataHex(0x07), "33");
  EXPECT_EQ(c.Flag(Row(0x07)), 1);
}

TEST_F(LinksFixture, TheFirstKeyboardControllerInListOrderIsFed) {
  c.SetDevice(Row(0x00), kDeviceKeyboard);  // 00 stands last in the list
  c.SetDevice(Row(0x20), kDeviceKeyboard);
  m.keyboard.KeyPressed(65);
  EXPECT_EQ(c.Flag(Row(0x20)), 1);
  EXPECT_EQ(c.Flag(Row(0x00)), 0);
  c.SetDevice(Row(0x20), kNoDevice);  // detached: 00 takes over
  m.keyboard.KeyPressed(66);
  EXPECT_EQ(dataHex(0x00), "42");
  EXPECT_EQ(c.Flag(Row(0x00)), 1);
}

TEST_F(LinksFixture, DetachedKeyboardKeepsItsQueue) {
  c.SetDevice(Row(0x03), kDeviceKeyboard);
  m.keyboard.KeyPressed(65);
  c.SetDevice(Row(0x03), kNoDevice);
  ioOrder("E003");
  m.keyboard.KeyPressed(66);
  EXPECT_EQ(m.keyboard.QueueSize(), 1u);
  EXPECT_EQ(c.Flag(Row(0x03)), 0);
  EXPECT_EQ(dataHex(0x03), "41");
}

TEST_F(LinksFixture, LastCodeModeOverwritesTheUnreadKey) {
  m.keyboard.setMode(Keyboard::Mode::SendLastCode);
  c.SetDevice(Row(0x03), kDeviceKeyboard);
  m.keyboard.KeyPressed(65);
  m.keyboard.KeyPressed(66);
  m.keyboard.KeyPressed(67);
  EXPECT_EQ(dataHex(0x03), "43");
  EXPECT_EQ(c.Flag(Row(0x03)), 1);
  EXPECT_TRUE(m.keyboard.QueueEmpty());
  ioOrder("E003");
  EXPECT_EQ(c.Flag(Row(0x03)), 0) << "no backlog";
}

TEST_F(LinksFixture, LastCodeModeWithoutAControllerKeepsTheNewestKeyForLater) {
  m.keyboard.setMode(Keyboard::Mode::SendLastCode);
  m.keyboard.KeyPressed(65);
  m.keyboard.KeyPressed(66);
  EXPECT_EQ(m.keyboard.QueueSize(), 1u);
  c.SetDevice(Row(0x03), kDeviceKeyboard);
  EXPECT_EQ(dataHex(0x03), "42");
}

TEST_F(LinksFixture, NetAdapterControllerSendsItsBytesAndTakesReceivedOnes) {
  vesk::testing::RecordingTransport wire;
  m.netAdapter.setTransport(&wire);
  ASSERT_EQ(m.netAdapter.StartStation("127.0.0.1", 4000), "");
  wire.connected.insert(0);
  m.netAdapter.DataArrival(0, "quon-name:vesk1\0quon-switching2dm.\0srvname:hub\0"s);
  wire.sent.clear();

  c.SetDevice(Row(0x07), kDeviceNetAdapter);
  m.processor.Reg_Set_A(FitWidth(HexToBin("005A"), 16));
  ioOrder("E307");
  EXPECT_EQ(wire.Messages(0), std::vector<std::string>{"public-packet:vesk1;5A"});

  m.netAdapter.DataArrival(0, "public-packet:hub;41\0public-packet:vesk2;42\0"s);
  EXPECT_EQ(dataHex(0x07), "41");
  EXPECT_EQ(c.Flag(Row(0x07)), 1);
  EXPECT_EQ(m.netAdapter.ReceiveBuffer(), "B");
  EXPECT_EQ(wire.Messages(0).size(), 1u) << "a received byte is not sent back out";
  ioOrder("E007");
  EXPECT_EQ(dataHex(0x07), "42");
  EXPECT_EQ(m.netAdapter.ReceiveBuffer(), "");
  EXPECT_EQ(m.devices.UnsentBytes(), 0u);

  m.netAdapter.SocketClosed(0);
  ioOrder("E307");
  EXPECT_EQ(m.devices.UnsentBytes(), 1u);
  m.netAdapter.setTransport(nullptr);
}

TEST_F(LinksFixture, BytesReceivedBeforeAttachingWaitInTheBuffer) {
  m.netAdapter.DataArrival(0, "quon-switching2dm.\0public-packet:x;31\0public-packet:x;32\0"s);
  EXPECT_EQ(m.netAdapter.ReceiveBuffer(), "12");
  c.SetDevice(Row(0x09), kDeviceNetAdapter);
  EXPECT_EQ(dataHex(0x09), "31");
  EXPECT_EQ(m.netAdapter.ReceiveBuffer(), "2");
}
