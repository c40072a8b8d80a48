#include "core/micro_command.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/machine.h"
#include "format/bit_string.h"

using namespace vesk;

namespace {

Word Bits16(std::string_view hex) { return FitWidth(HexToBin(hex), 16); }

std::string Horizontal(std::string_view verticalHex) { return BinToHex(ExpandMicroCommand(Bits16(verticalHex))).str(); }

struct MicroFixture : ::testing::Test {
  Machine m;
  std::vector<std::string> errors;
  void SetUp() override {
    m.setErrorHandler([this](const std::string& e) { errors.push_back(e); });
  }
  void exec(std::string_view verticalHex, std::string_view key = "") {
    m.executor.ExecuteMicroCommand(ExpandMicroCommand(Bits16(verticalHex)), key);
  }
  Processor& cpu() { return m.processor; }
  std::string hex(const Word& w) { return BinToHex(w).str(); }
};

}  // namespace

TEST(ExpandMicroCommand, ControlFormat) {
  // 8301: test РС bit 3 against 0, jump to 01.
  EXPECT_EQ(Horizontal("8301"), "82010008");
  // C3FF: compare with 1, register code 0 (РС), bit 3, address FF.
  EXPECT_EQ(Horizontal("C3FF"), "83FF0008");
  // B20A: register code 3 (А), bit 2, compare 0, address 0A.
  EXPECT_EQ(Horizontal("B20A"), "900A0004");
  // ADF0: register code 2 (РК), bit 13.
  EXPECT_EQ(Horizontal("ADF0"), "88F02000");
}

TEST(ExpandMicroCommand, GroupZeroFields) {
  EXPECT_EQ(ExpandMicroCommand(std::string(16, '0')), std::string(32, '0'));
  EXPECT_EQ(Horizontal("1110"), "00000412");  // А + РД + 1
  EXPECT_EQ(Horizontal("1190"), "00000512");  // А + ¬РД + 1
  EXPECT_EQ(Horizontal("2200"), "00000024");  // РС, РК
  EXPECT_EQ(Horizontal("3300"), "00000048");  // КР, СК
  EXPECT_EQ(Horizontal("0040"), "00000080");  // invert left
  EXPECT_EQ(Horizontal("00C0"), "00000000");  // inversion 3: none
  EXPECT_EQ(Horizontal("0020"), "00000200");  // AND
  EXPECT_EQ(Horizontal("0030"), "00000000");  // operation 3: add
  EXPECT_EQ(Horizontal("0004"), "00000800");  // rotate right
  EXPECT_EQ(Horizontal("0008"), "00001000");  // rotate left
  EXPECT_EQ(Horizontal("000C"), "00000000");
  EXPECT_EQ(Horizontal("0001"), "00800000");  // read
  EXPECT_EQ(Horizontal("0002"), "01000000");  // write
  EXPECT_EQ(Horizontal("0003"), "00000000");
  EXPECT_EQ(Horizontal("0C00"), "00000000");  // bits 11-10 unused
}

TEST(ExpandMicroCommand, GroupOneFields) {
  EXPECT_EQ(Horizontal("4008"), "00000001");  // HLT
  EXPECT_EQ(Horizontal("4005"), "00400000");  // БР → А
  EXPECT_EQ(Horizontal("4035"), "0040C000");  // БР → А, N, Z
  EXPECT_EQ(Horizontal("4040"), "00002000");  // C from БР.16
  EXPECT_EQ(Horizontal("4080"), "00010000");  // C := 0
  EXPECT_EQ(Horizontal("40C0"), "00020000");  // C := 1
  EXPECT_EQ(Horizontal("4F00"), "1E000000");  // 28, 27, 26, 25
  EXPECT_EQ(Horizontal("4001"), "00040000");
  EXPECT_EQ(Horizontal("4002"), "00080000");
  EXPECT_EQ(Horizontal("4003"), "00100000");
  EXPECT_EQ(Horizontal("4004"), "00200000");
  EXPECT_EQ(Horizontal("4006"), "00000000");
  EXPECT_EQ(Horizontal("4007"), "005C0000");
  EXPECT_EQ(Horizontal("7000"), "00000000");  // bits 13-12 unused
}

TEST(ExpandMicroCommand, HostileTextGivesThirtyTwoBits) {
  for (const char* text : {"", "1", "abc", "11111111111111111111111", "1x1"}) {
    const Word h = ExpandMicroCommand(text);
    EXPECT_TRUE(IsBitString(h, 32)) << text;
  }
}

TEST_F(MicroFixture, ZeroWordOnlyClearsTheLatches) {
  cpu().Reg_Set_A(Bits16("1234"));
  cpu().ALU_LEFT = BitValue::OfBits(Bits16("FFFF"));
  cpu().ALU_RIGHT = BitValue::OfBits(Bits16("FFFF"));
  cpu().Reg_Set_Buffer("10000000000000001");
  exec("0000");
  EXPECT_EQ(cpu().ALU_LEFT.text(), std::string(16, '0'));
  EXPECT_EQ(cpu().ALU_RIGHT.text(), std::string(16, '0'));
  // An ALU-group word with no input rewrites БР; the zero word is a transfer
  // word without transfers, so БР is kept.
  EXPECT_EQ(cpu().Reg_Get_Buffer(), "10000000000000001");
  EXPECT_EQ(hex(cpu().Reg_Get_A()), "1234");
}

TEST_F(MicroFixture, HaltOnlyHaltsEvenWithOtherGroupOneFields) {
  cpu().bIsRunning_Act = true;
  cpu().Reg_Set_Buffer("11111111111111111");
  exec("4008");
  EXPECT_FALSE(cpu().bIsRunning_Act);
  EXPECT_EQ(cpu().Reg_Get_Buffer(), std::string(17, '0'));
  // HLT with БР → А, C := 1 and the device-flag reset: only HLT happens.
  cpu().bIsRunning_Act = true;
  cpu().Reg_Set_A(Bits16("1234"));
  m.controllers.Reg_Set_Flag("05", 1);
  exec("42CD");
  EXPECT_FALSE(cpu().bIsRunning_Act);
  EXPECT_EQ(hex(cpu().Reg_Get_A()), "1234");
  EXPECT_EQ(cpu().Reg_Get_С(), "0");
  EXPECT_EQ(m.controllers.Reg_Get_Flag("05"), 1);
}

TEST_F(MicroFixture, MemoryReadWithNoInputs) {
  m.memory.Mem_WriteMem("012", Bits16("BEEF"));
  cpu().Reg_Set_Address(Bits16("0012"));
  exec("0001");
  EXPECT_EQ(hex(cpu().Reg_Get_Data()), "BEEF");
  EXPECT_EQ(cpu().Reg_Get_Buffer(), std::string(17, '0'));
  EXPECT_EQ(m.memory.Selected(), 0x12);
}

TEST_F(MicroFixture, MemoryWriteReportsToTheTrace) {
  cpu().Reg_Set_Address(Bits16("001A"));
  cpu().Reg_Set_Data(Bits16("F00D"));
  exec("0002");
  EXPECT_EQ(m.memory.HexText(0x1A), "F00D");
  EXPECT_EQ(m.trace.EFFECT_ADDR(), "(W) 001A");
  EXPECT_EQ(m.trace.EFFECT_VAL(), "F00D");
}

TEST_F(MicroFixture, IncrementCarriesIntoBitSixteen) {
  cpu().Reg_Set_A(Bits16("FFFF"));
  exec("1010");
  EXPECT_EQ(cpu().Reg_Get_Buffer(), "10000000000000000");
  exec("4040");
  EXPECT_EQ(cpu().Reg_Get_С(), "1");
  exec("4010");
  EXPECT_EQ(cpu().Reg_Get_Z(), "1");
}

TEST_F(MicroFixture, SubtractionThroughInvertedRightInput) {
  cpu().Reg_Set_A(Bits16("0005"));
  cpu().Reg_Set_Data(Bits16("0003"));
  exec("1190");
  EXPECT_EQ(hex(cpu().Reg_Get_Buffer()), "10002");
  exec("4040");
  EXPECT_EQ(cpu().Reg_Get_С(), "1");
  cpu().Reg_Set_A(Bits16("0003"));
  cpu().Reg_Set_Data(Bits16("0005"));
  exec("1190");
  EXPECT_EQ(hex(cpu().Reg_Get_Buffer()), "0FFFE");
  exec("4060");  // C from БР.16, N from БР.15
  EXPECT_EQ(cpu().Reg_Get_С(), "0");
  EXPECT_EQ(cpu().Reg_Get_N(), "1");
}

TEST_F(MicroFixture, RotationsReadАAndCDirectly) {
  cpu().Reg_Set_A(Bits16("8001"));
  cpu().Reg_Set_С("0");
  exec("0004");
  EXPECT_EQ(hex(cpu().Reg_Get_Buffer()), "14000");
  exec("0008");
  EXPECT_EQ(hex(cpu().Reg_Get_Buffer()), "10002");
  cpu().Reg_Set_С("1");
  exec("0004");
  EXPECT_EQ(hex(cpu().Reg_Get_Buffer()), "1C000");
  exec("0008");
  EXPECT_EQ(hex(cpu().Reg_Get_Buffer()), "10003");
  // Rotation ignores the adder inputs selected beside it.
  cpu().Reg_Set_Data(Bits16("FFFF"));
  exec("0108");
  EXPECT_EQ(hex(cpu().Reg_Get_Buffer()), "10003");
}

TEST_F(MicroFixture, LogicalAndAndInversionKeepTheLatchWidth) {
  cpu().Reg_Set_A(Bits16("0F0F"));
  cpu().Reg_Set_Data(Bits16("00FF"));
  exec("1120");  // А AND РД
  EXPECT_EQ(hex(cpu().Reg_Get_Buffer()), "0000F");
  EXPECT_EQ(hex(cpu().ALU_LEFT.text()), "0F0F");
  // An 8-character А (as IN leaves it) inverts as 8 bits.
  cpu().Reg_Set_A("01000001");
  exec("1040");  // ¬А
  EXPECT_EQ(cpu().ALU_LEFT.text(), "10111110");
  EXPECT_EQ(hex(cpu().Reg_Get_Buffer()), "000BE");
}

TEST_F(MicroFixture, TransfersAndFlagPriorities) {
  cpu().Reg_Set_Buffer("11000000000000101");
  exec("4007");  // РА, РД, РК, А
  EXPECT_EQ(hex(cpu().Reg_Get_Address()), "0005");  // 11 bits kept
  EXPECT_EQ(hex(cpu().Reg_Get_Data()), "8005");
  EXPECT_EQ(hex(cpu().Reg_Get_Command()), "8005");
  EXPECT_EQ(hex(cpu().Reg_Get_A()), "8005");
  exec("4004");
  EXPECT_EQ(hex(cpu().Reg_Get_CommandCounter()), "0005");
  // Z from a БР whose low 16 bits are zero while bit 16 is set.
  cpu().Reg_Set_Buffer("10000000000000000");
  exec("4010");
  EXPECT_EQ(cpu().Reg_Get_Z(), "1");
  // Carry field 3 (C := 1) beats the earlier C from БР.16.
  cpu().Reg_Set_Buffer("00000000000000000");
  exec("40C0");
  EXPECT_EQ(cpu().Reg_Get_С(), "1");
  exec("4080");
  EXPECT_EQ(cpu().Reg_Get_С(), "0");
}

TEST_F(MicroFixture, InterruptSignals) {
  cpu().SetInterruptReg(1);
  exec("4800");  // IE := 1
  EXPECT_EQ(GetBit(cpu().Reg_Get_State(), 4), 1);
  exec("4400");  // clear IR and IE
  EXPECT_EQ(GetBit(cpu().Reg_Get_State(), 4), 0);
  EXPECT_EQ(GetBit(cpu().Reg_Get_State(), 5), 0);
  EXPECT_FALSE(cpu().InterruptButtonPressed());
}

TEST_F(MicroFixture, InputOutputOrdersReachTheControllers) {
  cpu().Reg_Set_A(Bits16("1234"));
  cpu().Reg_Set_Data(Bits16("E305"));  // OUT 05
  exec("4100");
  EXPECT_EQ(m.controllers.DataText(Controllers::RowOfAddress(5)), "34 | 052 | 0011.0100");
  m.controllers.Reg_Set_Flag("05", 1);
  exec("4200");  // all device flags to 0
  EXPECT_EQ(m.controllers.Reg_Get_Flag("05"), 0);
}

TEST_F(MicroFixture, ControlMicroCommandsJumpOnlyOnAMatch) {
  cpu().Micro_Reg_Set_CommandCounter("10");
  exec("C3FF");  // РС bit 3 against 1: never
  EXPECT_EQ(cpu().Micro_Reg_Get_CommandCounter(), "10");
  exec("8301");  // against 0: always
  EXPECT_EQ(cpu().Micro_Reg_Get_CommandCounter(), "01");
  cpu().Reg_Set_A(Bits16("8000"));
  exec("BF40");  // А bit 15 against 0: no jump
  EXPECT_EQ(cpu().Micro_Reg_Get_CommandCounter(), "01");
  exec("FF40");  // against 1: jump to 40
  EXPECT_EQ(cpu().Micro_Reg_Get_CommandCounter(), "40");
  cpu().Reg_Set_Command(Bits16("0800"));
  exec("EB7A");  // РК bit 11 against 1
  EXPECT_EQ(cpu().Micro_Reg_Get_CommandCounter(), "7A");
  cpu().Reg_Set_Data(Bits16("0001"));
  exec("D0C3");  // РД bit 0 against 1
  EXPECT_EQ(cpu().Micro_Reg_Get_CommandCounter(), "C3");
}

TEST_F(MicroFixture, ControlHorizontalRules) {
  // Several registers: the highest (А) wins; several bits: the highest counts.
  cpu().Reg_Set_State(Bits16("0000"));
  cpu().Reg_Set_A(Bits16("0004"));
  cpu().Micro_Reg_Set_CommandCounter("10");
  // h: bit 31, compare 1, registers РС and А, bits 0 and 2, target 33.
  Word h = NumToBits((1u << 31) | (1u << 24) | (1u << 25) | (1u << 28) | (0x33u << 16) | 5u, 32);
  m.executor.ExecuteMicroCommand(h, "");
  EXPECT_EQ(cpu().Micro_Reg_Get_CommandCounter(), "33");
  // No register selected: the tested value is 0.
  h = NumToBits((1u << 31) | (0x44u << 16) | 1u, 32);
  m.executor.ExecuteMicroCommand(h, "");
  EXPECT_EQ(cpu().Micro_Reg_Get_CommandCounter(), "44");
}

TEST_F(MicroFixture, ShowSignalsLightsOperationalWordsOnly) {
  ShowSignals(cpu(), ExpandMicroCommand(Bits16("1110")));
  EXPECT_TRUE(cpu().LV_Get(1));
  EXPECT_TRUE(cpu().LV_Get(4));
  EXPECT_TRUE(cpu().LV_Get(10));
  EXPECT_FALSE(cpu().LV_Get(0));
  ShowSignals(cpu(), ExpandMicroCommand(Bits16("8301")));
  EXPECT_TRUE(cpu().LV_Get(1));  // a control word leaves the lamps
  ShowSignals(cpu(), std::string(32, '0'));
  for (int i = 0; i < kLampCount; ++i) EXPECT_FALSE(cpu().LV_Get(i));
}

TEST_F(MicroFixture, RowKeysHandTheCommandToTheTrace) {
  cpu().Reg_Set_CommandCounter(Bits16("0123"));
  cpu().Reg_Set_Command(Bits16("F200"));
  exec("0000", "curr_cmd_addr_to_ar");
  EXPECT_EQ(m.trace.CURR_ADDR(), Bits16("0123"));
  EXPECT_EQ(m.trace.CURR_CMD(), "");
  exec("0000", "curr_cmd_in_cr");
  EXPECT_EQ(m.trace.CURR_CMD(), Bits16("F200"));
  m.trace.set_CURR_ADDR("");
  exec("0000", "CURR_CMD_ADDR_TO_AR");  // keys compare exactly
  EXPECT_EQ(m.trace.CURR_ADDR(), "");
}

TEST_F(MicroFixture, AFailureAbandonsTheRestReportsAndRequestsAStop) {
  cpu().bIsRunning_Act = true;
  // РД holds a word that is not 16 bits (only a direct register write can do
  // that); writing it to memory fails.
  cpu().Reg_Set_Data("101");
  cpu().Reg_Set_CommandCounter(Bits16("0042"));
  exec("0002", "curr_cmd_addr_to_ar");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].rfind("Error #13\r\n", 0), 0u) << errors[0];
  EXPECT_FALSE(cpu().bIsRunning_Act);
  EXPECT_EQ(m.trace.CURR_ADDR(), "");  // the key step was abandoned too
  EXPECT_EQ(m.memory.HexText(0), "0000");
  // Effects already performed stay: БР was rewritten before the write failed.
  EXPECT_EQ(cpu().Reg_Get_Buffer(), std::string(17, '0'));
}

TEST_F(MicroFixture, ArbitraryMicroCommandsKeepEveryInvariant) {
  // Every vertical word, from every kind of register content, leaves memory
  // words at 16 bits, data registers at 8, СК and РА within 11 bits.
  std::uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) & 0xFFFFu;
  };
  cpu().Reg_Set_A("abc");  // hostile register text must not break anything
  for (int i = 0; i < 200000; ++i) {
    const std::uint32_t v = next();
    m.executor.ExecuteMicroCommand(ExpandMicroCommand(NumToBits(v, 16)), "");
    if (i % 5000 == 0) cpu().Reg_Set_Data(i % 10000 == 0 ? "1" : "x1");
  }
  for (int a = 0; a < MainMemory::kWords; ++a) ASSERT_TRUE(IsBitString(m.memory.Value(a), 16)) << a;
  for (int row = 0; row < Controllers::kCount; ++row) ASSERT_TRUE(IsBitString(m.controllers.Data(row), 8)) << row;
  EXPECT_EQ(cpu().Reg_Get_CommandCounter().view().substr(0, 5), "00000");
  EXPECT_EQ(cpu().Reg_Get_Address().view().substr(0, 5), "00000");
  EXPECT_EQ(cpu().Reg_Get_Buffer().size(), 17u);
  EXPECT_EQ(cpu().Micro_Reg_Get_CommandCounter().size(), 2u);
  EXPECT_FALSE(errors.empty());  // the hostile РД made some writes fail, with a report
}
