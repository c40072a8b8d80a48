// Every reader of outside files holds the lines it keeps, not the file: a
// file of millions of lines costs no more memory than a short one.
#include <gtest/gtest.h>

#include <string>

#include "util/ini_file.h"
#include "memory/dump_file.h"
#include "memory/micro_program_file.h"
#include "support/allocation_meter.h"
#include "support/temp_dir.h"

using namespace vesk;
using vesk::testing::PeakHeapBytes;
using vesk::testing::ResetHeapPeak;
using vesk::testing::TempDir;
using vesk::testing::WriteBytes;

namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;

// Millions of empty lines after the rows a reader keeps.
std::string ManyEmptyLines(const std::string& head, std::size_t lines = 8 * kMiB) {
  return head + std::string(lines, '\n');
}

}  // namespace

TEST(ReaderMemory, EightMillionEmptyLinesAfterTheRowsCostNothing) {
  TempDir dir;
  std::string rows = "0001first\r\n";
  for (int i = 1; i < MainMemory::kWords; ++i) rows += "0000\r\n";
  WriteBytes(dir / "m.vdmp", ManyEmptyLines(rows));
  {
    MainMemory memory;
    ResetHeapPeak();
    const FileResult r = Mem_LoadDump(memory, dir / "m.vdmp");
    const std::size_t peak = PeakHeapBytes();
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.warnings.size(), 1u);
    EXPECT_EQ(r.warnings[0], "Строк в файле: 8390656; прочитаны первые 2048, остальные (8388608) пропущены");
    EXPECT_EQ(memory.Comment(0), "first");
    EXPECT_LT(peak, 2 * kMiB);
  }
  {
    MicroMemory micro;
    ResetHeapPeak();
    const FileResult r = LoadMicroProgram(micro, dir / "m.vdmp");
    const std::size_t peak = PeakHeapBytes();
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.warnings.size(), 1u);
    EXPECT_EQ(micro.Comment(1), "first");
    EXPECT_LT(peak, 2 * kMiB);
  }
}

TEST(ReaderMemory, SettingsFileOfManyLinesIsReadAndRewrittenInPieces) {
  TempDir dir;
  const std::string path = dir / "cfg.ini";
  WriteBytes(path, ManyEmptyLines("[General]\r\nMode=1\r\n", 2 * kMiB) + "[Windows]\r\nMemTop=7\r\n");
  ResetHeapPeak();
  EXPECT_EQ(ReadIni(path, "Windows", "MemTop", "0"), "7");
  EXPECT_LT(PeakHeapBytes(), 2 * kMiB);
  ResetHeapPeak();
  ASSERT_TRUE(WriteIni(path, "General", "Mode", "2"));
  EXPECT_LT(PeakHeapBytes(), 2 * kMiB);
  EXPECT_EQ(ReadIni(path, "General", "Mode", "0"), "2");
  EXPECT_EQ(ReadIni(path, "Windows", "MemTop", "0"), "7");
}

TEST(ReaderMemory, AHugeLineInTheSettingsFileIsLookedAtOnlyByItsStart) {
  TempDir dir;
  const std::string path = dir / "cfg.ini";
  WriteBytes(path, "[General]\r\nJunk=" + std::string(16 * kMiB, 'x') + "\r\nMode=1\r\n");
  ResetHeapPeak();
  EXPECT_EQ(ReadIni(path, "General", "Mode", "0"), "1");
  EXPECT_LT(PeakHeapBytes(), 2 * kMiB);
  ResetHeapPeak();
  ASSERT_TRUE(WriteIni(path, "General", "Mode", "2"));
  EXPECT_LT(PeakHeapBytes(), 2 * kMiB);
  // The long line is still there, whole.
  EXPECT_EQ(vesk::testing::ReadBytes(path), "[General]\r\nJunk=" + std::string(16 * kMiB, 'x') + "\r\nMode=2\r\n");
}
