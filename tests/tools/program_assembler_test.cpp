#include "asm/program_assembler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace vesk::asmr {
namespace {

std::uint16_t One(const std::string& statement) {
  const Program p = AssembleProgram(statement + " ; c\n");
  return p.words[0].word;
}

TEST(AssembleProgram, EncodesEveryMnemonic) {
  EXPECT_EQ(One("ISZ 123"), 0x0123);
  EXPECT_EQ(One("AND 7FF"), 0x17FF);
  EXPECT_EQ(One("JSR 1"), 0x2001);
  EXPECT_EQ(One("MOV 40"), 0x3040);
  EXPECT_EQ(One("ADD 23"), 0x4023);
  EXPECT_EQ(One("ADC 0"), 0x5000);
  EXPECT_EQ(One("SUB 100"), 0x6100);
  EXPECT_EQ(One("BCS 10"), 0x8010);
  EXPECT_EQ(One("BPL 10"), 0x9010);
  EXPECT_EQ(One("BMI 10"), 0xA010);
  EXPECT_EQ(One("BEQ 10"), 0xB010);
  EXPECT_EQ(One("BR 10"), 0xC010);
  EXPECT_EQ(One("CLF 5"), 0xE005);
  EXPECT_EQ(One("TSF 0A"), 0xE10A);
  EXPECT_EQ(One("IN FF"), 0xE2FF);
  EXPECT_EQ(One("OUT 00"), 0xE300);
  const std::pair<const char*, std::uint16_t> noOperand[] = {
      {"HLT", 0xF000}, {"NOP", 0xF100}, {"CLA", 0xF200}, {"CLC", 0xF300}, {"CMA", 0xF400}, {"CMC", 0xF500},
      {"ROL", 0xF600}, {"ROR", 0xF700}, {"INC", 0xF800}, {"DEC", 0xF900}, {"EI", 0xFA00},  {"DI", 0xFB00}};
  for (const auto& [m, code] : noOperand) EXPECT_EQ(One(m), code) << m;
}

TEST(AssembleProgram, IndirectOperandsSetTheIBit) {
  EXPECT_EQ(One("ADD (23)"), 0x4823);
  EXPECT_EQ(One("BR (000)"), 0xC800);
  EXPECT_EQ(One("JSR (7FF)"), 0x2FFF);
}

TEST(AssembleProgram, LabelsOrgAndData) {
  const Program p = AssembleProgram(
      "# remark\n"
      "        ORG 010\n"
      "start:  ADD (ptr)   ; А := А + элемент\n"
      "        BR start    ; снова\n"
      "ptr:    WORD arr+2  ; указатель\n"
      "n:      WORD -A     ; -10\n"
      "next:\n"
      "        WORD next-1 ; адрес n\n"
      "        ORG 7FF\n"
      "arr:    WORD FFFF   ; последнее слово\n");
  EXPECT_EQ(p.labels.at("start"), 0x010);
  EXPECT_EQ(p.labels.at("next"), 0x014);
  EXPECT_EQ(p.words[0x010].word, 0x4812);
  EXPECT_EQ(p.words[0x011].word, 0xC010);
  EXPECT_EQ(p.words[0x012].word, (0x7FF + 2) & 0xFFFF);
  EXPECT_EQ(p.words[0x013].word, 0xFFF6);
  EXPECT_EQ(p.words[0x014].word, 0x013);
  EXPECT_EQ(p.words[0x7FF].word, 0xFFFF);
  EXPECT_EQ(p.words[0x010].comment, "А := А + элемент");
  EXPECT_TRUE(p.words[0x010].used);
  EXPECT_FALSE(p.words[0x015].used);
}

TEST(AssembleProgram, TheDumpHas2048LinesInWindows1251) {
  const Program p = AssembleProgram("        HLT ; Стоп\n        ORG 7FF\n        WORD 1 ; конец\n");
  const std::string bytes = DumpFileBytes(p);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 2048);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\r'), 2048);
  EXPECT_EQ(bytes.substr(0, 10), "F000\xD1\xF2\xEE\xEF\r\n");
  EXPECT_EQ(bytes.substr(10, 6), "0000\r\n");
  EXPECT_EQ(bytes.substr(bytes.size() - 11), "0001\xEA\xEE\xED\xE5\xF6\r\n");
}

TEST(AssembleProgram, ReportsEveryProblemWithItsLine) {
  const char* bad[] = {
      "ADD 23\n",                  // no comment
      "a: HLT ; label reads as hex\n",
      "FOO 1 ; unknown mnemonic\n",
      "ADD 800 ; beyond 7FF\n",
      "IN 123 ; three digits\n",
      "HLT 1 ; operand on HLT\n",
      "ADD nowhere ; unknown label\n",
      "x: HLT ; one\nx: HLT ; twice\n",
      "ORG 10\nHLT ; a\nORG 10\nHLT ; same address\n",
      "ORG 800\n",
      "HLT NOP x ; two statements\n",
      "HLT ; стрелка →\n",
      "x: ; a comment with nothing to carry it\n",
  };
  for (const char* source : bad) EXPECT_THROW(AssembleProgram(source), ProgramError) << source;
  try {
    AssembleProgram("HLT ; ok\nADD 23\nHLT ; ok\nFOO ; bad\n");
    FAIL();
  } catch (const ProgramError& e) {
    ASSERT_EQ(e.messages().size(), 2u);
    EXPECT_EQ(e.messages()[0].rfind("line 2:", 0), 0u);
    EXPECT_EQ(e.messages()[1].rfind("line 4:", 0), 0u);
  }
}

}  // namespace
}  // namespace vesk::asmr
