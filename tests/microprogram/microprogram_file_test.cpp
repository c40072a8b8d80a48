// The shipped micro-program file as a file: its format, a comment on every
// micro-command, control flow that never runs into an empty cell, and its
// place beside the executables with the cfg.ini that names it.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "util/ini_file.h"
#include "app/runner.h"
#include "common/file_io.h"
#include "memory/micro_program_file.h"
#include "util/cp1251.h"

namespace vesk::testing {
namespace {

struct Row {
  std::uint16_t word = 0;
  std::string comment;  // UTF-8
  bool used() const { return !comment.empty(); }
};

// Rows 1..255 of the file (row 0 unused); fails the test on a format error.
std::vector<Row> ReadRows(const std::string& bytes) {
  std::vector<Row> rows(256);
  std::size_t at = 0;
  for (int address = 1; address <= 255; ++address) {
    const std::size_t end = bytes.find("\r\n", at);
    if (end == std::string::npos) {
      ADD_FAILURE() << "line " << address << " has no CR LF";
      return rows;
    }
    const std::string line = bytes.substr(at, end - at);
    at = end + 2;
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "stray line break in line " << address;
    EXPECT_GE(line.size(), 4u) << "line " << address;
    for (std::size_t i = 0; i < 4 && i < line.size(); ++i)
      EXPECT_TRUE((line[i] >= '0' && line[i] <= '9') || (line[i] >= 'A' && line[i] <= 'F'))
          << "line " << address << ": four upper-case hex digits";
    rows[static_cast<std::size_t>(address)].word = static_cast<std::uint16_t>(std::stoul(line.substr(0, 4), nullptr, 16));
    rows[static_cast<std::size_t>(address)].comment = Cp1251ToUtf8(line.substr(4));
  }
  EXPECT_EQ(at, bytes.size()) << "exactly 255 lines";
  return rows;
}

class ShippedMicroProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto file = tools::ReadWholeFile(VESK_MICROPROGRAM_FILE);
    ASSERT_TRUE(file);
    bytes = *file;
    rows = ReadRows(bytes);
  }
  std::string bytes;
  std::vector<Row> rows;
};

TEST_F(ShippedMicroProgram, IsWindows1251WithCrLfAndLoadsWithoutWarnings) {
  bool multiByte = false;
  EXPECT_FALSE(IsValidUtf8(bytes, &multiByte) && multiByte) << "the file is windows-1251, not UTF-8";
  EXPECT_NE(bytes.find('\xD1'), std::string::npos) << "Cyrillic comments as windows-1251 bytes";
  MicroMemory memory;
  const FileResult loaded = LoadMicroProgram(memory, VESK_MICROPROGRAM_FILE);
  ASSERT_TRUE(loaded.ok) << loaded.error;
  EXPECT_TRUE(loaded.warnings.empty());
  EXPECT_EQ(loaded.lines, 255);
  EXPECT_EQ(memory.Comment(0x01), "СК -> БР");
}

TEST_F(ShippedMicroProgram, EveryUsedWordHasAShortRussianCommentAndEveryOtherLineIsEmpty) {
  int used = 0;
  for (int address = 1; address <= 255; ++address) {
    const Row& row = rows[static_cast<std::size_t>(address)];
    if (!row.used()) {
      EXPECT_EQ(row.word, 0) << "address " << address << ": a word without a comment";
      continue;
    }
    ++used;
    EXPECT_LE(Utf8ToCp1251(row.comment).bytes.size(), 60u) << "address " << address << ": keep it short";
    bool cyrillic = false;
    for (const unsigned char c : Utf8ToCp1251(row.comment).bytes) cyrillic = cyrillic || c >= 0xC0;
    EXPECT_TRUE(cyrillic) << "address " << address << ": " << row.comment;
  }
  EXPECT_GT(used, 100);
}

// The successors of a micro-command: a control micro-command jumps to its
// target and, unless it tests РС.3 against 0, may fall through; every other
// one falls through.
std::vector<int> Successors(int address, std::uint16_t word) {
  if (word & 0x8000) {
    const int target = word & 0xFF;
    const bool always = (word & 0x7F00) == 0x0300;  // РС (code 0), bit 3, against 0
    if (always) return {target};
    return {target, address + 1};
  }
  return {address + 1};
}

TEST_F(ShippedMicroProgram, ControlNeverReachesAnEmptyCellAndEveryWordIsReachable) {
  std::set<int> reached;
  std::vector<int> work = {0x01};
  while (!work.empty()) {
    const int address = work.back();
    work.pop_back();
    if (!reached.insert(address).second) continue;
    ASSERT_GE(address, 1) << "a jump to 00";
    ASSERT_LE(address, 255) << "running past FF";
    const Row& row = rows[static_cast<std::size_t>(address)];
    ASSERT_TRUE(row.used()) << "control reaches the empty cell " << address;
    for (const int next : Successors(address, row.word)) work.push_back(next);
  }
  for (int address = 1; address <= 255; ++address) {
    if (rows[static_cast<std::size_t>(address)].used()) {
      EXPECT_TRUE(reached.count(address)) << "address " << address << " is never reached";
    }
  }
}

TEST_F(ShippedMicroProgram, EveryCommandReturnsToTheBoundary) {
  // From every micro-command some path leads back to 01: no micro-loop can
  // hold the machine inside one command.
  std::set<int> leadsHome = {0x01};
  for (bool grew = true; grew;) {
    grew = false;
    for (int address = 1; address <= 255; ++address) {
      const Row& row = rows[static_cast<std::size_t>(address)];
      if (!row.used() || leadsHome.count(address)) continue;
      for (const int next : Successors(address, row.word))
        if (leadsHome.count(next)) {
          leadsHome.insert(address);
          grew = true;
          break;
        }
    }
  }
  for (int address = 1; address <= 255; ++address) {
    if (rows[static_cast<std::size_t>(address)].used()) {
      EXPECT_TRUE(leadsHome.count(address)) << "address " << address;
    }
  }
}

TEST(ShippedFiles, TheMicroProgramAndCfgIniLieBesideTheExecutables) {
  const std::string dir = ProgramDirectory();
  const auto shipped = tools::ReadWholeFile(dir + "/vesk.mpdmp");
  const auto source = tools::ReadWholeFile(VESK_MICROPROGRAM_FILE);
  ASSERT_TRUE(shipped) << dir << "/vesk.mpdmp";
  ASSERT_TRUE(source);
  EXPECT_EQ(tools::FirstDifference(*source, *shipped), "") << dir << "/vesk.mpdmp is not the shipped file";
  const std::string settings = SettingsPath(dir);
  const std::string named = ReadIni(settings, "General", "Microprogram", "");
  EXPECT_EQ(named, "vesk.mpdmp");
  // Relative to the program's directory it names the shipped file.
  EXPECT_TRUE(tools::ReadWholeFile(dir + "/" + named));
  const auto ini = tools::ReadWholeFile(settings);
  ASSERT_TRUE(ini);
  EXPECT_NE(ini->find("\r\n"), std::string::npos);
  EXPECT_EQ(ini->find("\n"), ini->find("\r\n") + 1) << "CR LF line ends";
}

}  // namespace
}  // namespace vesk::testing
