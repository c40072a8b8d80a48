#include "memory/micro_memory.h"

#include <gtest/gtest.h>

#include <string>

#include "core/micro_command.h"
#include "format/bit_string.h"
#include "util/machine_error.h"

using namespace vesk;

TEST(MicroMemory, InitialRowsAndFixedKeys) {
  MicroMemory m;
  EXPECT_EQ(m.Micro_ReadKey("01"), "new_cmd");
  EXPECT_EQ(m.Micro_ReadKey("02"), "curr_cmd_addr_to_ar");
  EXPECT_EQ(m.Micro_ReadKey("06"), "curr_cmd_in_cr");
  EXPECT_EQ(m.Micro_ReadKey("03"), "");
  EXPECT_EQ(m.Micro_ReadKey("ff"), "");
  EXPECT_EQ(m.Selected(), -1);  // reading a key does not select
  for (int a : {1, 0x80, 0xFF}) {
    EXPECT_EQ(m.HorizontalText(a), "0000.0000.0000.0000 0000.0000.0000.0000 | 0000 0000");
    EXPECT_EQ(m.VerticalText(a), "0000.0000.0000.0000 | 0000");
    EXPECT_EQ(m.Comment(a), "");
  }
  EXPECT_EQ(MicroMemory::AddressText(1), "01");
  EXPECT_EQ(MicroMemory::AddressText(255), "FF");
}

TEST(MicroMemory, ReadAndWriteSelectAndKeepKeyAndComment) {
  MicroMemory m;
  m.SetComment(2, "СК->РА");
  m.Micro_WriteMem("02", "0000000000011010");
  EXPECT_EQ(m.Selected(), 2);
  EXPECT_EQ(m.VerticalText(2), "0000.0000.0001.1010 | 001A");
  EXPECT_EQ(m.Key(2), "curr_cmd_addr_to_ar");
  EXPECT_EQ(m.Comment(2), "СК->РА");
  EXPECT_EQ(m.Micro_ReadMem("A0"), std::string(16, '0'));
  EXPECT_EQ(m.Selected(), 0xA0);
}

TEST(MicroMemory, HorizontalColumnOfAControlWord) {
  EXPECT_EQ(MicroHorizontalText(FitWidth(HexToBin("8301"), 16)),
            "1000.0010.0000.0001 0000.0000.0000.1000 | 8201 0008");
  // The grouping of a horizontal form with only bits 31 and 0 set.
  EXPECT_EQ(HorizontalBinText(FitWidth(HexToBin("80000001"), 32)), "1000.0000.0000.0000 0000.0000.0000.0001");
}

TEST(MicroMemory, AddressesOutsideOneToFFAreRefused) {
  MicroMemory m;
  for (const char* bad : {"", "00", "0", "100", "G1", " 1"}) {
    EXPECT_THROW(m.Micro_ReadMem(bad), MachineError) << bad;
    EXPECT_THROW(m.Micro_ReadKey(bad), MachineError) << bad;
    EXPECT_THROW(m.Micro_WriteMem(bad, std::string(16, '0')), MachineError) << bad;
  }
  EXPECT_THROW(m.Micro_WriteMem("01", "101"), MachineError);
  EXPECT_THROW(m.SetRow(0, std::string(16, '0'), ""), MachineError);
  EXPECT_THROW(m.SetRow(256, std::string(16, '0'), ""), MachineError);
  EXPECT_EQ(m.Selected(), -1);
  EXPECT_EQ(MicroMemory::ParseAddress("0ff"), 255);
}

TEST(MicroMemory, CommentsThatCannotBeSavedAreRefusedWhereTheyEnter) {
  MicroMemory m;
  m.SetComment(5, "Чтение памяти");
  EXPECT_THROW(m.SetComment(5, "СК → БР"), MachineError);
  EXPECT_THROW(m.SetRow(5, std::string(16, '1'), "☃"), MachineError);
  EXPECT_EQ(m.Comment(5), "Чтение памяти");
  EXPECT_EQ(m.Value(5), std::string(16, '0'));  // nothing half-written
}
