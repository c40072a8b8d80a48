#include "asm/program_assembler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "asm/asm_messages.h"
#include "asm/assembled_file.h"

namespace vesk {
namespace {

std::uint16_t One(const std::string& statement) {
  const ProgramAssembly p = AssembleProgram(statement + " ; c\n");
  EXPECT_TRUE(p.ok()) << statement;
  return p.words[0].word;
}

// The codes of the errors of source, in order.
std::vector<AsmErrorCode> Codes(std::string_view source) {
  std::vector<AsmErrorCode> codes;
  for (const AsmError& e : AssembleProgram(source).errors) codes.push_back(e.code);
  return codes;
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
  const ProgramAssembly p = AssembleProgram(
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
  const ProgramAssembly p = AssembleProgram("        HLT ; Стоп\n        ORG 7FF\n        WORD 1 ; конец\n");
  const std::string bytes = DumpFileBytes(p);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 2048);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\r'), 2048);
  EXPECT_EQ(bytes.substr(0, 10), "F000\xD1\xF2\xEE\xEF\r\n");
  EXPECT_EQ(bytes.substr(10, 6), "0000\r\n");
  EXPECT_EQ(bytes.substr(bytes.size() - 11), "0001\xEA\xEE\xED\xE5\xF6\r\n");
}

TEST(AssembleProgram, ReportsEveryProblemWithItsLine) {
  const char* bad[] = {
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
  for (const char* source : bad) EXPECT_FALSE(AssembleProgram(source).ok()) << source;
  const ProgramAssembly p = AssembleProgram("HLT ; ok\nADD 823 ; beyond 7FF\nHLT ; ok\nFOO ; bad\n");
  ASSERT_EQ(p.errors.size(), 2u);
  EXPECT_EQ(p.errors[0].line, 2);
  EXPECT_EQ(p.errors[1].line, 4);
}

TEST(AssembleProgram, CommentsAreOptionalAndKeptExactly) {
  const ProgramAssembly p = AssembleProgram(
      "ADD 23\n"
      "HLT ;\n"
      "NOP ;  two blanks, one dropped; a semicolon stays  \n"
      "CLA ;\tтаб\n"
      "CLC ;x\n");
  ASSERT_TRUE(p.ok());
  EXPECT_EQ(p.words[0].word, 0x4023);
  EXPECT_EQ(p.words[0].comment, "");
  EXPECT_EQ(p.words[1].comment, "");
  EXPECT_EQ(p.words[2].comment, " two blanks, one dropped; a semicolon stays  ");
  EXPECT_EQ(p.words[3].comment, "таб");
  EXPECT_EQ(p.words[4].comment, "x");
  EXPECT_EQ(p.words[4].line, 5);
}

TEST(AssembleProgram, ExpressionsEquAndCase) {
  const ProgramAssembly p = AssembleProgram(
      "size EQU end-start\n"
      "kbd: EQU 3\n"
      "        org 10\n"
      "start:  in kbd\n"
      "        Add (ptr + 1) ; indirect through an expression\n"
      "        word -size+ 1\n"
      "        WORD size - 2 + 1\n"
      "ptr:    WORD start\n"
      "end:\n");
  ASSERT_TRUE(p.ok()) << AsmErrorMessage(p.errors.at(0));
  EXPECT_EQ(p.labels.at("size"), 5);
  EXPECT_EQ(p.labels.at("kbd"), 3);
  EXPECT_EQ(p.words[0x10].word, 0xE203);
  EXPECT_EQ(p.words[0x11].word, 0x4815);
  EXPECT_EQ(p.words[0x12].word, 0xFFFC);
  EXPECT_EQ(p.words[0x13].word, 0x0004);
}

TEST(AssembleProgram, TheStartIsStartOrTheFirstCommand) {
  EXPECT_EQ(AssembleProgram("ORG 20\nx: WORD 5\nORG 30\nCLA\nHLT\n").start, 0x30);
  EXPECT_EQ(AssembleProgram("ORG 20\nWORD 5\nSTART go\nHLT\ngo: CLA\n").start, 0x22);
  EXPECT_EQ(AssembleProgram("ORG 20\nWORD 5\n").start, 0);
  EXPECT_EQ(AssembleProgram("").start, 0);
  EXPECT_EQ(Codes("START 1\nSTART 2\n"), std::vector<AsmErrorCode>{AsmErrorCode::kStartTwice});
  EXPECT_EQ(Codes("START 800\n"), std::vector<AsmErrorCode>{AsmErrorCode::kAddressOutOfRange});
}

TEST(AssembleProgram, LabelsThatLoopOrChainTooFar) {
  EXPECT_EQ(Codes("p EQU q\nq EQU r+1\nr EQU p\nWORD p\n"), std::vector<AsmErrorCode>{AsmErrorCode::kLabelLoop});
  EXPECT_EQ(Codes("p EQU p\n"), std::vector<AsmErrorCode>{AsmErrorCode::kLabelLoop});
  std::string chain;
  for (int i = 0; i < 150; ++i) chain += "n" + std::to_string(i) + " EQU n" + std::to_string(i + 1) + "+1\n";
  chain += "n150 EQU 0\nWORD n0\n";
  EXPECT_EQ(Codes(chain), std::vector<AsmErrorCode>{AsmErrorCode::kEquTooDeep});
  std::string shortChain;
  for (int i = 0; i < 90; ++i) shortChain += "n" + std::to_string(i) + " EQU n" + std::to_string(i + 1) + "+1\n";
  shortChain += "n90 EQU 0\nWORD n0\n";
  const ProgramAssembly ok = AssembleProgram(shortChain);
  ASSERT_TRUE(ok.ok());
  EXPECT_EQ(ok.words[0].word, 90);
  EXPECT_EQ(Codes("big EQU FFFF+1\n"), std::vector<AsmErrorCode>{AsmErrorCode::kValueOutOfRange});
}

TEST(AssembleProgram, OrgCanOnlyUseNamesDefinedAbove) {
  EXPECT_EQ(Codes("ORG base\nbase EQU 10\n"), std::vector<AsmErrorCode>{AsmErrorCode::kForwardReference});
  EXPECT_EQ(Codes("ORG nowhere\n"), std::vector<AsmErrorCode>{AsmErrorCode::kUnknownLabel});
  const ProgramAssembly p = AssembleProgram("base EQU 10\nORG base+2\nhere: HLT\nx: ORG 7FF\nWORD 1\n");
  ASSERT_TRUE(p.ok());
  EXPECT_EQ(p.labels.at("here"), 0x12);
  EXPECT_EQ(p.labels.at("x"), 0x7FF);  // a label on an ORG line names the new address
}

TEST(AssembleProgram, ErrorsCarryLineColumnAndCode) {
  const ProgramAssembly p = AssembleProgram(
      "\tORG 10\n"
      "start:  ADD  (ptr\n"
      "        WORD 12345\n"
      "        BR   start x\n"
      "        OUT  100 ; К устройству\n"
      "        WORD (1)\n"
      "ptr:    ISZ\n"
      "        CLA ; \xE2\x86\x92\n"
      "x y:    HLT\n"
      "        ; заметка\n"
      "        \xC0\n"
      "        EQU 5\n"
      "        ORG 7FF\n"
      "        HLT\n"
      "        NOP\n");
  struct Expected {
    int line, column;
    AsmErrorCode code;
  } expected[] = {
      {2, 18, AsmErrorCode::kMissingParen},        {3, 14, AsmErrorCode::kNumberTooLong},
      {4, 20, AsmErrorCode::kUnexpectedText},      {5, 14, AsmErrorCode::kControllerOutOfRange},
      {6, 14, AsmErrorCode::kIndirectNotAllowed},  {7, 12, AsmErrorCode::kOperandMissing},
      {8, 15, AsmErrorCode::kCommentNotCp1251},    {9, 1, AsmErrorCode::kBadLabelName},
      {10, 9, AsmErrorCode::kCommentWithoutWord},  {11, 9, AsmErrorCode::kInvalidUtf8},
      {12, 9, AsmErrorCode::kEquWithoutName},      {15, 9, AsmErrorCode::kPastEndOfMemory},
  };
  ASSERT_EQ(p.errors.size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(p.errors[i].line, expected[i].line) << i << ": " << AsmErrorMessage(p.errors[i]);
    EXPECT_EQ(p.errors[i].column, expected[i].column) << i << ": " << AsmErrorMessage(p.errors[i]);
    EXPECT_EQ(p.errors[i].code, expected[i].code) << i << ": " << AsmErrorMessage(p.errors[i]);
  }
  EXPECT_EQ(AsmErrorMessage(p.errors[3]), "Номер контроллера 100 вне диапазона 00-FF");
  EXPECT_EQ(AsmErrorLine("p.vasm", p.errors[0]), "p.vasm:2:18: Нет закрывающей скобки «)»");
}

TEST(AssembleProgram, BrokenTextGivesABoundedErrorList) {
  std::string garbage;
  for (int i = 0; i < 5000; ++i) garbage += "!@ line " + std::to_string(i) + "\n";
  const ProgramAssembly p = AssembleProgram(garbage);
  ASSERT_EQ(p.errors.size(), kMaxAsmErrors);
  EXPECT_EQ(p.errors.back().code, AsmErrorCode::kTooManyErrors);
  EXPECT_EQ(AsmErrorMessage(p.errors.back()), "Слишком много ошибок: показаны первые 199");

  std::string longLine(10 << 20, 'x');
  longLine[5] = ' ';
  const ProgramAssembly q = AssembleProgram(longLine);
  ASSERT_EQ(q.errors.size(), 1u);
  EXPECT_EQ(q.errors[0].code, AsmErrorCode::kUnknownMnemonic);
  EXPECT_LT(AsmErrorMessage(q.errors[0]).size(), 200u);

  std::string binary;
  for (int i = 0; i < 1 << 16; ++i) binary += static_cast<char>((i * 7919) & 0xFF);
  const ProgramAssembly r = AssembleProgram(binary);
  EXPECT_FALSE(r.ok());
  for (const AsmError& e : r.errors) EXPECT_FALSE(AsmErrorMessage(e).empty());
}

}  // namespace
}  // namespace vesk
