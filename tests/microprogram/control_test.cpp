// HLT, undefined words, EI and DI, and interrupts taken between commands.
#include <gtest/gtest.h>

#include "microprogram/program_test.h"

namespace vesk::testing {
namespace {

class ControlTest : public ProgramTest {};

TEST_F(ControlTest, HltStopsInTheMiddleAndContinueRunsTheRest) {
  SetState(0, false, false, false);
  RunProgram({kINC, kINC, kHLT, kINC, kINC, kINC, kHLT});
  ExpectA(2);
  EXPECT_EQ(rig.PC(), kStart + 3);
  EXPECT_FALSE(rig.Running());
  EXPECT_EQ(rig.m.processor.Micro_Reg_Get_CommandCounter(), "01") << "rests at the command boundary";
  // "Продолжить выполнение": the run goes on after the HLT.
  rig.m.runControl.P_RUN();
  ASSERT_TRUE(rig.Run(100));
  ExpectA(5);
  EXPECT_EQ(rig.PC(), kStart + 7);
}

TEST_F(ControlTest, UndefinedWordsDoNothing) {
  const std::uint16_t words[] = {
      0x7000, 0x7FFF, 0x7823,          // code 7, also with the indirect bit
      0xD000, 0xDFFF, 0xD823,          // code D
      0xF001, 0xF080, 0xF0FF,          // not HLT
      0xF101, 0xF201, 0xF2FF, 0xF301,  // not NOP, CLA, CLC
      0xF401, 0xF510, 0xF620, 0xF740,  // not CMA, CMC, ROL, ROR
      0xF880, 0xF901, 0xFA01, 0xFB80,  // not INC, DEC, EI, DI
      0xFC00, 0xFD00, 0xFE00, 0xFF00,  // F-words without a command
      0xFFFF, 0xFC01, 0xFEFF,
  };
  for (const std::uint16_t w : words) {
    for (const bool f : {false, true}) {
      SCOPED_TRACE(::testing::Message() << std::hex << std::uppercase << w << (f ? " flags set" : " flags clear"));
      rig.Poke(0x023, 0x4444);
      rig.Poke(0x000, 0x0BAD);
      SetState(0x8001, f, f, f);
      rig.SetIE(f);
      rig.SetController(0x01, 1, 0x77);
      RunOne(w);
      EXPECT_EQ(rig.PC(), kStart + 2) << "went on to the next command";
      ExpectA(0x8001);
      ExpectFlags(f, f, f);
      EXPECT_EQ(rig.IE(), f);
      EXPECT_EQ(rig.Peek(0x023), 0x4444);
      EXPECT_EQ(rig.Peek(0x000), 0x0BAD);
      EXPECT_EQ(rig.Flag(0x01), 1);
      EXPECT_EQ(rig.Data(0x01), 0x77);
    }
  }
}

TEST_F(ControlTest, EiAndDiSetAndClearTheEnable) {
  RunOne(kEI);
  EXPECT_TRUE(rig.IE());
  RunOne(kEI);
  EXPECT_TRUE(rig.IE());
  RunOne(kDI);
  EXPECT_FALSE(rig.IE());
  // DI also drops a request that is waiting.
  rig.RequestInterrupt();
  RunOne(kDI);
  EXPECT_FALSE(rig.IR());
  EXPECT_FALSE(rig.IE());
  EXPECT_EQ(rig.PC(), kStart + 2);
}

TEST_F(ControlTest, EiAndDiChangeNoFlagOrА) {
  for (const std::uint16_t w : {kEI, kDI}) {
    for (const bool f : {false, true}) {
      SetState(0x0F0F, f, !f, f);
      RunOne(w);
      ExpectA(0x0F0F);
      ExpectFlags(f, !f, f);
    }
  }
}

// A program where every command is INC; the handler at 001 is HLT, so the
// machine stops there when an interrupt is taken.
class InterruptTest : public ProgramTest {
 protected:
  void SetUp() override {
    rig.Poke(0x000, 0x0000);
    rig.Poke(0x001, kHLT);
    for (int a = kStart; a < kStart + 20; ++a) rig.Poke(a, kINC);
    SetState(0, false, false, false);
  }
};

TEST_F(InterruptTest, ARequestIsTakenBetweenTwoCommandsWhenEnabled) {
  rig.SetIE(true);
  rig.Start(kStart);
  rig.Step();
  rig.Step();  // two INCs done, СК = 012
  rig.RequestInterrupt();
  rig.Step();  // the third INC, then the interrupt
  EXPECT_EQ(rig.Peek(0x000), kStart + 3) << "return address";
  EXPECT_EQ(rig.PC(), 0x001);
  EXPECT_FALSE(rig.IR());
  EXPECT_FALSE(rig.IE());
  ExpectA(3);
  ASSERT_TRUE(rig.Run(10));  // the HLT at 001
  EXPECT_EQ(rig.PC(), 0x002);
}

TEST_F(InterruptTest, ARequestWaitsWhileDisabledAndIsTakenRightAfterEi) {
  rig.Poke(kStart + 3, kEI);
  rig.Start(kStart);
  rig.RequestInterrupt();
  rig.Step();
  rig.Step();
  rig.Step();
  EXPECT_TRUE(rig.IR()) << "the request waits";
  EXPECT_EQ(rig.PC(), kStart + 3);
  ExpectA(3);
  rig.Step();  // EI, and the interrupt right after it
  EXPECT_EQ(rig.PC(), 0x001);
  EXPECT_EQ(rig.Peek(0x000), kStart + 4);
  EXPECT_FALSE(rig.IR());
  EXPECT_FALSE(rig.IE());
}

TEST_F(InterruptTest, NoInterruptCheckAfterHlt) {
  rig.Poke(kStart + 1, kHLT);
  rig.SetIE(true);
  rig.Start(kStart);
  rig.Step();
  rig.RequestInterrupt();
  rig.Step();  // HLT: stops, the request stays
  EXPECT_FALSE(rig.Running());
  EXPECT_EQ(rig.PC(), kStart + 2);
  EXPECT_TRUE(rig.IR());
  EXPECT_TRUE(rig.IE());
  EXPECT_EQ(rig.Peek(0x000), 0x0000);
  // Continuing takes it after the next command.
  rig.Step();
  EXPECT_EQ(rig.PC(), 0x001);
  EXPECT_EQ(rig.Peek(0x000), kStart + 3);
}

TEST_F(InterruptTest, TheReturnAddressIsWhereTheCommandLeftСК) {
  // After a taken branch: the target. After a skip: the command after the
  // skipped one. After JSR: the subroutine's first command.
  struct Case {
    std::uint16_t command;
    int resume;
  };
  rig.Poke(0x020, 0x0005);   // ISZ 020 skips
  rig.Poke(0x030, 0x0000);   // JSR 030
  rig.Poke(0x040, 0x0333);   // pointer for BR (040)
  rig.SetController(0x09, 1, 0x00);
  const Case cases[] = {{0xC123, 0x123}, {0xC840, 0x333}, {0x0020, kStart + 2},
                        {0xE109, kStart + 2}, {0x2030, 0x031}};
  for (const Case& k : cases) {
    SCOPED_TRACE(::testing::Message() << std::hex << std::uppercase << k.command);
    rig.Poke(kStart, k.command);
    rig.SetIE(true);
    rig.Start(kStart);
    rig.RequestInterrupt();
    rig.Step();
    EXPECT_EQ(rig.Peek(0x000), k.resume);
    EXPECT_EQ(rig.PC(), 0x001);
    rig.m.runControl.P_STOP();
    rig.Run(5);
  }
}

TEST_F(InterruptTest, AHandlerReturnsThroughBrIndirectAndTheProgramGoesOn) {
  // Handler: INC (marks that it ran); EI; BR (000).
  rig.Load(0x001, {kINC, kEI, 0xC800});
  rig.Poke(kStart + 5, kHLT);
  rig.SetIE(true);
  rig.Start(kStart);
  rig.Step();
  rig.RequestInterrupt();
  ASSERT_TRUE(rig.Run(100));
  EXPECT_EQ(rig.PC(), kStart + 6);
  ExpectA(6);  // five INCs of the program and one of the handler
  EXPECT_TRUE(rig.IE());
  EXPECT_FALSE(rig.IR());
}

TEST_F(InterruptTest, NoRequestNoInterrupt) {
  rig.SetIE(true);
  rig.Poke(kStart + 3, kHLT);
  rig.Poke(0x000, 0x0ABC);
  ASSERT_TRUE(rig.RunFrom(kStart, 10));
  EXPECT_EQ(rig.PC(), kStart + 4);
  EXPECT_EQ(rig.Peek(0x000), 0x0ABC);
}

}  // namespace
}  // namespace vesk::testing
