#include "memory/main_memory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/processor.h"
#include "format/bit_string.h"
#include "trace/command_trace.h"
#include "util/machine_error.h"

using namespace vesk;

namespace {

struct Recorder : MainMemoryListener {
  std::vector<int> rows, selections;
  int cleared = 0;
  void memoryRowChanged(int a) override { rows.push_back(a); }
  void memorySelectionChanged(int a) override { selections.push_back(a); }
  void memoryCleared() override { ++cleared; }
};

}  // namespace

TEST(MainMemory, StartsClearedWithRowTexts) {
  MainMemory m;
  for (int a : {0, 1, 0x7FF}) {
    EXPECT_EQ(m.Value(a), std::string(16, '0'));
    EXPECT_EQ(m.HexText(a), "0000");
    EXPECT_EQ(m.DecText(a), "00.000");
    EXPECT_EQ(m.BinText(a), "0000.0000.0000.0000");
    EXPECT_EQ(m.AsmText(a), "");  // no word written yet
    EXPECT_EQ(m.Comment(a), "");
  }
  EXPECT_EQ(MainMemory::AddressText(0), "000");
  EXPECT_EQ(MainMemory::AddressText(0x7FF), "7FF");
  EXPECT_EQ(m.Selected(), -1);
}

TEST(MainMemory, DecimalTextWithTheNegativeMarker) {
  EXPECT_EQ(MemoryDecimalText("0000000011111111"), "00.255");
  EXPECT_EQ(MemoryDecimalText("1111111111111111"), "65.535  ( -00.001)");
  EXPECT_EQ(MemoryDecimalText("1000000000000000"), "32.768  ( -32.768)");
  EXPECT_EQ(MemoryDecimalText("0111111111111111"), "32.767");
}

TEST(MainMemory, WriteUpdatesTextsSelectionAndTrace) {
  MainMemory m;
  Processor cpu;
  CommandTrace t(cpu);
  m.setCommandTrace(&t);
  Recorder r;
  m.listeners().add(&r);
  m.SetComment(0x10, "keep me");
  m.Mem_WriteMem("0010", "1000000000000000");
  EXPECT_EQ(m.HexText(0x10), "8000");
  EXPECT_EQ(m.DecText(0x10), "32.768  ( -32.768)");
  EXPECT_EQ(m.BinText(0x10), "1000.0000.0000.0000");
  EXPECT_EQ(m.AsmText(0x10), "BCS 000");
  EXPECT_EQ(m.Comment(0x10), "keep me");
  EXPECT_EQ(m.Selected(), 0x10);
  EXPECT_EQ(t.EFFECT_ADDR(), "(W) 0010");
  EXPECT_EQ(t.EFFECT_VAL(), "8000");
  // The address text goes to the trace exactly as passed.
  m.Mem_WriteMem("7ff", "0000000000000001");
  EXPECT_EQ(t.EFFECT_ADDR(), "(W) 7ff");
  EXPECT_EQ(m.Selected(), 0x7FF);
  EXPECT_EQ(r.selections, (std::vector<int>{0x10, 0x7FF}));
}

TEST(MainMemory, ReadSelectsAndReturnsTheStoredWord) {
  MainMemory m;
  m.Mem_WriteMem("005", "0000000000000101");
  Recorder r;
  m.listeners().add(&r);
  EXPECT_EQ(m.Mem_ReadMem("0005"), "0000000000000101");
  EXPECT_EQ(m.Selected(), 5);
  EXPECT_EQ(r.selections, std::vector<int>{5});
  EXPECT_TRUE(r.rows.empty());
}

TEST(MainMemory, AddressesThatNameNoRowAreRefused) {
  MainMemory m;
  Processor cpu;
  CommandTrace t(cpu);
  m.setCommandTrace(&t);
  for (const char* bad : {"", "800", "0800", "FFFF", "7G", "-1", " 10", "1 ", "10000000000"}) {
    EXPECT_THROW(m.Mem_ReadMem(bad), MachineError) << bad;
    EXPECT_THROW(m.Mem_WriteMem(bad, std::string(16, '1')), MachineError) << bad;
  }
  EXPECT_EQ(m.Selected(), -1);
  EXPECT_EQ(t.EFFECT_ADDR(), "");
  EXPECT_EQ(MainMemory::ParseAddress("0007ff"), 0x7FF);
}

TEST(MainMemory, WordsThatAreNotSixteenBitsAreRefused) {
  MainMemory m;
  for (const std::string bad : {std::string(), std::string("1"), std::string(17, '0'), std::string("000000000000000x"),
                                std::string(100000, '1')}) {
    EXPECT_THROW(m.Mem_WriteMem("001", bad), MachineError);
    EXPECT_THROW(m.SetRow(1, bad, ""), MachineError);
  }
  EXPECT_EQ(m.Value(1), std::string(16, '0'));
  EXPECT_THROW(m.SetRow(2048, std::string(16, '0'), ""), MachineError);
  EXPECT_THROW(m.SetComment(-1, "x"), MachineError);
}

TEST(MainMemory, ClearRemovesValuesAndComments) {
  MainMemory m;
  Recorder r;
  m.listeners().add(&r);
  m.Mem_WriteMem("001", std::string(16, '1'));
  m.SetComment(1, "c");
  m.Mem_Clear();
  EXPECT_EQ(m.Value(1), std::string(16, '0'));
  EXPECT_EQ(m.Comment(1), "");
  EXPECT_EQ(m.Selected(), -1);
  EXPECT_EQ(r.cleared, 1);
}

TEST(MainMemory, ARowShowsItsMnemonicFromItsFirstWriteUntilTheNextClear) {
  MainMemory m;
  m.Mem_WriteMem("001", std::string(16, '0'));
  m.SetRow(2, "1111000000000000", "");
  m.SetComment(3, "only a comment");
  EXPECT_THROW(m.Mem_WriteMem("004", "not a word"), MachineError);
  EXPECT_EQ(m.AsmText(0), "");
  EXPECT_EQ(m.AsmText(1), "ISZ 000");
  EXPECT_EQ(m.AsmText(2), "HLT");
  EXPECT_EQ(m.AsmText(3), "");
  EXPECT_EQ(m.AsmText(4), "") << "a refused write writes nothing";
  EXPECT_TRUE(m.Written(1));
  EXPECT_FALSE(m.Written(4));
  m.Mem_Clear();
  for (int a : {1, 2}) {
    EXPECT_FALSE(m.Written(a));
    EXPECT_EQ(m.AsmText(a), "");
  }
}

TEST(MainMemory, CommentsThatCannotBeSavedAreRefusedWhereTheyEnter) {
  MainMemory m;
  m.SetComment(3, "сумма");
  EXPECT_THROW(m.SetComment(3, "sum → A"), MachineError);
  EXPECT_THROW(m.SetRow(3, std::string(16, '1'), "\xFF"), MachineError);  // not UTF-8 at all
  EXPECT_EQ(m.Comment(3), "сумма");
  EXPECT_EQ(m.Value(3), std::string(16, '0'));
}

TEST(MainMemory, TheExecutorsWayInDoesWhatTheTextOperationsDo) {
  // Two memories, one driven by row numbers, one by four-digit address texts.
  Processor cpu;
  CommandTrace byNumber(cpu), byText(cpu);
  MainMemory a, b;
  a.setCommandTrace(&byNumber);
  b.setCommandTrace(&byText);
  Recorder ra, rb;
  a.listeners().add(&ra);
  b.listeners().add(&rb);
  for (int address : {0, 1, 0x123, 0x7FF}) {
    const std::uint16_t value = static_cast<std::uint16_t>(0xF00D ^ (address * 37));
    const std::string hex = FitWidth(NumToHex(static_cast<std::uint32_t>(address)), 4).str();
    a.WriteAt(address, value);
    b.Mem_WriteMem(hex, NumToBits(value, 16));
    EXPECT_EQ(byNumber.EFFECT_ADDR(), byText.EFFECT_ADDR());
    EXPECT_EQ(byNumber.EFFECT_VAL(), byText.EFFECT_VAL());
    EXPECT_EQ(a.ReadAt(address), value);
    EXPECT_EQ(b.Mem_ReadMem(hex), NumToBits(value, 16));
    EXPECT_EQ(a.Value(address), b.Value(address));
    EXPECT_EQ(a.Bits(address), value);
    EXPECT_TRUE(a.Written(address));
  }
  EXPECT_EQ(ra.rows, rb.rows);
  EXPECT_EQ(ra.selections, rb.selections);
}
