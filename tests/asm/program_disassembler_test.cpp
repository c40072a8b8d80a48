#include <gtest/gtest.h>

#include <string>

#include "asm/asm_messages.h"
#include "asm/assembled_file.h"
#include "asm/disassembler.h"
#include "asm/program_flow.h"
#include "memory/dump_file.h"
#include "memory/micro_program_file.h"
#include "util/text_file.h"

namespace vesk {
namespace {

ProgramImage Image(std::initializer_list<std::pair<int, std::uint16_t>> words) {
  ProgramImage image;
  for (const auto& [a, w] : words) image.words[static_cast<std::size_t>(a)] = w;
  return image;
}

std::vector<int> Reached(const ProgramImage& image, int start) {
  const std::vector<bool> r = ReachedCommands(image, start);
  std::vector<int> out;
  for (int a = 0; a < ProgramAssembly::kWords; ++a)
    if (r[static_cast<std::size_t>(a)]) out.push_back(a);
  return out;
}

TEST(ReachedCommands, FollowsSkipsJumpsAndSubroutines) {
  // 010 ISZ n; 011 BR 014; 012 JSR 030; 013 HLT; 014 BEQ 012; 015 BR (020)
  // 030 subroutine's return cell (data); 031 CLA; 032 BR (030)
  const ProgramImage image = Image({{0x10, 0x0020}, {0x11, 0xC014}, {0x12, 0x2030}, {0x13, 0xF000},
                                    {0x14, 0xB012}, {0x15, 0xC820}, {0x16, 0xF200}, {0x20, 0x0005},
                                    {0x30, 0x0000}, {0x31, 0xF200}, {0x32, 0xC830}});
  EXPECT_EQ(Reached(image, 0x10), (std::vector<int>{0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x31, 0x32}));
}

TEST(ReachedCommands, StopsAtDataHaltAndEmptyCellsAndFollowsInterruptsAfterEi) {
  EXPECT_EQ(Reached(Image({{0, 0xF200}, {1, 0x7000}, {2, 0xF200}}), 0), std::vector<int>{0});  // 7000 has no mnemonic
  EXPECT_EQ(Reached(Image({{0, 0xF200}, {2, 0xF200}}), 0), std::vector<int>{0});                // 0000 is empty memory
  EXPECT_EQ(Reached(Image({{5, 0xF000}, {6, 0xF200}}), 5), std::vector<int>{5});
  EXPECT_EQ(Reached(Image({{0x7FF, 0xF200}, {0, 0xF000}}), 0x7FF), (std::vector<int>{0, 0x7FF}));
  const ProgramImage withInterrupts = Image({{0, 0xC010}, {1, 0xC020}, {0x10, 0xFA00}, {0x11, 0xF000}, {0x20, 0xF000}});
  EXPECT_EQ(Reached(withInterrupts, 0), (std::vector<int>{0, 1, 0x10, 0x11, 0x20}));
  const ProgramImage withoutEi = Image({{0, 0xC010}, {1, 0xC020}, {0x10, 0xF100}, {0x11, 0xF000}, {0x20, 0xF000}});
  EXPECT_EQ(Reached(withoutEi, 0), (std::vector<int>{0, 0x10, 0x11}));
}

TEST(DisassembleProgram, WritesCommandsWithLabelsAndDataAsWords) {
  ProgramImage image = Image({{0x10, 0xF200}, {0x11, 0x4820}, {0x12, 0xE302}, {0x13, 0xB010},
                              {0x14, 0xF000}, {0x20, 0x0030}, {0x30, 0xF000}});
  image.comments[0x10] = "А := 0";
  image.comments[0x25] = "пустая ячейка с комментарием";
  const std::string text = DisassembleProgram(image, 0x10);
  EXPECT_NE(text.find("        START L_010\n        ORG 010\n"
                      "L_010:  CLA             ; А := 0\n"
                      "        ADD (L_020)\n"
                      "        OUT 02\n"
                      "        BEQ L_010\n"
                      "        HLT\n"
                      "        ORG 020\n"
                      "L_020:  WORD 0030\n"
                      "        ORG 025\n"
                      "        WORD 0000       ; пустая ячейка с комментарием\n"
                      "        ORG 030\n"
                      "        WORD F000\n"),
            std::string::npos)
      << text;
  const ProgramAssembly back = AssembleProgram(text);
  ASSERT_TRUE(back.ok()) << AsmErrorMessage(back.errors.at(0));
  EXPECT_EQ(back.start, 0x10);
}

// The examples' dumps read back as sources that assemble to the same dumps.
TEST(DisassembleProgram, ExamplesComeBackByteForByte) {
  for (const char* name : {"sum", "multiply", "subroutine", "print", "input", "interrupt"}) {
    const std::string path = std::string(VESK_SOURCE_DIR) + "/examples/" + name + ".vdmp";
    MainMemory memory;
    ASSERT_TRUE(Mem_LoadDump(memory, path).ok) << path;
    const std::string text = DisassembleProgram(ReadProgramImage(memory), 0);
    const ProgramAssembly back = AssembleProgram(text);
    ASSERT_TRUE(back.ok()) << name << ": " << AsmErrorMessage(back.errors.at(0)) << "\n" << text;
    const FileBytes shipped = ReadFileBytes(path);
    ASSERT_TRUE(shipped.ok);
    EXPECT_EQ(DumpFileBytes(back), shipped.bytes) << name;
    // The start cell's jump leads to code, so the program's text reads as commands.
    EXPECT_NE(text.find("BR L_010"), std::string::npos) << name << "\n" << text;
  }
}

TEST(DisassembleMicroProgram, TheShippedMicroProgramComesBackByteForByte) {
  const std::string path = std::string(VESK_SOURCE_DIR) + "/microprograms/vesk.mpdmp";
  MicroMemory memory;
  ASSERT_TRUE(LoadMicroProgram(memory, path).ok);
  const std::string text = DisassembleMicroProgram(ReadMicroImage(memory));
  EXPECT_NE(text.find("01 | L_01   | БР := СК                        | СК -> БР\n"), std::string::npos) << text;
  EXPECT_NE(text.find("07 |        | IF РК.15 = 1 GOTO L_4A          | "), std::string::npos) << text;
  const MicroAssembly back = AssembleMicroProgram(text);
  ASSERT_TRUE(back.ok()) << AsmErrorMessage(back.errors.at(0));
  const FileBytes shipped = ReadFileBytes(path);
  ASSERT_TRUE(shipped.ok);
  EXPECT_EQ(MicroProgramFileBytes(back), shipped.bytes);
}

TEST(DisassembleMicroProgram, LabelsJumpTargetsAndKeepsEmptyTargetRows) {
  MicroImage image;
  image.words[1] = 0x8305;  // GOTO 05, where nothing is
  image.words[2] = 0x8300;  // GOTO 00: no row there, no label
  image.comments[3] = "только комментарий";
  EXPECT_EQ(DisassembleMicroProgram(image),
            "# Микропрограмма, восстановленная по содержимому микропамяти.\n"
            "# адрес | метка | операция | комментарий\n\n"
            "01 |        | GOTO L_05\n"
            "02 |        | GOTO 00\n"
            "03 |        | NOP                             | только комментарий\n"
            "05 | L_05   | NOP\n");
}

}  // namespace
}  // namespace vesk
