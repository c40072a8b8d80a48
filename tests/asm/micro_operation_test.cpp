#include "asm/micro_operation.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "app/machine.h"
#include "asm/asm_messages.h"
#include "asm/source_text.h"
#include "format/bit_string.h"

namespace vesk {
namespace {

std::optional<int> NoLabels(std::string_view target) {
  if (target == "here") return 0x40;
  return std::nullopt;
}

// The word of op, or the first error's code.
struct Parsed {
  std::optional<std::uint16_t> word;
  std::vector<AsmError> errors;
};

Parsed Parse(std::string_view op) {
  const std::string line(op);
  AsmErrorList list;
  Parsed p;
  p.word = ParseMicroOperation(SourceSpan{1, line, 0, line.size()}, NoLabels, list);
  p.errors = list.Take();
  return p;
}

std::uint16_t Encode(std::string_view op) {
  const Parsed p = Parse(op);
  EXPECT_TRUE(p.word) << op << ": " << (p.errors.empty() ? "" : AsmErrorMessage(p.errors[0]));
  EXPECT_EQ(p.word.has_value(), p.errors.empty()) << op;
  return p.word.value_or(0xDEAD);
}

TEST(ParseMicroOperation, GivesTheDocumentedWords) {
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

TEST(ParseMicroOperation, SpacesOrderAndLatinLookAlikesDoNotMatter) {
  EXPECT_EQ(Encode("БР:=РД+А"), Encode("БР := А + РД"));
  EXPECT_EQ(Encode("A := БР"), Encode("А := БР"));     // Latin A
  EXPECT_EQ(Encode("PA := БР"), Encode("РА := БР"));   // Latin P, A
  EXPECT_EQ(Encode("БР := CK"), Encode("БР := СК"));   // Latin C, K
  EXPECT_EQ(Encode("C := 1"), Encode("С := 1"));       // Latin C
  EXPECT_EQ(Encode("IF PK.9=0 GOTO 10"), Encode("IF РК.9 = 0 GOTO 10"));
}

TEST(ParseMicroOperation, InvertedEmptyInputTakesTheFreeSide) {
  EXPECT_EQ(Encode("БР := А + ~0"), 0x1080);   // right side inverted
  EXPECT_EQ(Encode("БР := ~0 + РД"), 0x0140);  // left side inverted
  EXPECT_EQ(Encode("БР := ~0"), 0x0040);
  EXPECT_EQ(Encode("БР := КР"), 0x3000);
  EXPECT_EQ(Encode("БР := КР + 1, WRITE"), 0x3012);
}

// Each encoded word, executed, does what its operation says.
TEST(ParseMicroOperation, WordsDoWhatTheyReadWhenExecuted) {
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

TEST(ParseMicroOperation, RefusesWhatTheFormatsCannotSay) {
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
    const Parsed p = Parse(bad);
    EXPECT_FALSE(p.word) << bad;
    EXPECT_EQ(p.errors.size(), 1u) << bad;
  }
}


TEST(ParseMicroOperation, ErrorsPointAtTheFaultyPiece) {
  struct Case {
    const char* op;
    AsmErrorCode code;
    int column;
  } cases[] = {
      {"БР := А + ЖЖ", AsmErrorCode::kNotAnAdderInput, 11},
      {"БР := А + РС", AsmErrorCode::kTwoLeftInputs, 11},
      {"IF РК.16 = 1 GOTO 10", AsmErrorCode::kBitNumber, 7},
      {"IF РК.1 = 2 GOTO 10", AsmErrorCode::kCompareValue, 11},
      {"IF БР.1 = 1 GOTO 10", AsmErrorCode::kJumpRegister, 4},
      {"GOTO nowhere", AsmErrorCode::kUnknownLabel, 6},
      {"GOTO 1G", AsmErrorCode::kJumpTarget, 6},
      {"READ, , WRITE", AsmErrorCode::kEmptyPart, 7},
      {"READ,", AsmErrorCode::kEmptyPart, 5},
      {"А := БР, IO, IO", AsmErrorCode::kSignalTwice, 14},
      {"IO, GOTO 10", AsmErrorCode::kUnknownPart, 5},
      {"GOTO 10, IO", AsmErrorCode::kJumpNotAlone, 8},
      {"БР := 0", AsmErrorCode::kEmptyAdder, 1},
      {"БР := А [1110]", AsmErrorCode::kCodeMismatch, 9},
      {"NOP [12]", AsmErrorCode::kCodeFormat, 5},
      {"NOP [0000] x", AsmErrorCode::kCodeFormat, 5},
      {"   ", AsmErrorCode::kOperationMissing, 4},
  };
  for (const Case& c : cases) {
    const Parsed p = Parse(c.op);
    ASSERT_EQ(p.errors.size(), 1u) << c.op;
    EXPECT_EQ(p.errors[0].code, c.code) << c.op << ": " << AsmErrorMessage(p.errors[0]);
    EXPECT_EQ(p.errors[0].column, c.column) << c.op;
  }
  EXPECT_EQ(AsmErrorMessage(Parse("БР := А [1110]").errors.at(0)), "Код 1110 означает «БР := А + РД + 1», а не эту операцию");
}

TEST(ParseMicroOperation, CaseAndLookAlikesOfNamesAndKeywords) {
  EXPECT_EQ(Encode("бр := ск + 1, read"), 0x0311);
  EXPECT_EQ(Encode("if рк.15 = 1 goto here"), 0xEF40);
  EXPECT_EQ(Encode("c := бр.16, n := бр.15, z := бр = 0"), 0x4070);
  EXPECT_EQ(Encode("GOTO 0"), 0x8300);   // micro-address 00: a word like any other
  EXPECT_EQ(Encode("GOTO here"), 0x8340);
}

// Empty inputs ("0", "~0") take the free sides, left first, so that both
// sides of an adder without registers can be inverted in text.
TEST(ParseMicroOperation, EmptyInputsTakeTheFreeSidesLeftFirst) {
  EXPECT_EQ(Encode("БР := ~0"), 0x0040);
  EXPECT_EQ(Encode("БР := 0 + ~0"), 0x0080);
  EXPECT_EQ(Encode("БР := ~0 & 0"), 0x0060);
  EXPECT_EQ(Encode("БР := 0 & ~0"), 0x00A0);
  EXPECT_EQ(Encode("БР := 0 & 0"), 0x0020);
  EXPECT_EQ(Encode("БР := РД & ~0"), 0x0160);
  EXPECT_EQ(Encode("БР := 1"), 0x0010);
  EXPECT_EQ(Encode("БР := 0, READ"), 0x0001);
  EXPECT_FALSE(Parse("БР := А + РД + ~0").word);  // no side left for ~0
}

TEST(MicroOperationText, ReadsAsTheShippedSourceWritesIt) {
  EXPECT_EQ(MicroOperationText(0x0311), "БР := СК + 1, READ");
  EXPECT_EQ(MicroOperationText(0x4035), "А := БР, N := БР.15, Z := БР=0");
  EXPECT_EQ(MicroOperationText(0x4075), "А := БР, С := БР.16, N := БР.15, Z := БР=0");
  EXPECT_EQ(MicroOperationText(0x1190), "БР := А + ~РД + 1");
  EXPECT_EQ(MicroOperationText(0x0140), "БР := ~0 + РД");
  EXPECT_EQ(MicroOperationText(0x1080), "БР := А + ~0");
  EXPECT_EQ(MicroOperationText(0x3012), "БР := КР + 1, WRITE");
  EXPECT_EQ(MicroOperationText(0x4402), "РД := БР, DI");
  EXPECT_EQ(MicroOperationText(0x4F07), "РА := БР, РД := БР, РК := БР, А := БР, IO, CLRFLAGS, DI, EI");
  EXPECT_EQ(MicroOperationText(0x8301), "GOTO 01");
  EXPECT_EQ(MicroOperationText(0xC301), "IF РС.3 = 1 GOTO 01");
  EXPECT_EQ(MicroOperationText(0xEF40, [](int a) { return a == 0x40 ? std::string("high") : std::string(); }),
            "IF РК.15 = 1 GOTO high");
  EXPECT_EQ(MicroOperationText(0x0000), "NOP");
  EXPECT_EQ(MicroOperationText(0x0080), "БР := 0 + ~0");
}

TEST(MicroOperationText, WordsWithTheEffectOfAnotherCarryTheirCode) {
  EXPECT_EQ(MicroOperationText(0x4000), "NOP [4000]");
  EXPECT_EQ(MicroOperationText(0x4009), "HLT [4009]");
  EXPECT_EQ(MicroOperationText(0x7FFF), "HLT [7FFF]");
  EXPECT_EQ(MicroOperationText(0x1104), "БР := ROR [1104]");
  EXPECT_EQ(MicroOperationText(0x0C03), "NOP [0C03]");
  EXPECT_EQ(MicroOperationText(0x11F1), "БР := А + РД, READ [11F1]");
  EXPECT_EQ(MicroOperationText(0x4006), "NOP [4006]");
  EXPECT_EQ(MicroOperationText(0x7035), "А := БР, N := БР.15, Z := БР=0 [7035]");
}

// Every vertical word has a text, and that text assembles back to the word.
TEST(MicroOperationText, EveryWordAssemblesBackFromItsText) {
  int bracketed = 0;
  for (int w = 0; w <= 0xFFFF; ++w) {
    const auto word = static_cast<std::uint16_t>(w);
    const std::string text = MicroOperationText(word);
    const Parsed p = Parse(text);
    ASSERT_TRUE(p.word) << HexText(w, 4) << " '" << text << "': " << AsmErrorMessage(p.errors.at(0));
    ASSERT_EQ(*p.word, word) << "'" << text << "'";
    const bool canonical = CanonicalMicroWord(word) == word;
    ASSERT_EQ(text.find('[') == std::string::npos, canonical) << text;
    ASSERT_EQ(CanonicalMicroWord(CanonicalMicroWord(word)), CanonicalMicroWord(word));
    bracketed += !canonical;
  }
  // Fields in use: 32,768 jumps (every bit of them counts); 146 adder
  // settings (144 sums, 2 rotations) times 3 memory accesses; 1,791 transfer
  // combinations and HLT.
  EXPECT_EQ(0x10000 - bracketed, 32768 + 146 * 3 + 1792);
}

// A word and its canonical word leave the machine in the same state: same
// registers, flags, memory, controllers and run request.
TEST(CanonicalMicroWord, HasTheSameEffectAsTheWord) {
  Machine a, b;
  std::uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) & 0xFFFF;
  };
  auto prepare = [](Machine& m, const std::array<std::uint32_t, 9>& v) {
    Processor& p = m.processor;
    p.Reg_Set_A(NumToBits(v[0], 16));
    p.Reg_Set_Data(NumToBits(v[1], 16));
    p.Reg_Set_Command(NumToBits(v[2], 16));
    p.Reg_Set_CommandCounter(NumToBits(v[3], 16));
    p.Reg_Set_Address(NumToBits(v[4], 16));
    p.Reg_Set_Key(NumToBits(v[5], 16));
    p.Reg_Set_Buffer(NumToBits(v[6] | 0x10000, 17));
    p.Reg_Set_State(NumToBits(v[7] & 0x7F, 16));
    p.bIsRunning_Act = true;
    p.Micro_Reg_Set_CommandCounter("22");
    m.memory.SetRow(static_cast<int>(v[4] & 0x7FF), NumToBits(v[8], 16), "");
    for (int row : {0, 1, Controllers::RowOfAddress(static_cast<int>(v[1] & 0xFF))}) m.controllers.SetFlagOfRow(row, 1);
  };
  auto state = [](const Machine& m) {
    const Processor& p = m.processor;
    std::string s;
    for (const Word& w : {p.Reg_Get_A(), p.Reg_Get_Data(), p.Reg_Get_Command(), p.Reg_Get_CommandCounter(),
                          p.Reg_Get_Address(), p.Reg_Get_Key(), p.Reg_Get_Buffer(), p.Reg_Get_State(),
                          p.Micro_Reg_Get_CommandCounter()})
      s += w.str() + " ";
    s += p.bIsRunning_Act ? "run " : "stop ";
    s += m.memory.Value(BitsValue(p.Reg_Get_Address()) & 0x7FF).str() + " ";
    const int io = Controllers::RowOfAddress(static_cast<int>(BitsValue(p.Reg_Get_Data()) & 0xFF));
    for (int row : {0, 1, io}) s += std::to_string(m.controllers.Flag(row)) + m.controllers.Data(row).str() + " ";
    return s;
  };
  for (int w = 0; w <= 0xFFFF; ++w) {
    const auto word = static_cast<std::uint16_t>(w);
    const std::uint16_t canonical = CanonicalMicroWord(word);
    if (canonical == word) continue;
    std::array<std::uint32_t, 9> v;
    for (auto& x : v) x = next();
    prepare(a, v);
    prepare(b, v);
    a.executor.ExecuteMicroCommand(ExpandMicroCommand(NumToBits(word, 16)), "");
    b.executor.ExecuteMicroCommand(ExpandMicroCommand(NumToBits(canonical, 16)), "");
    ASSERT_EQ(state(a), state(b)) << HexText(w, 4) << " and " << HexText(canonical, 4);
  }
}

}  // namespace
}  // namespace vesk
