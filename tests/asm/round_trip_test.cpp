// Assembling the disassembly of a memory gives back every word and comment.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>

#include "asm/asm_messages.h"
#include "asm/assembled_file.h"
#include "asm/disassembler.h"
#include "format/bit_string.h"
#include "memory/dump_file.h"
#include "memory/main_memory.h"
#include "memory/micro_memory.h"
#include "memory/micro_program_file.h"
#include "support/temp_dir.h"
#include "util/cp1251.h"
#include "util/text_file.h"

namespace vesk {
namespace {

// Every character a memory comment may hold: all of windows-1251 but the
// line breaks, as UTF-8.
std::vector<std::string> CommentCharacters() {
  std::vector<std::string> out;
  for (int b = 0; b < 256; ++b)
    if (b != '\r' && b != '\n') out.push_back(Cp1251ToUtf8(std::string(1, static_cast<char>(b))));
  return out;
}

// Comments for count cells: the first ones hold each character once (at the
// front, in the middle and at the end in turn), then random ones, some empty,
// some starting or ending with blanks.
std::vector<std::string> Comments(std::size_t count, std::mt19937& random) {
  static const std::vector<std::string> chars = CommentCharacters();
  std::vector<std::string> out(count);
  for (std::size_t i = 0; i < count; ++i) {
    std::string c;
    const int length = static_cast<int>(random() % 14);
    for (int k = 0; k < length; ++k) c += chars[random() % chars.size()];
    if (i < chars.size()) {
      const std::size_t where = i % 3 == 0 ? 0 : i % 3 == 1 ? c.size() / 2 : c.size();
      std::size_t byte = 0;
      for (std::size_t k = 0; k < where && byte < c.size(); ++k)
        byte += static_cast<std::size_t>(1 + ((static_cast<unsigned char>(c[byte]) >= 0xC0) ? 1 : 0) +
                                         ((static_cast<unsigned char>(c[byte]) >= 0xE0) ? 1 : 0));
      c.insert(std::min(byte, c.size()), chars[i]);
    } else if (random() % 3 == 0) {
      c.clear();
    } else if (random() % 5 == 0) {
      c = (random() % 2 ? "  " : "\t") + c + (random() % 2 ? " " : "\t ");
    }
    out[i] = c;
  }
  return out;
}

TEST(RoundTrip, ProgramsOfEveryWordValueAndEveryCommentCharacter) {
  std::mt19937 random(20240611);
  std::vector<std::uint16_t> values(0x10000);
  std::iota(values.begin(), values.end(), 0);
  std::shuffle(values.begin(), values.end(), random);
  constexpr std::size_t kWords = ProgramAssembly::kWords;
  for (std::size_t m = 0; m < values.size() / kWords; ++m) {
    ProgramImage image;
    std::copy_n(values.begin() + static_cast<std::ptrdiff_t>(m * kWords), kWords, image.words.begin());
    image.comments = Comments(kWords, random);
    const int start = static_cast<int>(random() % kWords);
    const std::string text = DisassembleProgram(image, start);
    const ProgramAssembly back = AssembleProgram(text);
    ASSERT_TRUE(back.ok()) << AsmErrorLine("memory " + std::to_string(m), back.errors.at(0));
    EXPECT_EQ(back.start, start);
    const ProgramImage again = ImageOf(back, ProgramImage(), true);
    for (std::size_t a = 0; a < kWords; ++a) {
      ASSERT_EQ(again.words[a], image.words[a]) << "memory " << m << ", address " << a;
      ASSERT_EQ(again.comments[a], image.comments[a]) << "memory " << m << ", address " << a;
    }
  }
}

TEST(RoundTrip, MicroProgramsOfEveryWordAndEveryCommentCharacter) {
  std::mt19937 random(7);
  std::vector<std::uint16_t> values(0x10000);
  std::iota(values.begin(), values.end(), 0);
  std::shuffle(values.begin(), values.end(), random);
  constexpr std::size_t kWords = MicroAssembly::kWords;
  for (std::size_t m = 0; m * kWords < values.size(); ++m) {
    MicroImage image;
    const std::vector<std::string> comments = Comments(kWords, random);
    for (std::size_t a = 1; a <= kWords; ++a) {
      const std::size_t i = m * kWords + a - 1;
      image.words[a] = i < values.size() ? values[i] : static_cast<std::uint16_t>(random());
      image.comments[a] = comments[a - 1];
    }
    const std::string text = DisassembleMicroProgram(image);
    const MicroAssembly back = AssembleMicroProgram(text);
    ASSERT_TRUE(back.ok()) << AsmErrorLine("micro-memory " + std::to_string(m), back.errors.at(0));
    const MicroImage again = ImageOf(back, MicroImage(), true);
    for (std::size_t a = 1; a <= kWords; ++a) {
      ASSERT_EQ(again.words[a], image.words[a]) << "micro-memory " << m << ", address " << a;
      ASSERT_EQ(again.comments[a], image.comments[a]) << "micro-memory " << m << ", address " << a;
    }
  }
}

// Into the memories and out to files: the words and comments an assembly
// puts into memory save as exactly the file the assembler writes.
TEST(RoundTrip, AssembledWordsGoIntoTheMemoriesAndTheirFiles) {
  testing::TempDir dir;
  const ProgramAssembly program = AssembleProgram("ORG 10\nstart: CLA ; А := 0\nHLT\nORG 7FF\nWORD 1234 ; конец\n");
  ASSERT_TRUE(program.ok());
  MainMemory memory;
  memory.SetRow(0x20, NumToBits(0xBEEF, 16), "было");
  WriteProgram(program, memory, false);
  EXPECT_EQ(BitsValue(memory.Value(0x20)), 0xBEEFu);  // not cleared
  EXPECT_EQ(memory.Comment(0x20), "было");
  EXPECT_EQ(memory.Selected(), -1);
  WriteProgram(program, memory, true);
  EXPECT_EQ(BitsValue(memory.Value(0x20)), 0u);
  EXPECT_EQ(memory.Comment(0x20), "");
  EXPECT_EQ(BitsValue(memory.Value(0x10)), 0xF200u);
  ASSERT_TRUE(Mem_SaveDump(memory, dir / "p.vdmp").ok);
  EXPECT_EQ(ReadFileBytes(dir / "p.vdmp").bytes, DumpFileBytes(program));

  const MicroAssembly micro = AssembleMicroProgram("01 | | БР := СК | СК -> БР\n03 | | GOTO 01\n");
  ASSERT_TRUE(micro.ok());
  MicroMemory control;
  control.SetRow(2, NumToBits(0x1234, 16), "было");
  WriteMicroProgram(micro, control, false);
  EXPECT_EQ(BitsValue(control.Value(2)), 0x1234u);
  WriteMicroProgram(micro, control, true);
  EXPECT_EQ(BitsValue(control.Value(2)), 0u);
  EXPECT_EQ(control.Comment(2), "");
  EXPECT_EQ(control.Key(1), "new_cmd");
  ASSERT_TRUE(SaveMicroProgram(control, dir / "m.mpdmp").ok);
  EXPECT_EQ(ReadFileBytes(dir / "m.mpdmp").bytes, MicroProgramFileBytes(micro));
  const MicroImage image = ReadMicroImage(control);
  EXPECT_EQ(image.words[1], 0x0300);
  EXPECT_EQ(image.comments[1], "СК -> БР");
}

}  // namespace
}  // namespace vesk
