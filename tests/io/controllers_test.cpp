#include "io/controllers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/processor.h"
#include "format/bit_string.h"
#include "util/machine_error.h"

using namespace vesk;

namespace {

Word Bits16(std::string_view hex) { return FitWidth(HexToBin(hex), 16); }

struct ControllersFixture : ::testing::Test {
  Processor cpu;
  Controllers c{cpu};
};

}  // namespace

TEST_F(ControllersFixture, ListOrderAndInitialRows) {
  EXPECT_EQ(Controllers::AddressText(0), "01");
  EXPECT_EQ(Controllers::AddressText(254), "FF");
  EXPECT_EQ(Controllers::AddressText(255), "00");
  for (int row = 0; row < Controllers::kCount; ++row) {
    EXPECT_EQ(c.Flag(row), 0);
    EXPECT_EQ(c.DataText(row), "00 | 000 | 0000.0000");
    EXPECT_EQ(c.Device(row), " - ");
    EXPECT_EQ(c.Comment(row), "");
    EXPECT_TRUE(c.IsInitial(row));
    EXPECT_EQ(Controllers::RowOfAddress(Controllers::AddressOfRow(row)), row);
  }
}

TEST_F(ControllersFixture, DataRegisterFitsToEightBitsAndShowsThreeForms) {
  c.Reg_Set_Data("0A", "0001001000110100");
  EXPECT_EQ(c.Reg_Get_Data("0A"), "00110100");
  EXPECT_EQ(c.DataText(Controllers::RowOfAddress(0x0A)), "34 | 052 | 0011.0100");
  c.Reg_Set_Data("0a", "101");
  EXPECT_EQ(c.Reg_Get_Data("0A"), "00000101");
  c.Reg_Set_Data("FF", "11111111");
  EXPECT_EQ(c.DataText(254), "FF | 255 | 1111.1111");
  EXPECT_THROW(c.Reg_Set_Data("0A", "12"), MachineError);
  EXPECT_EQ(c.Reg_Get_Data("0A"), "00000101");
}

TEST_F(ControllersFixture, AddressesThatNameNoControllerAreRefused) {
  for (const char* bad : {"", "100", "G1", "-1", "1 "}) {
    EXPECT_THROW(c.Reg_Get_Flag(bad), MachineError) << bad;
    EXPECT_THROW(c.Reg_Set_Flag(bad, 1), MachineError) << bad;
    EXPECT_THROW(c.Reg_Set_Data(bad, "1"), MachineError) << bad;
  }
  for (int row = 0; row < Controllers::kCount; ++row) EXPECT_TRUE(c.IsInitial(row));
}

TEST_F(ControllersFixture, OrdersOnControllerZeroReachTheLastRow) {
  c.Reg_Set_Flag("00", 1);
  EXPECT_EQ(c.Flag(255), 1);
  c.ExecuteIOCommand(Bits16("E000"));  // CLF 00
  EXPECT_EQ(c.Flag(255), 0);
  cpu.Reg_Set_A(Bits16("00AB"));
  c.ExecuteIOCommand(Bits16("E300"));  // OUT 00
  EXPECT_EQ(c.Reg_Get_Data("00"), "10101011");
  EXPECT_EQ(c.Data(255), "10101011");
}

TEST_F(ControllersFixture, FlagTestSkipsOnlyOnOne) {
  cpu.Reg_Set_CommandCounter(Bits16("0010"));
  c.ExecuteIOCommand(Bits16("E107"));
  EXPECT_EQ(BinToHex(cpu.Reg_Get_CommandCounter()), "0010");
  c.Reg_Set_Flag("07", 1);
  c.ExecuteIOCommand(Bits16("E107"));
  EXPECT_EQ(BinToHex(cpu.Reg_Get_CommandCounter()), "0011");
  EXPECT_EQ(c.Reg_Get_Flag("07"), 1);
  c.Reg_Set_Flag("07", 2);
  c.ExecuteIOCommand(Bits16("E107"));
  EXPECT_EQ(BinToHex(cpu.Reg_Get_CommandCounter()), "0011");
  // At 7FF the counter wraps within its 11 bits.
  c.Reg_Set_Flag("07", 1);
  cpu.Reg_Set_CommandCounter(Bits16("07FF"));
  c.ExecuteIOCommand(Bits16("E107"));
  EXPECT_EQ(BinToHex(cpu.Reg_Get_CommandCounter()), "0000");
}

TEST_F(ControllersFixture, InputAndOutput) {
  cpu.Reg_Set_A(Bits16("1234"));
  c.ExecuteIOCommand(Bits16("E305"));
  EXPECT_EQ(c.DataText(Controllers::RowOfAddress(5)), "34 | 052 | 0011.0100");
  c.ExecuteIOCommand(Bits16("E206"));  // never written
  EXPECT_EQ(cpu.Reg_Get_A(), "00000000");
  c.ExecuteIOCommand(Bits16("E205"));
  EXPECT_EQ(cpu.Reg_Get_A(), "00110100");
  EXPECT_EQ(c.Reg_Get_Flag("05"), 0);
}

TEST_F(ControllersFixture, UnknownOrdersDoNothing) {
  cpu.Reg_Set_A(Bits16("1234"));
  c.Reg_Set_Flag("05", 1);
  for (const char* order : {"E405", "EA05", "EF05"}) c.ExecuteIOCommand(Bits16(order));
  EXPECT_EQ(c.Reg_Get_Flag("05"), 1);
  EXPECT_EQ(c.Reg_Get_Data("05"), "00000000");
  EXPECT_EQ(BinToHex(cpu.Reg_Get_A()), "1234");
}

TEST_F(ControllersFixture, DropAllFlagKeepsEverythingElse) {
  c.Reg_Set_Flag("01", 1);
  c.Reg_Set_Flag("00", 1);
  c.Reg_Set_Data("01", "11");
  c.SetDevice(0, "Monitor");
  c.SetComment(0, "screen");
  c.DropAllFlag();
  EXPECT_EQ(c.Flag(0), 0);
  EXPECT_EQ(c.Flag(255), 0);
  EXPECT_EQ(c.Reg_Get_Data("01"), "00000011");
  EXPECT_EQ(c.Device(0), "Monitor");
  EXPECT_EQ(c.Comment(0), "screen");
}

TEST_F(ControllersFixture, DataWritesAreHeardWithTheRowsDevice) {
  struct Rec : ControllersListener {
    std::vector<int> written;
    void dataRegisterWritten(int row) override { written.push_back(row); }
  } rec;
  c.listeners().add(&rec);
  c.Reg_Set_Data("03", "1");
  c.Reg_Set_Flag("03", 1);
  EXPECT_EQ(rec.written, std::vector<int>{2});
}

TEST(ControllersOrders, AnOrderGivenAsANumberDoesWhatItsTextDoes) {
  // Every order on a few controllers, from registers clean and odd: the
  // number and the text must leave the same processor and controllers.
  const std::vector<std::string> accumulators = {Bits16("1234").str(), "01000001", "1", "x0000000011", "2"};
  const std::vector<std::string> counters = {Bits16("07FF").str(), Bits16("0010").str(), "x000000000000101"};
  for (std::uint32_t order = 0; order < 6; ++order) {
    for (const int controller : {0, 5, 0xFF}) {
      for (const std::string& a : accumulators) {
        for (const std::string& counter : counters) {
          Processor p1, p2;
          Controllers c1{p1}, c2{p2};
          for (Processor* p : {&p1, &p2}) {
            p->Reg_Set_A(a);
            p->Reg_Set_CommandCounter(counter);
          }
          for (Controllers* c : {&c1, &c2}) {
            c->SetFlagOfRow(Controllers::RowOfAddress(controller), 1);
            c->Reg_Set_Data(Controllers::AddressText(Controllers::RowOfAddress(controller)), "10100101");
          }
          const auto command = static_cast<std::uint16_t>(0xE000u | (order << 8) | static_cast<std::uint32_t>(controller));
          std::string error1, error2;
          try {
            c1.ExecuteIO(command);
          } catch (const MachineError& e) {
            error1 = e.what();
          }
          try {
            c2.ExecuteIOCommand(NumToBits(command, 16));
          } catch (const MachineError& e) {
            error2 = e.what();
          }
          const std::string where = "order " + std::to_string(order) + " A " + a + " СК " + counter;
          EXPECT_EQ(error1, error2) << where;
          EXPECT_EQ(p1.Reg_Get_A(), p2.Reg_Get_A()) << where;
          EXPECT_EQ(p1.Reg_Get_CommandCounter(), p2.Reg_Get_CommandCounter()) << where;
          for (int row = 0; row < Controllers::kCount; ++row) {
            EXPECT_EQ(c1.Flag(row), c2.Flag(row)) << where;
            EXPECT_EQ(c1.Data(row), c2.Data(row)) << where;
          }
        }
      }
    }
  }
}
