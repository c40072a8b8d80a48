#include "asm/micro_assembler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "asm/asm_messages.h"
#include "asm/assembled_file.h"

namespace vesk {
namespace {

std::vector<int> Lines(const MicroAssembly& p) {
  std::vector<int> lines;
  for (const AsmError& e : p.errors) lines.push_back(e.line);
  return lines;
}

TEST(AssembleMicroProgram, BuildsTheFileWithLabelsCommentsAndEmptyRows) {
  const MicroAssembly p = AssembleMicroProgram(
      "# a remark\n"
      "01 | start | БР := СК | СК -> БР\n"
      "\n"
      "03 | next  | GOTO start | Переход к началу\r\n"
      "FF | last  | HLT | Останов\n");
  ASSERT_TRUE(p.ok());
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
  EXPECT_EQ(p.labels, (std::map<std::string, int>{{"start", 0x01}, {"next", 0x03}, {"last", 0xFF}}));
}

TEST(AssembleMicroProgram, ReportsEveryProblemWithItsLine) {
  const MicroAssembly p = AssembleMicroProgram(
      "02 | a | БР := СК | ok\n"
      "01 | b | БР := СК | addresses must rise\n"
      "03 | a | БР := СК | label twice\n"
      "04 |   | БР := СК |\n"
      "05 |   | БР := СК | стрелка → не в windows-1251\n"
      "06 |   | БР := ЖЖ | unknown input\n"
      "100|   | БР := СК | no such address\n"
      "07 missing pipes\n");
  // Line 4 is fine: the comment may be empty.
  EXPECT_EQ(Lines(p), (std::vector<int>{2, 3, 5, 6, 7, 8}));
  EXPECT_EQ(p.errors[0].code, AsmErrorCode::kMicroAddressNotRising);
  EXPECT_EQ(p.errors[1].code, AsmErrorCode::kDuplicateLabel);
  EXPECT_EQ(AsmErrorMessage(p.errors[1]), "Метка «a» уже определена в строке 1");
  EXPECT_EQ(p.errors[2].code, AsmErrorCode::kCommentNotCp1251);
  EXPECT_EQ(p.errors[2].column, 29);
  EXPECT_EQ(p.errors[3].code, AsmErrorCode::kNotAnAdderInput);
  EXPECT_EQ(p.errors[3].column, 16);
  EXPECT_EQ(p.errors[4].code, AsmErrorCode::kMicroAddress);
  EXPECT_EQ(p.errors[5].code, AsmErrorCode::kMicroLineFormat);
}

TEST(AssembleMicroProgram, AddressesMayBeLeftOutAndCommentsTooOrKeptExactly) {
  const MicroAssembly p = AssembleMicroProgram(
      "   | start | БР := СК\n"
      "   |       | GOTO later |  two blanks | and a bar\n"
      "10 | later | HLT |\n"
      "   |       | NOP |\tx\n");
  ASSERT_TRUE(p.ok()) << AsmErrorMessage(p.errors.at(0));
  EXPECT_EQ(p.rows[1].word, 0x0300);
  EXPECT_EQ(p.rows[2].word, 0x8310);
  EXPECT_EQ(p.rows[2].comment, " two blanks | and a bar");
  EXPECT_EQ(p.rows[0x10].comment, "");
  EXPECT_EQ(p.rows[0x11].comment, "x");
  EXPECT_EQ(p.rows[0x11].line, 4);
  EXPECT_FALSE(p.rows[3].used);
  EXPECT_EQ(AssembleMicroProgram("FF | | NOP\n | | NOP\n").errors.at(0).code, AsmErrorCode::kMicroPastEnd);
  EXPECT_EQ(AssembleMicroProgram("1 | | NOP\n").rows[1].used, true);
  EXPECT_EQ(AssembleMicroProgram("00 | | NOP\n").errors.at(0).code, AsmErrorCode::kMicroAddress);
  // A label that reads as an address means the label.
  EXPECT_EQ(AssembleMicroProgram("01 | AB | NOP\n02 | | GOTO AB\n").rows[2].word, 0x8301);
  EXPECT_EQ(AssembleMicroProgram("01 | x y | NOP\n").errors.at(0).code, AsmErrorCode::kBadLabelName);
  EXPECT_EQ(AssembleMicroProgram("01 | x | \n").errors.at(0).code, AsmErrorCode::kOperationMissing);
}

TEST(AssembleMicroProgram, BrokenTextGivesABoundedErrorList) {
  std::string garbage;
  for (int i = 0; i < 2000; ++i) garbage += "| | БР := ЖЖ\n";
  const MicroAssembly p = AssembleMicroProgram(garbage);
  ASSERT_EQ(p.errors.size(), kMaxAsmErrors);
  EXPECT_EQ(p.errors.back().code, AsmErrorCode::kTooManyErrors);

  std::string longLine = "01 | | " + std::string(10 << 20, '+') + " | x\n";
  const MicroAssembly q = AssembleMicroProgram(longLine);
  ASSERT_EQ(q.errors.size(), 1u);
  EXPECT_EQ(q.errors[0].column, 8);
  EXPECT_LT(AsmErrorMessage(q.errors[0]).size(), 300u);

  std::string binary;
  for (int i = 0; i < 1 << 16; ++i) binary += static_cast<char>((i * 7919 + 13) & 0xFF);
  EXPECT_FALSE(AssembleMicroProgram(binary).ok());
}

}  // namespace
}  // namespace vesk
