#include "memory/micro_program_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "format/bit_string.h"
#include "support/temp_dir.h"
#include "util/cp1251.h"
#include "util/machine_error.h"

using namespace vesk;
using vesk::testing::ReadBytes;
using vesk::testing::RunningAsRoot;
using vesk::testing::TempDir;
using vesk::testing::WriteBytes;

namespace {

Word Hex(const char* h) { return FitWidth(HexToBin(h), 16); }

struct Recorder : MicroMemoryListener {
  int rows = 0;
  int bulk = 0;
  int selections = 0;
  void microRowChanged(int) override { ++rows; }
  void microRowsChanged() override { ++bulk; }
  void microSelectionChanged(int) override { ++selections; }
};

Word MarkWord(int a) { return NumToBits(static_cast<std::uint32_t>(0xB000 + a), 16); }

MicroMemory Marked() {
  MicroMemory m;
  for (int a = 1; a <= MicroMemory::kWords; ++a) m.SetRow(a, MarkWord(a), "was " + std::to_string(a));
  return m;
}

bool Unchanged(const MicroMemory& m, int a) { return m.Value(a) == MarkWord(a) && m.Comment(a) == "was " + std::to_string(a); }

std::string Lines(int count, const std::string& line) {
  std::string s;
  for (int i = 0; i < count; ++i) s += line + "\r\n";
  return s;
}

}  // namespace

TEST(MicroProgramSave, AfterStartUpIs255LinesOfZeros) {
  TempDir dir;
  MicroMemory m;
  const FileResult r = SaveMicroProgram(m, dir / "mp.mpdmp");
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.lines, 255);
  EXPECT_EQ(ReadBytes(dir / "mp.mpdmp"), Lines(255, "0000"));
}

TEST(MicroProgramFile, RoundTripWithCyrillicCommentsInWindows1251) {
  TempDir dir;
  MicroMemory m;
  m.SetRow(1, Hex("0300"), "СК -> БР");
  m.SetRow(2, Hex("4001"), "1A starts like a word");
  m.SetRow(0xFF, Hex("C3FF"), " last ");
  ASSERT_TRUE(SaveMicroProgram(m, dir / "mp.mpdmp").ok);
  const std::string bytes = ReadBytes(dir / "mp.mpdmp");
  EXPECT_EQ(bytes.substr(0, 18), "0300\xD1\xCA -> \xC1\xD0\r\n4001");
  EXPECT_EQ(bytes.substr(bytes.size() - 12), "C3FF last \r\n");

  MicroMemory back = Marked();
  const FileResult r = LoadMicroProgram(back, dir / "mp.mpdmp");
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_TRUE(r.warnings.empty());
  EXPECT_EQ(r.lines, 255);
  for (int a = 1; a <= MicroMemory::kWords; ++a) {
    EXPECT_EQ(back.Value(a), m.Value(a)) << a;
    EXPECT_EQ(back.Comment(a), m.Comment(a)) << a;
  }
}

TEST(MicroProgramLoad, ThreeHundredLinesFillAll255AndIgnoreTheRest) {
  TempDir dir;
  std::string text;
  for (int k = 1; k <= 300; ++k) text += FitWidth(NumToHex(static_cast<std::uint32_t>(k)), 4).str() + "c\r\n";
  WriteBytes(dir / "mp.txt", text);
  MicroMemory m;
  const FileResult r = LoadMicroProgram(m, dir / "mp.txt");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.lines, 255);
  EXPECT_EQ(m.Value(1), Hex("0001"));
  EXPECT_EQ(m.Value(0xFF), Hex("00FF"));
  ASSERT_EQ(r.warnings.size(), 1u);
  EXPECT_EQ(r.warnings[0], "Строк в файле: 300; прочитаны первые 255, остальные (45) пропущены");
}

TEST(MicroProgramLoad, TenLinesChangeAddresses01To0AOnly) {
  TempDir dir;
  WriteBytes(dir / "mp.txt", Lines(10, "FFFFx"));
  MicroMemory m = Marked();
  const FileResult r = LoadMicroProgram(m, dir / "mp.txt");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.lines, 10);
  for (int a = 1; a <= 10; ++a) {
    EXPECT_EQ(m.Value(a), Hex("FFFF"));
    EXPECT_EQ(m.Comment(a), "x");
  }
  for (int a = 11; a <= MicroMemory::kWords; ++a) EXPECT_TRUE(Unchanged(m, a)) << a;
}

TEST(MicroProgramLoad, BlanksInTheWordFieldAreTrimmedAndPadded) {
  TempDir dir;
  WriteBytes(dir / "mp.txt", " 8A text\r\n1A  \r\n  1a\r\n    only comment\r\n1a2b\r\n");
  MicroMemory m;
  const FileResult r = LoadMicroProgram(m, dir / "mp.txt");
  ASSERT_TRUE(r.ok);
  EXPECT_TRUE(r.warnings.empty());
  EXPECT_EQ(m.Value(1), Hex("008A"));
  EXPECT_EQ(m.Comment(1), "text");
  EXPECT_EQ(m.Value(2), Hex("001A"));
  EXPECT_EQ(m.Comment(2), "");
  EXPECT_EQ(m.Value(3), Hex("001A"));
  EXPECT_EQ(m.Value(4), Hex("0000"));
  EXPECT_EQ(m.Comment(4), "only comment");
  EXPECT_EQ(m.Value(5), Hex("1A2B"));
}

TEST(MicroProgramLoad, KeysSelectionAndListenersAfterALoad) {
  TempDir dir;
  WriteBytes(dir / "mp.txt", Lines(7, "4001"));
  MicroMemory m;
  m.Micro_ReadMem("80");
  Recorder rec;
  m.listeners().add(&rec);
  ASSERT_TRUE(LoadMicroProgram(m, dir / "mp.txt").ok);
  EXPECT_EQ(m.Key(1), "new_cmd");
  EXPECT_EQ(m.Key(2), "curr_cmd_addr_to_ar");
  EXPECT_EQ(m.Key(6), "curr_cmd_in_cr");
  EXPECT_EQ(m.Key(7), "");
  EXPECT_EQ(m.Selected(), 0x80);
  EXPECT_EQ(rec.bulk, 1);
  EXPECT_EQ(rec.rows, 0);
  EXPECT_EQ(rec.selections, 0);
}

TEST(MicroProgramLoad, BadWordFieldsLoadTheirDigitsWithAWarning) {
  TempDir dir;
  WriteBytes(dir / "mp.txt", "1G2 x\r\n8A\r\n\r\n1 2 y\r\n");
  MicroMemory m = Marked();
  const FileResult r = LoadMicroProgram(m, dir / "mp.txt");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.lines, 4);
  EXPECT_EQ(m.Value(1), Hex("0012"));  // "01G2": the G gives nothing
  EXPECT_EQ(m.Comment(1), "x");
  EXPECT_EQ(m.Value(2), Hex("008A"));
  EXPECT_EQ(m.Value(3), Hex("0000"));
  EXPECT_EQ(m.Value(4), Hex("0012"));
  EXPECT_EQ(m.Comment(4), "y");
  EXPECT_EQ(r.warnings, (std::vector<std::string>{
                            "Строка 1: '1G2 ' - не шестнадцатеричное слово; записано 0012",
                            "Строка 2: '8A' - не шестнадцатеричное слово; записано 008A",
                            "Строка 3: '' - не шестнадцатеричное слово; записано 0000",
                            "Строка 4: '1 2 ' - не шестнадцатеричное слово; записано 0012",
                        }));
  EXPECT_TRUE(Unchanged(m, 5));
}

TEST(MicroProgramLoad, LineEndsNulBytesAndUtf8) {
  TempDir dir;
  WriteBytes(dir / "a.txt", std::string("0001a\n0002\0b\r0003", 18));
  MicroMemory m;
  ASSERT_TRUE(LoadMicroProgram(m, dir / "a.txt").ok);
  EXPECT_EQ(m.Comment(1), "a");
  EXPECT_EQ(m.Comment(2), std::string("\0b", 2));
  EXPECT_EQ(m.Value(3), Hex("0003"));

  WriteBytes(dir / "u.txt", "\xEF\xBB\xBF" "0300СК → БР\n");
  Recorder rec;
  m.listeners().add(&rec);
  const FileResult refused = LoadMicroProgram(m, dir / "u.txt");
  EXPECT_FALSE(refused.ok);
  EXPECT_EQ(refused.error, "Не удаётся прочитать '" + (dir / "u.txt") +
                               "': в строке 1 есть символ '→' (U+2192), которого нет в windows-1251");
  EXPECT_EQ(m.Value(1), Hex("0001"));
  EXPECT_EQ(rec.bulk, 0);

  WriteBytes(dir / "u.txt", "\xEF\xBB\xBF" "0300СК -> БР\n");
  ASSERT_TRUE(LoadMicroProgram(m, dir / "u.txt").ok);
  EXPECT_EQ(m.Comment(1), "СК -> БР");
  // Without the mark the same bytes are windows-1251 characters.
  WriteBytes(dir / "u.txt", "0300СК\n");
  ASSERT_TRUE(LoadMicroProgram(m, dir / "u.txt").ok);
  EXPECT_EQ(m.Comment(1), Cp1251ToUtf8("СК"));
}

TEST(MicroProgramLoad, MissingFileChangesNothingAndTellsNoListener) {
  TempDir dir;
  MicroMemory m = Marked();
  Recorder rec;
  m.listeners().add(&rec);
  const FileResult r = LoadMicroProgram(m, dir / "none.mpdmp");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.error, "Не удаётся открыть '" + (dir / "none.mpdmp") + "': нет такого файла или каталога");
  EXPECT_EQ(rec.bulk, 0);
  for (int a = 1; a <= MicroMemory::kWords; ++a) EXPECT_TRUE(Unchanged(m, a));
}

TEST(MicroProgramLoad, NoReadPermission) {
  if (RunningAsRoot()) GTEST_SKIP() << "root reads files whatever their permissions";
  TempDir dir;
  WriteBytes(dir / "mp.txt", "0001\r\n");
  ::chmod((dir / "mp.txt").c_str(), 0);
  MicroMemory m = Marked();
  const FileResult r = LoadMicroProgram(m, dir / "mp.txt");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.error, "Не удаётся открыть '" + (dir / "mp.txt") + "': нет прав доступа");
  EXPECT_TRUE(Unchanged(m, 1));
}

TEST(MicroProgramSave, ACommentThatCannotBeWrittenNeverReachesTheFile) {
  TempDir dir;
  WriteBytes(dir / "mp.mpdmp", "old\r\n");
  MicroMemory m;
  // Micro-memory refuses it where it enters; the file keeps what it had.
  EXPECT_THROW(m.SetComment(0xFF, "a\rb"), MachineError);
  EXPECT_THROW(m.SetComment(0xFF, "a → b"), MachineError);
  EXPECT_EQ(m.Comment(0xFF), "");
  EXPECT_EQ(ReadBytes(dir / "mp.mpdmp"), "old\r\n");
}

// As for the memory dump: every byte but CR and LF comes back as it was.
TEST(MicroProgramFile, LoadThenSaveGivesBackEveryWindows1251Byte) {
  TempDir dir;
  std::string all;
  for (int b = 0; b < 256; ++b)
    if (b != '\r' && b != '\n') all.push_back(static_cast<char>(b));
  std::string file;
  for (int a = 1; a <= MicroMemory::kWords; ++a) {
    file += "00" + MicroMemory::AddressText(a);
    const std::size_t shift = static_cast<std::size_t>(a) % all.size();
    file += all.substr(shift) + all.substr(0, shift) + "\r\n";
  }
  WriteBytes(dir / "in.mpdmp", file);
  MicroMemory m;
  const FileResult loaded = LoadMicroProgram(m, dir / "in.mpdmp");
  ASSERT_TRUE(loaded.ok) << loaded.error;
  ASSERT_TRUE(SaveMicroProgram(m, dir / "out.mpdmp").ok);
  EXPECT_TRUE(ReadBytes(dir / "out.mpdmp") == file) << "the saved file differs from the loaded one";
}
