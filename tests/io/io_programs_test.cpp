// Whole programs that use devices through IN, OUT, TSF and CLF, run by the
// real run control in virtual time.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/machine.h"
#include "format/bit_string.h"
#include "support/hub_transports.h"
#include "support/io_micro_program.h"
#include "support/tiny_micro_program.h"

using namespace vesk;

namespace {

struct Computer {
  Machine m;
  std::vector<std::string> errors;
  explicit Computer(const std::vector<const char*>& program) {
    m.setErrorHandler([this](const std::string& e) { errors.push_back(e); });
    vesk::testing::LoadIoMicroProgram(m.microMemory);
    m.runControl.SetIntervals(0, 0, 0);
    vesk::testing::Poke(m.memory, 0, program);
  }
  void attach(int address, std::string_view device) { m.controllers.SetDevice(Controllers::RowOfAddress(address), device); }
  // Ticks until the machine rests or the limit passes; true when it rested.
  bool run(long limit) {
    for (long i = 0; i < limit; ++i) {
      m.runControl.Tick();
      if (m.runControl.Idle()) return true;
    }
    return false;
  }
  std::string word(int address) { return BinToHex(m.memory.Value(address)).str(); }
};

}  // namespace

TEST(IoPrograms, HelloThroughOutToAMonitor) {
  Computer pc({
      "F200", "4010", "E305",  // CLA, ADD 010, OUT 05
      "F200", "4011", "E305",  //
      "F200", "4012", "E305",  //
      "F200", "4013", "E305",  //
      "F200", "4014", "E305",  //
      "F000",                  // HLT
      "0048", "0045", "004C", "004C", "004F",  // 010..014: H E L L O
  });
  pc.attach(0x05, kDeviceMonitor);
  pc.m.Start("000");
  ASSERT_TRUE(pc.run(100000));
  EXPECT_TRUE(pc.errors.empty());
  std::string row;
  for (int x = 1; x <= 6; ++x) row += static_cast<char>(pc.m.monitor.GetChar(x, 1) == 0 ? '.' : pc.m.monitor.GetChar(x, 1));
  EXPECT_EQ(row, "HELLO.");
  EXPECT_EQ(pc.m.monitor.GetChar(1, 2), '0') << "the rest of the screen is untouched";
  EXPECT_EQ(pc.m.trace.CCounter(), 16);
}

TEST(IoPrograms, ReadsTwoTypedKeysWithTsfInAndClf) {
  Computer pc({
      "E103", "C000",          // 000: TSF 03; BR 000  (wait for a key)
      "E203", "3020", "E003",  // 002: IN 03; MOV 020; CLF 03
      "E103", "C005",          // 005: TSF 03; BR 005
      "E203", "3021", "E003",  // 007: IN 03; MOV 021; CLF 03
      "F000",                  // 00A: HLT
  });
  pc.attach(0x03, kDeviceKeyboard);
  pc.m.Start("000");
  EXPECT_FALSE(pc.run(5000)) << "the program waits for a key";
  EXPECT_EQ(pc.word(0x020), "0000");
  pc.m.keyboard.KeyPressed(65);  // A
  EXPECT_FALSE(pc.run(5000)) << "and for a second one";
  EXPECT_EQ(pc.word(0x020), "0041");
  pc.m.keyboard.KeyPressed(66);  // B
  pc.m.keyboard.KeyPressed(67);  // C stays queued: the program reads two keys
  ASSERT_TRUE(pc.run(100000));
  EXPECT_TRUE(pc.errors.empty());
  EXPECT_EQ(pc.word(0x020), "0041");
  EXPECT_EQ(pc.word(0x021), "0042");
  const int row = Controllers::RowOfAddress(0x03);
  EXPECT_EQ(pc.m.controllers.Flag(row), 1) << "the CLF after B released C";
  EXPECT_EQ(BinToHex(pc.m.controllers.Data(row)).str(), "43");
  EXPECT_TRUE(pc.m.keyboard.QueueEmpty());
}

TEST(IoPrograms, TwoMachinesExchangeAByteThroughAHub) {
  // A sends 5A and waits for the answer; B waits for a byte, adds one and
  // sends the sum back. Both use controller 07 as their net adapter.
  Computer a({
      "F200", "4010", "E307",  // 000: CLA; ADD 010; OUT 07
      "E107", "C003",          // 003: TSF 07; BR 003
      "E207", "3020", "F000",  // 005: IN 07; MOV 020; HLT
      "0000", "0000", "0000", "0000", "0000", "0000", "0000", "0000",
      "005A",                  // 010
  });
  Computer b({
      "E107", "C000",                  // 000: TSF 07; BR 000
      "E207", "4010", "E307", "3020",  // 002: IN 07; ADD 010; OUT 07; MOV 020
      "F000",                          // 006: HLT
      "0000", "0000", "0000", "0000", "0000", "0000", "0000", "0000", "0000",
      "0001",                          // 010
  });
  Machine hub;
  vesk::testing::FakeHubNetwork net(7);
  net.Attach(hub.netAdapter);
  net.Attach(a.m.netAdapter);
  net.Attach(b.m.netAdapter);
  ASSERT_EQ(hub.netAdapter.StartHub("127.0.0.1", 4000), "");
  ASSERT_EQ(a.m.netAdapter.StartStation("127.0.0.1", 4000), "");
  ASSERT_EQ(b.m.netAdapter.StartStation("127.0.0.1", 4000), "");
  net.Run();
  net.Poll();
  ASSERT_EQ(a.m.netAdapter.SocketMode(0), 1);
  ASSERT_EQ(b.m.netAdapter.SocketMode(0), 1);
  EXPECT_EQ(a.m.netAdapter.HubName(), "hub");
  a.attach(0x07, kDeviceNetAdapter);
  b.attach(0x07, kDeviceNetAdapter);

  b.m.Start("000");
  a.m.Start("000");
  bool aDone = false, bDone = false;
  for (int round = 0; round < 200 && !(aDone && bDone); ++round) {
    aDone = a.run(200) || aDone;
    bDone = b.run(200) || bDone;
    net.Run();
  }
  ASSERT_TRUE(aDone && bDone);
  EXPECT_TRUE(a.errors.empty());
  EXPECT_TRUE(b.errors.empty());
  EXPECT_EQ(b.word(0x020), "005B") << "B received 5A and added one";
  EXPECT_EQ(a.word(0x020), "005B") << "A received B's answer";
  EXPECT_EQ(hub.netAdapter.ReceiveBuffer(), "\x5A\x5B") << "the hub takes both";
  EXPECT_EQ(a.m.netAdapter.ReceiveBuffer(), "") << "A did not get its own byte back";
}

TEST(IoPrograms, TheTinyMicroProgramStillRunsWithDevicesAttached) {
  // Devices on every controller change nothing for a program without I/O.
  Machine m;
  vesk::testing::LoadTinyMicroProgram(m.microMemory);
  m.runControl.SetIntervals(0, 0, 0);
  for (int row = 0; row < Controllers::kCount; ++row)
    m.controllers.SetDevice(row, row % 3 == 0 ? kDeviceMonitor : row % 3 == 1 ? kDeviceKeyboard : kDeviceNetAdapter);
  m.keyboard.KeyPressed(65);
  vesk::testing::Poke(m.memory, 0, {"0000", "0000", "F000"});
  m.Start("000");
  for (int i = 0; i < 10000 && !m.runControl.Idle(); ++i) m.runControl.Tick();
  EXPECT_EQ(BinToHex(m.processor.Reg_Get_A()).str(), "0002");
  EXPECT_EQ(m.controllers.Flag(1), 1) << "the first keyboard controller holds the key";
}
