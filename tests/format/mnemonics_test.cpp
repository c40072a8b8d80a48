#include "format/mnemonics.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace vesk;

TEST(Mnemonics, EveryTableRowRoundTrips) {
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"0123", "ISZ 123"}, {"1456", "AND 456"}, {"2000", "JSR 000"}, {"3FFF", "MOV FFF"},
      {"4023", "ADD 023"}, {"5823", "ADC 823"}, {"6001", "SUB 001"}, {"8010", "BCS 010"},
      {"9010", "BPL 010"}, {"A010", "BMI 010"}, {"B010", "BEQ 010"}, {"C7FF", "BR 7FF"},
      {"C01F", "BR 01F"},  {"E00A", "CLF 0A"},  {"E10A", "TSF 0A"},  {"E205", "IN 05"},
      {"E3FF", "OUT FF"},  {"F000", "HLT"},     {"F100", "NOP"},     {"F200", "CLA"},
      {"F300", "CLC"},     {"F400", "CMA"},     {"F500", "CMC"},     {"F600", "ROL"},
      {"F700", "ROR"},     {"F800", "INC"},     {"F900", "DEC"},     {"FA00", "EI"},
      {"FB00", "DI"}};
  for (const auto& [code, text] : rows) {
    EXPECT_EQ(CodeToMnemonic(code), text) << code;
    EXPECT_EQ(MnemonicToCode(text), code) << text;
  }
}

TEST(CodeToMnemonic, WordsWithoutMnemonic) {
  for (const char* code : {"7000", "DFFF", "E400", "EF00", "F201", "FC00", "F0FF", "f000", "a010"})
    EXPECT_EQ(CodeToMnemonic(code), "") << code;
  EXPECT_EQ(CodeToMnemonic("3"), "ISZ 003");
  EXPECT_EQ(CodeToMnemonic(""), "ISZ 000");
  EXPECT_EQ(CodeToMnemonic("41"), "ISZ 041");
}

TEST(MnemonicToCode, PrefixesOperandsAndOrder) {
  EXPECT_EQ(MnemonicToCode("HLT 123"), "F000");
  EXPECT_EQ(MnemonicToCode("EIxyz"), "FA00");
  EXPECT_EQ(MnemonicToCode("OUT"), "E300");
  EXPECT_EQ(MnemonicToCode("CLF 1"), "E001");
  EXPECT_EQ(MnemonicToCode("IN 123"), "E212");
  EXPECT_EQ(MnemonicToCode("INC"), "F800");
  EXPECT_EQ(MnemonicToCode("BR"), "C000");
  EXPECT_EQ(MnemonicToCode("B"), "");
  EXPECT_EQ(MnemonicToCode(""), "");
  EXPECT_EQ(MnemonicToCode("mov 10"), "");
  EXPECT_EQ(MnemonicToCode("MOV 1a"), "301A");
  EXPECT_EQ(MnemonicToCode("ANDX 5"), "1005");
  EXPECT_EQ(MnemonicToCode("BRANCH 10"), "C010");
  EXPECT_EQ(MnemonicToCode("BEQ 5"), "B005");
  EXPECT_EQ(MnemonicToCode("AND 12345"), "1123");
  EXPECT_EQ(MnemonicToCode("JSR 5"), "2005");
  EXPECT_EQ(MnemonicToCode("JSR"), "2000");
  EXPECT_EQ(MnemonicToCode("ADD 8 3"), "48 3");  // a second space is part of the operand
}

TEST(ExtractOperand, FirstCharactersAfterTheFirstSpace) {
  EXPECT_EQ(ExtractOperand("AND 12345", 3), "123");
  EXPECT_EQ(ExtractOperand("JSR 5", 3), "005");
  EXPECT_EQ(ExtractOperand("JSR", 3), "000");
  EXPECT_EQ(ExtractOperand("JSR ", 3), "000");
  EXPECT_EQ(ExtractOperand("IN 7", 2), "07");
}
