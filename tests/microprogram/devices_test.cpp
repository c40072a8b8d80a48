// The shipped micro-program and example programs with real devices behind
// the controllers: the print example on a monitor, the input example reading
// the keyboard device.
#include <gtest/gtest.h>

#include <string>

#include "io/controllers.h"
#include "microprogram/rig.h"
#include "util/cp1251.h"

namespace vesk::testing {
namespace {

std::string ScreenRow(const Monitor& monitor, int y, int count) {
  std::string bytes;
  for (int x = 1; x <= count; ++x) bytes += static_cast<char>(monitor.GetChar(x, y));
  return Cp1251ToUtf8(bytes);
}

TEST(ShippedProgramsWithDevices, ThePrintExampleWritesItsTextOnAMonitor) {
  Rig rig;
  rig.LoadDump(std::string(VESK_EXAMPLES_DIR) + "/print.vdmp");
  rig.m.controllers.SetDevice(Controllers::RowOfAddress(0x02), kDeviceMonitor);
  ASSERT_TRUE(rig.RunFrom(0x000));
  EXPECT_EQ(ScreenRow(rig.m.monitor, 1, 13), "Привет, Vesk!");
  EXPECT_EQ(rig.m.monitor.GetChar(14, 1), 0);
  EXPECT_EQ(rig.m.monitor.CursorColumn(), 14);
}

TEST(ShippedProgramsWithDevices, TheInputExampleReadsKeysFromTheKeyboard) {
  Rig rig;
  rig.LoadDump(std::string(VESK_EXAMPLES_DIR) + "/input.vdmp");
  rig.m.controllers.SetDevice(Controllers::RowOfAddress(0x03), kDeviceKeyboard);
  rig.Start(0x000);
  EXPECT_FALSE(rig.Run(2000)) << "it waits for keys";
  // Key codes, not characters: the full-stop key gives BE; the Enter key's
  // 0D ends the input.
  for (const int key : {72, 73, 0xBE, 13, 65}) rig.m.keyboard.KeyPressed(key);
  ASSERT_TRUE(rig.Run(100000));
  EXPECT_EQ(rig.Peek(0x040), 72);
  EXPECT_EQ(rig.Peek(0x041), 73);
  EXPECT_EQ(rig.Peek(0x042), 0xBE);
  EXPECT_EQ(rig.Peek(0x043), 13);
  EXPECT_EQ(rig.Peek(0x020), 0x044);
  EXPECT_EQ(rig.m.keyboard.QueueSize(), 0u) << "the CLF after the last key released A into the controller";
  EXPECT_EQ(rig.Flag(0x03), 1);
  EXPECT_EQ(rig.Data(0x03), 65);
}

}  // namespace
}  // namespace vesk::testing
