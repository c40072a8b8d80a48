#include "masm/micro_assembler.h"

#include <gtest/gtest.h>

#include <string>

#include "app/machine.h"
#include "format/bit_string.h"

namespace vesk::masm {
namespace {

std::optional<int> NoLabels(std::string_view target) {
  if (target == "here") return 0x40;
  if (target.size() == 2) return std::stoi(std::string(target), nullptr, 16);
  return std::nullopt;
}

std::uint16_t Encode(std::string_view op) { return EncodeMicroOperation(op, NoLabels); }

TEST(EncodeMicroOperation, GivesTheDocumentedWords) {
  EXPECT_EQ(Encode("HLT"), 0x4008);
  EXPECT_EQ(Encode("БР := А + РД + 1"), 0x1110);
  EXPECT_EQ(Encode("БР := А + ~РД + 1"), 0x1190);
  EXPECT_EQ(Encode("А := БР"), 0x4005);
  EXPECT_EQ(Encode("А := БР, N := БР.15, Z := БР=0"), 0x4035);
  EXPECT_EQ(Encode("GOTO 01"), 0x8301);
  EXPECT_EQ(Encode("READ"), 0x0001);
  EXPECT_EQ(Encode("WRITE"), 0x0002);
  EXPECT_EQ(Encode("БР := ROR"), 0x0004);
  EXPECT_EQ(Encode("БР := ROL"), 0x0008);
  EXPECT_EQ(Encode("БР := А & РД"), 0x1120);
  EXPECT_EQ(Encode("БР := СК + 1, READ"), 0x0311);
  EXPECT_EQ(Encode("IF РК.15 = 1 GOTO here"), 0xEF40);
  EXPECT_EQ(Encode("IF РС.5 = 0 GOTO 01"), 0x8501);
  EXPECT_EQ(Encode("IF А.0 = 1 GOTO FF"), 0xF0FF);
  EXPECT_EQ(Encode("IF РД.8 = 0 GOTO 10"), 0x9810);
  EXPECT_EQ(Encode("РА := БР, РД := БР, РК := БР, А := БР"), 0x4007);
  EXPECT_EQ(Encode("IO"), 0x4100);
  EXPECT_EQ(Encode("CLRFLAGS"), 0x4200);
  EXPECT_EQ(Encode("DI"), 0x4400);
  EXPECT_EQ(Encode("EI"), 0x4800);
  EXPECT_EQ(Encode("С := 0"), 0x4080);
  EXPECT_EQ(Encode("С := 1"), 0x40C0);
  EXPECT_EQ(Encode("С := БР.16"), 0x4040);
}

TEST(EncodeMicroOperation, SpacesOrderAndLatinLookAlikesDoNotMatter) {
  EXPECT_EQ(Encode("БР:=РД+А"), Encode("БР := А + РД"));
  EXPECT_EQ(Encode("A := БР"), Encode("А := БР"));     // Latin A
  EXPECT_EQ(Encode("PA := БР"), Encode("РА := БР"));   // Latin P, A
  EXPECT_EQ(Encode("БР := CK"), Encode("БР := СК"));   // Latin C, K
  EXPECT_EQ(Encode("C := 1"), Encode("С := 1"));       // Latin C
  EXPECT_EQ(Encode("IF PK.9=0 GOTO 10"), Encode("IF РК.9 = 0 GOTO 10"));
}

TEST(EncodeMicroOperation, InvertedEmptyInputTakesTheFreeSide) {
  EXPECT_EQ(Encode("БР := А + ~0"), 0x1080);   // right side inverted
  EXPECT_EQ(Encode("БР := ~0 + РД"), 0x0140);  // left side inverted
  EXPECT_EQ(Encode("БР := ~0"), 0x0040);
  EXPECT_EQ(Encode("БР := КР"), 0x3000);
  EXPECT_EQ(Encode("БР := КР + 1, WRITE"), 0x3012);
}

// Each encoded word, executed, does what its operation says.
TEST(EncodeMicroOperation, WordsDoWhatTheyReadWhenExecuted) {
  Machine m;
  auto exec = [&m](std::string_view op) {
    m.executor.ExecuteMicroCommand(ExpandMicroCommand(NumToBits(Encode(op), 16)), "");
  };
  auto hex = [](const Word& w) { return BinToHex(w).str(); };
  m.processor.Reg_Set_A(NumToBits(0x1234, 16));
  m.processor.Reg_Set_Data(NumToBits(0x0005, 16));
  exec("БР := ~0 + РД");
  EXPECT_EQ(hex(m.processor.Reg_Get_Buffer()), "10004");  // РД - 1, with the carry
  exec("БР := А + ~0");
  EXPECT_EQ(hex(m.processor.Reg_Get_Buffer()), "11233");
  exec("БР := КР + 1");
  EXPECT_EQ(hex(m.processor.Reg_Get_Buffer()), "00001");
  exec("БР := А & РД");
  EXPECT_EQ(hex(m.processor.Reg_Get_Buffer()), "00004");
  exec("СК := БР");
  EXPECT_EQ(hex(m.processor.Reg_Get_CommandCounter()), "0004");
  exec("БР := ~РД + 1");
  exec("РК := БР, С := БР.16, N := БР.15");
  EXPECT_EQ(hex(m.processor.Reg_Get_Command()), "FFFB");
  EXPECT_EQ(m.processor.Reg_Get_N(), "1");
  EXPECT_EQ(m.processor.Reg_Get_С(), "0");
  m.processor.Micro_Reg_Set_CommandCounter("11");
  exec("IF РК.15 = 1 GOTO here");
  EXPECT_EQ(m.processor.Micro_Reg_Get_CommandCounter(), "40");
  m.processor.Micro_Reg_Set_CommandCounter("11");
  exec("IF РК.2 = 1 GOTO here");  // FFFB has bit 2 clear
  EXPECT_EQ(m.processor.Micro_Reg_Get_CommandCounter(), "11");
  exec("GOTO 22");
  EXPECT_EQ(m.processor.Micro_Reg_Get_CommandCounter(), "22");
}

TEST(EncodeMicroOperation, RefusesWhatTheFormatsCannotSay) {
  for (const char* bad : {
           "БР := А + РС",                // two left inputs
           "БР := РД + РК",               // two right inputs
           "БР := ~А + ~РД",              // both inverted
           "БР := А & РД + 1",            // AND and +1 share a field
           "БР := А + 1 + 1",
           "БР := А, А := БР",            // adder and transfer together
           "БР := А, БР := РД",
           "БР := 0, БР := А",
           "READ, WRITE",
           "HLT, А := БР",                // HLT stands alone
           "А := БР, СК := БР",           // one destination (or the four)
           "А := РД",
           "БР := ХХ",
           "С := 2",
           "N := БР.14",
           "IF РК.16 = 1 GOTO 10",
           "IF РК.1 = 2 GOTO 10",
           "IF БР.1 = 1 GOTO 10",
           "IF РК.1 = 1 GOTO nowhere",
           "GOTO nowhere",
           "JUMP 10",
           "",
       }) {
    EXPECT_THROW(Encode(bad), std::invalid_argument) << bad;
  }
}

TEST(AssembleMicroProgram, BuildsTheFileWithLabelsCommentsAndEmptyRows) {
  const MicroProgram p = AssembleMicroProgram(
      "# a remark\n"
      "01 | start | БР := СК | СК -> БР\n"
      "\n"
      "03 | next  | GOTO start | Переход к началу\r\n"
      "FF | last  | HLT | Останов\n");
  EXPECT_EQ(p.labels.at("start"), 0x01);
  EXPECT_EQ(p.labels.at("last"), 0xFF);
  EXPECT_EQ(p.rows[3].word, 0x8301);
  const std::string bytes = MicroProgramFileBytes(p);
  // 255 lines, CR LF each; row 02 is empty; comments in windows-1251.
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 255);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\r'), 255);
  EXPECT_EQ(bytes.substr(0, 8), "0300\xD1\xCA -");
  EXPECT_EQ(bytes.substr(bytes.find("\r\n") + 2, 6), "0000\r\n");
  EXPECT_EQ(bytes.substr(bytes.size() - 13), "4008\xCE\xF1\xF2\xE0\xED\xEE\xE2\r\n");
  EXPECT_EQ(MicroProgramMap(p), "01  start\n03  next\nFF  last\n");
}

TEST(AssembleMicroProgram, ReportsEveryProblemWithItsLine) {
  try {
    AssembleMicroProgram(
        "02 | a | БР := СК | ok\n"
        "01 | b | БР := СК | addresses must rise\n"
        "03 | a | БР := СК | label twice\n"
        "04 |   | БР := СК |\n"
        "05 |   | БР := СК | стрелка → не в windows-1251\n"
        "06 |   | БР := ЖЖ | unknown input\n"
        "100|   | БР := СК | no such address\n"
        "07 missing pipes\n");
    FAIL() << "should not assemble";
  } catch (const AssemblyError& e) {
    const auto& m = e.messages();
    ASSERT_EQ(m.size(), 7u);
    EXPECT_EQ(m[0].rfind("line 2:", 0), 0u);
    EXPECT_EQ(m[1].rfind("line 3:", 0), 0u);
    EXPECT_EQ(m[2].rfind("line 4:", 0), 0u);
    EXPECT_EQ(m[3].rfind("line 5:", 0), 0u);
    EXPECT_EQ(m[4].rfind("line 7:", 0), 0u);
    EXPECT_EQ(m[5].rfind("line 8:", 0), 0u);
    EXPECT_EQ(m[6].rfind("line 6:", 0), 0u);  // operations are encoded after all rows are read
  }
}

}  // namespace
}  // namespace vesk::masm
