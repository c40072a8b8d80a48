#include "memory/dump_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "format/bit_string.h"
#include "support/temp_dir.h"
#include "core/processor.h"
#include "trace/command_trace.h"
#include "util/machine_error.h"

using namespace vesk;
using vesk::testing::ReadBytes;
using vesk::testing::RunningAsRoot;
using vesk::testing::TempDir;
using vesk::testing::WriteBytes;

namespace {

Word Hex(const char* h) { return FitWidth(HexToBin(h), 16); }

// A memory whose every row differs from a cleared one, so that any row a
// load touches or misses shows.
MainMemory Marked() {
  MainMemory m;
  for (int a = 0; a < MainMemory::kWords; ++a)
    m.SetRow(a, NumToBits(static_cast<std::uint32_t>(0xA000 + a), 16), "was " + std::to_string(a));
  return m;
}

bool Unchanged(const MainMemory& m, int a) {
  return m.Value(a) == NumToBits(static_cast<std::uint32_t>(0xA000 + a), 16) && m.Comment(a) == "was " + std::to_string(a);
}

int CountUnchanged(const MainMemory& m) {
  int n = 0;
  for (int a = 0; a < MainMemory::kWords; ++a) n += Unchanged(m, a) ? 1 : 0;
  return n;
}

std::string Repeat(const std::string& line, int times) {
  std::string s;
  for (int i = 0; i < times; ++i) s += line;
  return s;
}

}  // namespace

TEST(DumpSave, AfterStartUpIs2048LinesOfZeros) {
  TempDir dir;
  MainMemory m;
  const FileResult r = Mem_SaveDump(m, dir / "m.vdmp");
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.lines, 2048);
  EXPECT_EQ(ReadBytes(dir / "m.vdmp"), Repeat("0000\r\n", 2048));
}

TEST(DumpSave, WordsInUpperCaseHexThenCommentsInWindows1251) {
  TempDir dir;
  MainMemory m;
  m.SetRow(0, Hex("F000"), "stop here");
  m.SetRow(1, Hex("00FF"), "Сумма");
  m.SetRow(0x7FF, Hex("ABCD"), "");
  ASSERT_TRUE(Mem_SaveDump(m, dir / "m.vdmp").ok);
  const std::string bytes = ReadBytes(dir / "m.vdmp");
  EXPECT_EQ(bytes.substr(0, 32), "F000stop here\r\n00FF\xD1\xF3\xEC\xEC\xE0\r\n0000\r\n");
  EXPECT_EQ(bytes.substr(bytes.size() - 12), "0000\r\nABCD\r\n");
  EXPECT_EQ(bytes.size(), 2048u * 6 + 9 + 5);
  EXPECT_EQ(m.Selected(), -1);
}

TEST(DumpLoad, OneLineSetsAddressZeroAndLeavesTheRest) {
  TempDir dir;
  WriteBytes(dir / "one.vdmp", "0001");
  MainMemory m = Marked();
  const FileResult r = Mem_LoadDump(m, dir / "one.vdmp");
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_TRUE(r.warnings.empty());
  EXPECT_EQ(r.lines, 1);
  EXPECT_EQ(m.Value(0), Hex("0001"));
  EXPECT_EQ(m.Comment(0), "");
  EXPECT_EQ(CountUnchanged(m), 2047);
  EXPECT_TRUE(Unchanged(m, 1));
}

TEST(DumpLoad, LowerCaseDigitsAreUpperCased) {
  TempDir dir;
  WriteBytes(dir / "m.vdmp", "00ff\r\nabCD tail\r\n");
  MainMemory m;
  const FileResult r = Mem_LoadDump(m, dir / "m.vdmp");
  ASSERT_TRUE(r.ok);
  EXPECT_TRUE(r.warnings.empty());
  EXPECT_EQ(m.HexText(0), "00FF");
  EXPECT_EQ(m.Value(1), Hex("ABCD"));
  EXPECT_EQ(m.Comment(1), " tail");
}

TEST(DumpLoad, DoesNotSelectOrReportToTheTrace) {
  TempDir dir;
  WriteBytes(dir / "m.vdmp", "1234\r\n5678\r\n");
  MainMemory m;
  Processor cpu;
  CommandTrace trace(cpu);
  m.setCommandTrace(&trace);
  m.Mem_ReadMem("010");
  ASSERT_TRUE(Mem_LoadDump(m, dir / "m.vdmp").ok);
  EXPECT_EQ(m.Selected(), 0x10);
  EXPECT_EQ(trace.EFFECT_ADDR(), "");
  EXPECT_EQ(trace.EFFECT_VAL(), "");
}

TEST(DumpFile, RoundTripOfWordsAndComments) {
  TempDir dir;
  MainMemory m;
  m.SetRow(0, Hex("FFFF"), "");
  m.SetRow(1, Hex("0001"), "ABCD starts like a word");
  m.SetRow(2, Hex("8000"), "12");
  m.SetRow(3, Hex("7FFF"), "  blanks kept  ");
  m.SetRow(4, Hex("1234"), "Сумма: Ёж №5 — «да»");
  m.SetRow(5, Hex("0F0F"), std::string("nul\0inside", 10));
  m.SetRow(0x7FF, Hex("CAFE"), "last");
  ASSERT_TRUE(Mem_SaveDump(m, dir / "m.vdmp").ok);

  MainMemory back = Marked();
  const FileResult r = Mem_LoadDump(back, dir / "m.vdmp");
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_TRUE(r.warnings.empty());
  EXPECT_EQ(r.lines, 2048);
  for (int a = 0; a < MainMemory::kWords; ++a) {
    EXPECT_EQ(back.Value(a), m.Value(a)) << a;
    EXPECT_EQ(back.Comment(a), m.Comment(a)) << a;
  }
  EXPECT_EQ(back.Comment(5).size(), 10u);
}

TEST(DumpFile, CommentsWhoseBytesLookLikeUtf8StillRoundTrip) {
  TempDir dir;
  MainMemory m;
  m.SetRow(0, Hex("0001"), "Ы»");  // DB BB in windows-1251 is also a UTF-8 character
  ASSERT_TRUE(Mem_SaveDump(m, dir / "m.vdmp").ok);
  MainMemory back;
  ASSERT_TRUE(Mem_LoadDump(back, dir / "m.vdmp").ok);
  EXPECT_EQ(back.Comment(0), "Ы»");
}

TEST(DumpLoad, EveryLineEndAndAFinalLineWithoutOne) {
  TempDir dir;
  for (const std::string& text : {std::string("0001a\n0002b\n0003c"), std::string("0001a\r0002b\r0003c\r"),
                                  std::string("0001a\r\n0002b\n0003c\r")}) {
    WriteBytes(dir / "m.vdmp", text);
    MainMemory m = Marked();
    const FileResult r = Mem_LoadDump(m, dir / "m.vdmp");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.lines, 3);
    EXPECT_EQ(m.Value(2), Hex("0003"));
    EXPECT_EQ(m.Comment(0), "a");
    EXPECT_EQ(m.Comment(2), "c");
    EXPECT_TRUE(Unchanged(m, 3));
  }
}

TEST(DumpLoad, NulBytesStayInComments) {
  TempDir dir;
  WriteBytes(dir / "m.vdmp", std::string("0001a\0b\r\n", 9));
  MainMemory m;
  ASSERT_TRUE(Mem_LoadDump(m, dir / "m.vdmp").ok);
  EXPECT_EQ(m.Comment(0), std::string("a\0b", 3));
}

TEST(DumpLoad, ATenMegabyteComment) {
  TempDir dir;
  std::string text = "7FFF";
  text.append(10u << 20, 'z');
  text += "\r\n0002";
  WriteBytes(dir / "m.vdmp", text);
  MainMemory m;
  const FileResult r = Mem_LoadDump(m, dir / "m.vdmp");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(m.Value(0), Hex("7FFF"));
  EXPECT_EQ(m.Comment(0).size(), 10u << 20);
  EXPECT_EQ(m.Value(1), Hex("0002"));
}

TEST(DumpLoad, LinesAfter2048AreIgnoredWithAWarning) {
  TempDir dir;
  std::string text;
  for (int i = 0; i < 2100; ++i) text += (i < 2048 ? "0001" : "FFFF") + std::string("\r\n");
  WriteBytes(dir / "m.vdmp", text);
  MainMemory m;
  const FileResult r = Mem_LoadDump(m, dir / "m.vdmp");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.lines, 2048);
  ASSERT_EQ(r.warnings.size(), 1u);
  EXPECT_EQ(r.warnings[0], "Строк в файле: 2100; прочитаны первые 2048, остальные (52) пропущены");
  EXPECT_EQ(m.Value(0x7FF), Hex("0001"));
}

TEST(DumpLoad, ShortOrNonHexLinesLoadTheirDigitsWithAWarning) {
  TempDir dir;
  WriteBytes(dir / "m.vdmp", "12\r\nzz1Gcomment\r\n\r\n1234ok\r\n\x01 9\r\n");
  MainMemory m = Marked();
  const FileResult r = Mem_LoadDump(m, dir / "m.vdmp");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.lines, 5);
  EXPECT_EQ(m.Value(0), Hex("0012"));
  EXPECT_EQ(m.Comment(0), "");
  EXPECT_EQ(m.Value(1), Hex("0001"));  // only the '1' of "ZZ1G" is a digit
  EXPECT_EQ(m.Comment(1), "comment");
  EXPECT_EQ(m.Value(2), Hex("0000"));
  EXPECT_EQ(m.Value(3), Hex("1234"));
  EXPECT_EQ(m.Value(4), Hex("0009"));
  EXPECT_EQ(r.warnings, (std::vector<std::string>{
                            "Строка 1: '12' - не шестнадцатеричное слово; записано 0012",
                            "Строка 2: 'zz1G' - не шестнадцатеричное слово; записано 0001",
                            "Строка 3: '' - не шестнадцатеричное слово; записано 0000",
                            "Строка 5: '? 9' - не шестнадцатеричное слово; записано 0009",
                        }));
}

TEST(DumpLoad, Utf8FileWithCyrillicLoads) {
  TempDir dir;
  WriteBytes(dir / "m.vdmp", "\xEF\xBB\xBF" "0100Начало\r\n0200Сумма «итог»\r\n");
  MainMemory m;
  const FileResult r = Mem_LoadDump(m, dir / "m.vdmp");
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(m.Value(0), Hex("0100"));
  EXPECT_EQ(m.Comment(0), "Начало");
  EXPECT_EQ(m.Comment(1), "Сумма «итог»");
}

TEST(DumpLoad, FailuresSayWhyAndChangeNothing) {
  TempDir dir;
  WriteBytes(dir / "utf8.vdmp", "\xEF\xBB\xBF" "0001first\r\n0002СК → РА\r\n");
  ::mkdir((dir / "folder.vdmp").c_str(), 0700);
  struct Case {
    std::string path;
    std::string error;
  };
  const Case cases[] = {
      {dir / "missing.vdmp", "Не удаётся открыть '" + (dir / "missing.vdmp") + "': нет такого файла или каталога"},
      {dir / "folder.vdmp", "Не удаётся открыть '" + (dir / "folder.vdmp") + "': это каталог"},
      {dir / "utf8.vdmp", "Не удаётся прочитать '" + (dir / "utf8.vdmp") +
                              "': в строке 2 есть символ '→' (U+2192), которого нет в windows-1251"},
  };
  for (const Case& c : cases) {
    MainMemory m = Marked();
    const FileResult r = Mem_LoadDump(m, c.path);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, c.error);
    EXPECT_EQ(r.lines, 0);
    EXPECT_EQ(CountUnchanged(m), MainMemory::kWords) << c.path;  // line 1 was fine, and still not applied
  }
}

TEST(DumpLoad, NoReadPermission) {
  if (RunningAsRoot()) GTEST_SKIP() << "root reads files whatever their permissions";
  TempDir dir;
  WriteBytes(dir / "m.vdmp", "0001\r\n");
  ::chmod((dir / "m.vdmp").c_str(), 0);
  MainMemory m = Marked();
  const FileResult r = Mem_LoadDump(m, dir / "m.vdmp");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.error, "Не удаётся открыть '" + (dir / "m.vdmp") + "': нет прав доступа");
  EXPECT_EQ(CountUnchanged(m), MainMemory::kWords);
}

TEST(DumpSave, CommentsThatCannotBeWrittenNeverReachMemorySoSavesStayExact) {
  TempDir dir;
  const std::string path = dir / "m.vdmp";
  MainMemory m;
  // Memory refuses such comments where they enter, naming the character.
  try {
    m.SetRow(0x1A, Hex("0001"), "СК → РА");
    FAIL() << "a comment windows-1251 cannot hold was stored";
  } catch (const MachineError& e) {
    EXPECT_NE(std::string(e.what()).find("'→' (U+2192)"), std::string::npos) << e.what();
  }
  EXPECT_THROW(m.SetRow(0x1A, Hex("0001"), "two\nlines"), MachineError);
  EXPECT_THROW(m.SetComment(0x1A, "cr\ronly"), MachineError);
  EXPECT_EQ(m.Comment(0x1A), "");
  m.SetRow(0x1A, Hex("0001"), "СК -> РА");
  ASSERT_TRUE(Mem_SaveDump(m, path).ok);
  MainMemory back;
  ASSERT_TRUE(Mem_LoadDump(back, path).ok);
  EXPECT_EQ(back.Comment(0x1A), "СК -> РА");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"m.vdmp"});
}

TEST(DumpSave, UnwritableFolderKeepsTheOldFile) {
  if (RunningAsRoot()) GTEST_SKIP() << "root writes into any folder";
  TempDir dir;
  WriteBytes(dir / "m.vdmp", "old\r\n");
  ::chmod(dir.path().c_str(), 0500);
  const FileResult r = Mem_SaveDump(MainMemory(), dir / "m.vdmp");
  ::chmod(dir.path().c_str(), 0700);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("нет прав доступа"), std::string::npos) << r.error;
  EXPECT_EQ(ReadBytes(dir / "m.vdmp"), "old\r\n");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"m.vdmp"});
}

TEST(DumpSave, MissingFolderIsAClearError) {
  TempDir dir;
  const FileResult r = Mem_SaveDump(MainMemory(), dir / "nowhere/m.vdmp");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.lines, 0);
  EXPECT_NE(r.error.find("нет такого файла или каталога"), std::string::npos) << r.error;
}

// Every file is windows-1251 unless it starts with the UTF-8 mark, and every
// save writes windows-1251: a comment's bytes come back as they were, even
// those that look like UTF-8 ("РёС‚" is d0 b8 d1 82, "ит" in UTF-8) and those
// that would be a character windows-1251 lacks (d1 a0 is U+0460 in UTF-8).
// CR and LF end a line, so a comment cannot hold them; every other byte,
// NUL included, round-trips.
TEST(DumpFile, LoadThenSaveGivesBackEveryWindows1251Byte) {
  TempDir dir;
  std::string all;
  for (int b = 0; b < 256; ++b)
    if (b != '\r' && b != '\n') all.push_back(static_cast<char>(b));
  std::string file;
  for (int a = 0; a < MainMemory::kWords; ++a) {
    file += std::string("0") + "0123456789ABCDEF"[a % 16] + "00";
    // Each line holds every byte, starting at a different one, so that every
    // pair of neighbours shows up somewhere.
    const std::size_t shift = static_cast<std::size_t>(a) % all.size();
    file += all.substr(shift) + all.substr(0, shift);
    file += "\r\n";
  }
  WriteBytes(dir / "in.vdmp", file);
  MainMemory m;
  const FileResult loaded = Mem_LoadDump(m, dir / "in.vdmp");
  ASSERT_TRUE(loaded.ok) << loaded.error;
  EXPECT_TRUE(loaded.warnings.empty());
  ASSERT_TRUE(Mem_SaveDump(m, dir / "out.vdmp").ok);
  EXPECT_TRUE(ReadBytes(dir / "out.vdmp") == file) << "the saved file differs from the loaded one";

  WriteBytes(dir / "looks.vdmp", "0001\xD0\xB8\xD1\x82\n0002\xD1\xA0\n");
  MainMemory looks;
  const FileResult r = Mem_LoadDump(looks, dir / "looks.vdmp");
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(looks.Comment(0), "РёС‚");
  EXPECT_EQ(looks.Comment(1), "С\u00A0");
  ASSERT_TRUE(Mem_SaveDump(looks, dir / "looks.vdmp").ok);
  EXPECT_EQ(ReadBytes(dir / "looks.vdmp").substr(0, 18), "0001\xD0\xB8\xD1\x82\r\n0002\xD1\xA0\r\n");
}
