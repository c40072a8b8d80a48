#include "core/processor.h"

#include "core/micro_command.h"
#include "format/bit_string.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vesk;

namespace {

struct Recorder : ProcessorListener {
  std::vector<Reg> regs;
  std::vector<std::string> statusTexts;
  std::vector<bool> buttons;
  std::vector<std::pair<int, bool>> lamps;
  void registerChanged(Reg r) override { regs.push_back(r); }
  void runStateTextChanged(std::string_view t) override { statusTexts.emplace_back(t); }
  void interruptButtonChanged(bool b) override { buttons.push_back(b); }
  void lampChanged(int i, bool on) override { lamps.emplace_back(i, on); }
};

const std::string kOnes16(16, '1');
const std::string kZero16(16, '0');

}  // namespace

TEST(ProcessorRegisters, CounterAndAddressKeepElevenBits) {
  Processor p;
  p.Reg_Set_CommandCounter(kOnes16);
  EXPECT_EQ(p.Reg_Get_CommandCounter(), "0000011111111111");
  p.Reg_Set_Address(kOnes16);
  EXPECT_EQ(p.Reg_Get_Address(), "0000011111111111");
  p.Reg_Set_CommandCounter("1");
  EXPECT_EQ(p.Reg_Get_CommandCounter(), "0000000000000001");
  p.Reg_Set_CommandCounter(std::string(40, '1'));
  EXPECT_EQ(p.Reg_Get_CommandCounter(), "0000011111111111");
  p.Reg_Set_Address("");
  EXPECT_EQ(p.Reg_Get_Address(), kZero16);
}

TEST(ProcessorRegisters, BufferFitsToSeventeenBits) {
  Processor p;
  p.Reg_Set_Buffer("101");
  EXPECT_EQ(p.Reg_Get_Buffer(), "00000000000000101");
  p.Reg_Set_Buffer("110000000000000001");
  EXPECT_EQ(p.Reg_Get_Buffer(), "10000000000000001");
}

TEST(ProcessorRegisters, PlainRegistersStoreTheArgumentUnchanged) {
  Processor p;
  p.Reg_Set_A("01000001");
  EXPECT_EQ(p.Reg_Get_A(), "01000001");
  EXPECT_EQ(p.Texts(Reg::A).hex, "41");
  p.Reg_Set_Data("1111000000000000");
  EXPECT_EQ(p.Reg_Get_Data(), "1111000000000000");
  p.Reg_Set_Command("0100000000100011");
  EXPECT_EQ(p.Reg_Get_Command(), "0100000000100011");
  p.Reg_Set_Key(kZero16);
  EXPECT_EQ(p.Reg_Get_Key(), kZero16);
}

TEST(ProcessorRegisters, MicroCounterKeepsTwoHexDigits) {
  Processor p;
  p.Micro_Reg_Set_CommandCounter("100");
  EXPECT_EQ(p.Micro_Reg_Get_CommandCounter(), "00");
  p.Micro_Reg_Set_CommandCounter("5");
  EXPECT_EQ(p.Micro_Reg_Get_CommandCounter(), "05");
}

TEST(ProcessorRegisters, MicroCommandKeepsBothForms) {
  Processor p;
  p.Micro_Reg_Set_Command("1000001100000001");  // 8301
  EXPECT_EQ(p.Micro_Reg_Get_Command(), "1000001100000001");
  const RegisterTexts t = p.Texts(Reg::MicroCommand);
  EXPECT_EQ(t.hex, "8301");
  EXPECT_EQ(t.bin, "1000.0011.0000.0001");
  EXPECT_EQ(t.horizontalBin, "1000.0010.0000.0001 0000.0000.0000.1000");
  EXPECT_EQ(t.horizontalHex, "8201 0008");
}

TEST(ProcessorFlags, SettersTouchOnlyTheirBit) {
  Processor p;
  p.Reg_Set_State("1010101010101010");
  p.Reg_Set_С("1");
  EXPECT_EQ(p.Reg_Get_State(), "1010101010101011");
  EXPECT_EQ(p.Reg_Get_С(), "1");
  p.Reg_Set_Z("0");
  EXPECT_EQ(p.Reg_Get_State(), "1010101010101001");
  p.Reg_Set_N("1");
  EXPECT_EQ(p.Reg_Get_N(), "1");
  EXPECT_EQ(p.Reg_Get_Z(), "0");
  p.SetInterruptMode(1);
  EXPECT_EQ(GetBit(p.Reg_Get_State(), 4), 1);
  p.SetInterruptMode(0);
  EXPECT_EQ(GetBit(p.Reg_Get_State(), 4), 0);
  EXPECT_EQ(p.Reg_Get_State().size(), 16u);
}

TEST(ProcessorFlags, HostileFlagTextNeverPutsAForeignCharacterInTheState) {
  Processor p;
  for (const char* text : {"", "x", "2", "-1", "1.0", "0.0", "   "}) {
    p.Reg_Set_С(text);
    EXPECT_TRUE(IsBitString(p.Reg_Get_State(), 16)) << text;
  }
  p.Reg_Set_С("2");
  EXPECT_EQ(p.Reg_Get_С(), "1");
  p.Reg_Set_С("x");
  EXPECT_EQ(p.Reg_Get_С(), "0");
}

TEST(ProcessorRunning, StatusTextAndResetLeaveEachOtherAlone) {
  Processor p;
  Recorder r;
  p.listeners().add(&r);
  EXPECT_FALSE(p.GetRunning());
  p.SetRunning(true);
  EXPECT_TRUE(p.GetRunning());
  EXPECT_EQ(GetBit(p.Reg_Get_State(), 7), 1);
  ASSERT_EQ(r.statusTexts.size(), 1u);
  EXPECT_EQ(r.statusTexts.back(), "Состояние : Работа ");
  p.bIsRunning_Act = true;
  p.MODE = 1;
  p.Reset();
  EXPECT_FALSE(p.GetRunning());
  // The reset clears bit 7 directly: the status text stays as SetRunning left it.
  EXPECT_EQ(p.RunStateText(), "Состояние : Работа ");
  EXPECT_EQ(r.statusTexts.size(), 1u);
  EXPECT_TRUE(p.bIsRunning_Act);
  EXPECT_EQ(p.MODE, 1);
  p.SetRunning(false);
  EXPECT_EQ(r.statusTexts.back(), "Состояние : Останов ");
}

TEST(ProcessorRunning, InterruptRequestPressesTheButtonAndResetDoesNot) {
  Processor p;
  Recorder r;
  p.listeners().add(&r);
  p.SetInterruptReg(1);
  EXPECT_EQ(GetBit(p.Reg_Get_State(), 5), 1);
  ASSERT_EQ(r.buttons.size(), 1u);
  EXPECT_TRUE(r.buttons.back());
  EXPECT_TRUE(p.InterruptButtonPressed());
  p.Reset();
  EXPECT_EQ(GetBit(p.Reg_Get_State(), 5), 0);
  EXPECT_EQ(r.buttons.size(), 1u);
}

TEST(ProcessorReset, OrderAndValues) {
  Processor p;
  p.Reg_Set_A(std::string(16, '1'));
  p.Micro_Reg_Set_CommandCounter("7F");
  Recorder r;
  p.listeners().add(&r);
  p.Reset();
  const std::vector<Reg> order = {Reg::MicroCommand, Reg::MicroCounter, Reg::A,     Reg::Data,  Reg::Address,
                                  Reg::Command,      Reg::CommandCounter, Reg::State, Reg::Key, Reg::Buffer};
  EXPECT_EQ(r.regs, order);
  EXPECT_EQ(p.Micro_Reg_Get_CommandCounter(), "01");
  EXPECT_EQ(p.Reg_Get_A(), kZero16);
  EXPECT_EQ(p.Reg_Get_Buffer(), std::string(17, '0'));
  EXPECT_EQ(p.Micro_Reg_Get_Horizontal(), std::string(32, '0'));
}

TEST(ProcessorLamps, GetFollowsSetAndOutOfRangeIsIgnored) {
  Processor p;
  Recorder r;
  p.listeners().add(&r);
  p.LV_Set(3, true);
  EXPECT_TRUE(p.LV_Get(3));
  p.LV_Set(3, false);
  EXPECT_FALSE(p.LV_Get(3));
  p.LV_Set(29, true);
  p.LV_Set(-1, true);
  EXPECT_FALSE(p.LV_Get(29));
  EXPECT_EQ(r.lamps.size(), 2u);
}

TEST(ProcessorTexts, DisplayFormsOfEachPanel) {
  Processor p;
  p.Reg_Set_A("1111111111111111");
  RegisterTexts a = p.Texts(Reg::A);
  EXPECT_EQ(a.hex, "FFFF");
  EXPECT_EQ(a.dec, "65.535");
  EXPECT_EQ(a.bin, "1111.1111.1111.1111");
  EXPECT_EQ(a.mnemonic, "");
  p.Reg_Set_Data("1111001000000000");
  EXPECT_EQ(p.Texts(Reg::Data).mnemonic, "CLA");
  p.Reg_Set_Buffer("10000000000000101");
  const RegisterTexts b = p.Texts(Reg::Buffer);
  EXPECT_EQ(b.bit16, "1");
  EXPECT_EQ(b.hex, "0005");
  EXPECT_EQ(b.dec, "5");
  EXPECT_EQ(b.mnemonic, "ISZ 005");
  p.Reg_Set_CommandCounter("0000011111111111");
  EXPECT_EQ(p.Texts(Reg::CommandCounter).hex, "07FF");
  EXPECT_EQ(p.Texts(Reg::CommandCounter).dec, "");
  p.Micro_Reg_Set_CommandCounter("A5");
  EXPECT_EQ(p.Texts(Reg::MicroCounter).bin, "1010.0101");
  EXPECT_EQ(p.Texts(Reg::MicroCommand).horizontalBin, "0000.0000.0000.0000 0000.0000.0000.0000");
  EXPECT_EQ(p.Texts(Reg::MicroCommand).horizontalHex, "0000 0000");
  p.Reg_Set_A("0000010011010010");  // 1234
  EXPECT_EQ(p.Texts(Reg::A).dec, "1.234");
}

namespace {

// Texts of every kind a direct write can bring: clean bit strings of many
// widths, and text with other characters.
std::vector<std::string> WriteTexts() {
  std::vector<std::string> texts = {"", "1", "01000001", kZero16, kOnes16, std::string(17, '1'), std::string(32, '1'),
                                    std::string(33, '1'), "1x01", "2", "Ж1", "abc", "0A", "FF", "5", "100", " 1"};
  std::uint32_t seed = 99;
  for (int k = 0; k < 200; ++k) {
    seed = seed * 1103515245u + 12345u;
    const int width = static_cast<int>((seed >> 8) % 40);
    std::string s;
    for (int i = 0; i < width; ++i) {
      seed = seed * 1103515245u + 12345u;
      s += (seed >> 16) % 13 == 0 ? "29xA "[(seed >> 20) % 5] : ((seed >> 18) & 1 ? '1' : '0');
    }
    texts.push_back(s);
  }
  return texts;
}

Word Reference11(std::string_view t) { return FitWidth(FitWidth(FitWidth(t, 16), 11), 16); }

}  // namespace

TEST(ProcessorRegisters, EveryTextIsKeptAsItsSetterFitsIt) {
  for (const std::string& t : WriteTexts()) {
    Processor p;
    p.Reg_Set_A(t);
    p.Reg_Set_Data(t);
    p.Reg_Set_Command(t);
    p.Reg_Set_Key(t);
    p.Reg_Set_CommandCounter(t);
    p.Reg_Set_Address(t);
    p.Reg_Set_Buffer(t);
    p.Micro_Reg_Set_Command(t);
    p.Micro_Reg_Set_CommandCounter(t);
    EXPECT_EQ(p.Reg_Get_A(), t);
    EXPECT_EQ(p.Reg_Get_Data(), t);
    EXPECT_EQ(p.Reg_Get_Command(), t);
    EXPECT_EQ(p.Reg_Get_Key(), t);
    EXPECT_EQ(p.Reg_Get_CommandCounter(), Reference11(t)) << t;
    EXPECT_EQ(p.Reg_Get_Address(), Reference11(t)) << t;
    EXPECT_EQ(p.Reg_Get_Buffer(), FitWidth(t, 17)) << t;
    EXPECT_EQ(p.Micro_Reg_Get_Command(), t);
    EXPECT_EQ(p.Micro_Reg_Get_Horizontal(), ExpandMicroCommand(t)) << t;
    EXPECT_EQ(p.Micro_Reg_Get_CommandCounter(), FitWidth(t, 2)) << t;
    // The texts a window shows follow from the text alone.
    EXPECT_EQ(p.Texts(Reg::A).hex, BinToHex(t).str()) << t;
    EXPECT_EQ(p.Texts(Reg::A).bin, GroupDigits(t, 4, ".").str()) << t;
  }
}

TEST(ProcessorFlags, FlagsOfAnyStateTextReadAndChangeAsTheBitHelpersDo) {
  for (const std::string& t : WriteTexts()) {
    Processor p;
    p.Reg_Set_State(t);
    EXPECT_EQ(p.Reg_Get_С(), NumToDec(GetBit(t, 0))) << t;
    EXPECT_EQ(p.Reg_Get_Z(), NumToDec(GetBit(t, 1))) << t;
    EXPECT_EQ(p.Reg_Get_N(), NumToDec(GetBit(t, 2))) << t;
    EXPECT_EQ(p.GetRunning(), GetBit(t, 7) == 1) << t;
    Word expected(t);
    SetBit(expected, 0, 1);
    p.Reg_Set_С("1");
    EXPECT_EQ(p.Reg_Get_State(), expected) << t;
    SetBit(expected, 5, 0);
    p.SetInterruptReg(0);
    EXPECT_EQ(p.Reg_Get_State(), expected) << t;
    SetBit(expected, 7, 1);
    p.SetRunning(true);
    EXPECT_EQ(p.Reg_Get_State(), expected) << t;
  }
}

TEST(ProcessorListeners, EditListenersHearOnlyWhatIsDoneWhileTheMachineDoesNotActAndTheRecordKeepsAll) {
  Processor p;
  Recorder all, edits;
  p.listeners().add(&all);
  p.editListeners().add(&edits);
  p.TakeChangedRegisters();

  p.Reg_Set_A(kOnes16);  // a user's edit
  p.MachineActs();
  p.Reg_Set_Data(kOnes16);  // the machine's own
  p.SetInterruptReg(1);
  p.LV_Set(3, true);
  p.MachineActs();  // nested
  p.Reg_Set_Key(kOnes16);
  p.MachineRests();
  p.Reg_Set_Command(kOnes16);  // still acting
  p.MachineRests();
  p.Reg_Set_Buffer(kOnes16);  // an edit again

  EXPECT_EQ(all.regs, (std::vector<Reg>{Reg::A, Reg::Data, Reg::State, Reg::Key, Reg::Command, Reg::Buffer}));
  EXPECT_EQ(edits.regs, (std::vector<Reg>{Reg::A, Reg::Buffer}));
  EXPECT_TRUE(edits.buttons.empty());
  EXPECT_TRUE(edits.lamps.empty());
  EXPECT_EQ(all.buttons, std::vector<bool>{true});
  EXPECT_EQ(p.Lamps(), 1u << 3);

  // Every register set since the last look, whoever set it.
  const std::uint32_t changed = p.TakeChangedRegisters();
  for (const Reg r : {Reg::A, Reg::Data, Reg::State, Reg::Key, Reg::Command, Reg::Buffer})
    EXPECT_NE(changed & (1u << static_cast<unsigned>(r)), 0u) << static_cast<int>(r);
  EXPECT_EQ(changed & (1u << static_cast<unsigned>(Reg::Address)), 0u);
  EXPECT_EQ(p.TakeChangedRegisters(), 0u);
  p.LV_Set(3, false);
  EXPECT_EQ(p.Lamps(), 0u);
}
