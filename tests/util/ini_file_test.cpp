#include "util/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "support/temp_dir.h"
#include "util/cp1251.h"

using namespace vesk;
using vesk::testing::ReadBytes;
using vesk::testing::RunningAsRoot;
using vesk::testing::TempDir;
using vesk::testing::WriteBytes;

namespace {

const std::string kSample =
    "; Vesk settings\r\n"
    "[General]\r\n"
    "Mode=1\r\n"
    "  Interval1 =  35  \r\n"
    "Microprogram=C:\\Vesk\\base.mpdmp\r\n"
    "\r\n"
    "[Windows]\r\n"
    "MDIMainLeft=1200\n"       // a line end written by another editor
    "MemTop=\xCF\xF0\xE8\r\n"  // "При" in windows-1251
    "no equals sign here\r\n"
    "[Empty]";  // last line without a line end

ino_t Inode(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_ino;
}

}  // namespace

TEST(ReadIni, DefaultsForMissingFileSectionAndKey) {
  TempDir dir;
  EXPECT_EQ(ReadIni(dir / "cfg.ini", "General", "Mode", "2"), "2");
  WriteBytes(dir / "cfg.ini", kSample);
  EXPECT_EQ(ReadIni(dir / "cfg.ini", "Nowhere", "Mode", "2"), "2");
  EXPECT_EQ(ReadIni(dir / "cfg.ini", "General", "Interval2", "100"), "100");
  EXPECT_EQ(ReadIni(dir / "cfg.ini", "Empty", "Mode", "d"), "d");
  EXPECT_EQ(ReadIni(dir / "cfg.ini", "General", "", "d"), "d");
  EXPECT_EQ(ReadIni(dir / "cfg.ini", "", "Mode", "d"), "d");
  // A line without '=' is no key, and a key of one section is not found in another.
  EXPECT_EQ(ReadIni(dir / "cfg.ini", "Windows", "no equals sign here", "d"), "d");
  EXPECT_EQ(ReadIni(dir / "cfg.ini", "Windows", "Mode", "d"), "d");
  // A directory where the file should be behaves as a missing file.
  EXPECT_EQ(ReadIni(dir.path(), "General", "Mode", "2"), "2");
}

TEST(ReadIni, ValuesTrimmedAndConvertedFromWindows1251) {
  TempDir dir;
  WriteBytes(dir / "cfg.ini", kSample);
  EXPECT_EQ(ReadIni(dir / "cfg.ini", "General", "Mode", "2"), "1");
  EXPECT_EQ(ReadIni(dir / "cfg.ini", "General", "Interval1", "20"), "35");
  EXPECT_EQ(ReadIni(dir / "cfg.ini", "General", "Microprogram", ""), "C:\\Vesk\\base.mpdmp");
  EXPECT_EQ(ReadIni(dir / "cfg.ini", "Windows", "MDIMainLeft", "0"), "1200");
  EXPECT_EQ(ReadIni(dir / "cfg.ini", "Windows", "MemTop", "0"), "При");
}

TEST(ReadIni, SectionAndKeyNamesIgnoreAsciiCase) {
  TempDir dir;
  WriteBytes(dir / "cfg.ini", kSample);
  EXPECT_EQ(ReadIni(dir / "cfg.ini", "GENERAL", "mode", "2"), "1");
  EXPECT_EQ(ReadIni(dir / "cfg.ini", "windows", "MDIMAINLEFT", "0"), "1200");
  EXPECT_EQ(ReadIni(dir / "cfg.ini", " General ", " Mode ", "2"), "1");
}

TEST(ReadIni, FirstKeyFoundWinsAcrossRepeatedSections) {
  TempDir dir;
  WriteBytes(dir / "cfg.ini", "[A]\r\nx=1\r\nx=2\r\n[B]\r\ny=3\r\n[a]\r\nx=4\r\nz=5\r\n");
  EXPECT_EQ(ReadIni(dir / "cfg.ini", "A", "x", ""), "1");
  EXPECT_EQ(ReadIni(dir / "cfg.ini", "A", "z", ""), "5");
  EXPECT_EQ(ReadIni(dir / "cfg.ini", "B", "z", "none"), "none");
}

TEST(ReadIni, AValueIsCutTo254CharactersOfTheFile) {
  TempDir dir;
  std::string value;
  for (int i = 0; i < 300; ++i) value.push_back(static_cast<char>('a' + i % 26));
  WriteBytes(dir / "cfg.ini", "[General]\r\nMicroprogram=" + value + "\r\n");
  EXPECT_EQ(ReadIni(dir / "cfg.ini", "General", "Microprogram", ""), value.substr(0, 254));

  // Cyrillic letters are one byte each in the file: 254 of them, not 127.
  WriteBytes(dir / "cfg.ini", "[General]\r\nMicroprogram=" + std::string(300, '\xC6') + "\r\n");
  std::string zhe;
  for (int i = 0; i < 254; ++i) zhe += "Ж";
  EXPECT_EQ(ReadIni(dir / "cfg.ini", "General", "Microprogram", ""), zhe);
}

TEST(ReadIni, Utf8FilesAreReadAndUnstorableOnesGiveDefaults) {
  TempDir dir;
  WriteBytes(dir / "cfg.ini", "\xEF\xBB\xBF" "[General]\nMicroprogram=/home/вася/base.mpdmp\n");
  EXPECT_EQ(ReadIni(dir / "cfg.ini", "General", "Microprogram", ""), "/home/вася/base.mpdmp");
  WriteBytes(dir / "cfg.ini", "\xEF\xBB\xBF" "[General]\nMode=1\nMicroprogram=/home/陈/base.mpdmp\n");
  EXPECT_EQ(ReadIni(dir / "cfg.ini", "General", "Mode", "2"), "2");
  // Without the mark the file is windows-1251, whatever its bytes look like.
  WriteBytes(dir / "cfg.ini", "[General]\nMicroprogram=/home/вася\n");
  EXPECT_EQ(ReadIni(dir / "cfg.ini", "General", "Microprogram", ""), Cp1251ToUtf8("/home/вася"));
}

TEST(ReadIni, NoReadPermissionGivesTheDefault) {
  if (RunningAsRoot()) GTEST_SKIP() << "root reads files whatever their permissions";
  TempDir dir;
  WriteBytes(dir / "cfg.ini", kSample);
  ::chmod((dir / "cfg.ini").c_str(), 0);
  EXPECT_EQ(ReadIni(dir / "cfg.ini", "General", "Mode", "2"), "2");
}

TEST(WriteIni, CreatesFileSectionAndKey) {
  TempDir dir;
  const std::string path = dir / "cfg.ini";
  ASSERT_TRUE(WriteIni(path, "General", "Interval1", "20"));
  EXPECT_EQ(ReadBytes(path), "[General]\r\nInterval1=20\r\n");
  ASSERT_TRUE(WriteIni(path, "General", "Interval2", "100"));
  ASSERT_TRUE(WriteIni(path, "Windows", "MemLeft", "15"));
  EXPECT_EQ(ReadBytes(path), "[General]\r\nInterval1=20\r\nInterval2=100\r\n\r\n[Windows]\r\nMemLeft=15\r\n");
  EXPECT_EQ(ReadIni(path, "Windows", "MemLeft", "0"), "15");
}

TEST(WriteIni, ReplacingAValueKeepsEveryOtherLineByteForByte) {
  TempDir dir;
  const std::string path = dir / "cfg.ini";
  WriteBytes(path, kSample);
  ASSERT_TRUE(WriteIni(path, "general", "INTERVAL1", "40"));
  std::string expected = kSample;
  expected.replace(expected.find("  Interval1 =  35  "), 19, "  Interval1 =  40");
  EXPECT_EQ(ReadBytes(path), expected);

  ASSERT_TRUE(WriteIni(path, "Windows", "MDIMainLeft", "0"));
  expected.replace(expected.find("MDIMainLeft=1200\n"), 17, "MDIMainLeft=0\n");
  EXPECT_EQ(ReadBytes(path), expected);
}

TEST(WriteIni, NewKeysGoAtTheEndOfTheirSection) {
  TempDir dir;
  const std::string path = dir / "cfg.ini";
  WriteBytes(path, kSample);
  ASSERT_TRUE(WriteIni(path, "General", "Interval2", "100"));
  ASSERT_TRUE(WriteIni(path, "Empty", "k", "v"));
  std::string expected = kSample;
  expected.insert(expected.find("\r\n[Windows]"), "Interval2=100\r\n");
  expected += "\r\nk=v\r\n";
  EXPECT_EQ(ReadBytes(path), expected);
  EXPECT_EQ(ReadIni(path, "General", "Interval2", ""), "100");
  EXPECT_EQ(ReadIni(path, "Empty", "k", ""), "v");
}

TEST(WriteIni, LineBreaksInAValueBecomeSpaces) {
  TempDir dir;
  const std::string path = dir / "cfg.ini";
  ASSERT_TRUE(WriteIni(path, "General", "Microprogram", "a\r\nb\nc\rd"));
  EXPECT_EQ(ReadBytes(path), "[General]\r\nMicroprogram=a  b c d\r\n");
  EXPECT_EQ(ReadIni(path, "General", "Microprogram", ""), "a  b c d");
}

TEST(WriteIni, CyrillicIsWrittenInWindows1251) {
  TempDir dir;
  const std::string path = dir / "cfg.ini";
  ASSERT_TRUE(WriteIni(path, "General", "Microprogram", "/home/вася/база.mpdmp"));
  EXPECT_EQ(ReadBytes(path), "[General]\r\nMicroprogram=/home/\xE2\xE0\xF1\xFF/\xE1\xE0\xE7\xE0.mpdmp\r\n");
  EXPECT_EQ(ReadIni(path, "General", "Microprogram", ""), "/home/вася/база.mpdmp");
}

TEST(WriteIni, Utf8FileIsRewrittenInWindows1251) {
  TempDir dir;
  const std::string path = dir / "cfg.ini";
  WriteBytes(path, "\xEF\xBB\xBF" "; настройки\n[General]\nMode=1\n");
  ASSERT_TRUE(WriteIni(path, "General", "Mode", "2"));
  EXPECT_EQ(ReadBytes(path), "; \xED\xE0\xF1\xF2\xF0\xEE\xE9\xEA\xE8\n[General]\nMode=2\n");
}

TEST(WriteIni, RefusalsLeaveTheFileUntouched) {
  TempDir dir;
  const std::string path = dir / "cfg.ini";
  WriteBytes(path, kSample);
  std::string error;
  EXPECT_FALSE(WriteIni(path, "General", "Microprogram", "/home/陈", &error));
  EXPECT_EQ(error, "Не удаётся записать 'Microprogram' в [General] файла '" + path +
                       "': в значении есть символ '陈' (U+9648), которого нет в windows-1251");
  EXPECT_FALSE(WriteIni(path, "Gen]eral", "Mode", "1", &error));
  EXPECT_EQ(error, "Не удаётся записать 'Mode' в [Gen]eral] файла '" + path + "': такое имя раздела недопустимо");
  EXPECT_FALSE(WriteIni(path, "General", "Mo=de", "1"));
  EXPECT_FALSE(WriteIni(path, "General", ";Mode", "1"));
  EXPECT_FALSE(WriteIni(path, "General", "[Mode", "1"));
  EXPECT_FALSE(WriteIni(path, "General", "  ", "1"));
  EXPECT_FALSE(WriteIni(path, "", "Mode", "1"));
  EXPECT_FALSE(WriteIni(path, "General", "Mo\nde", "1"));
  EXPECT_EQ(ReadBytes(path), kSample);

  // A UTF-8 file holding a character windows-1251 cannot store is not rewritten.
  WriteBytes(path, "\xEF\xBB\xBF" "[General]\nMicroprogram=/home/陈\n");
  EXPECT_FALSE(WriteIni(path, "General", "Mode", "1", &error));
  EXPECT_EQ(error, "Не удаётся прочитать '" + path + "': в строке 2 есть символ '陈' (U+9648), которого нет в windows-1251");
  EXPECT_EQ(ReadBytes(path), "\xEF\xBB\xBF" "[General]\nMicroprogram=/home/陈\n");

  EXPECT_FALSE(WriteIni(dir / "missing/cfg.ini", "General", "Mode", "1", &error));
  EXPECT_NE(error.find("нет такого файла или каталога"), std::string::npos) << error;
}

TEST(WriteIni, AnUnreadableFileIsNotOverwritten) {
  if (RunningAsRoot()) GTEST_SKIP() << "root reads files whatever their permissions";
  TempDir dir;
  const std::string path = dir / "cfg.ini";
  WriteBytes(path, kSample);
  ::chmod(path.c_str(), 0);
  EXPECT_FALSE(WriteIni(path, "General", "Mode", "1"));
  ::chmod(path.c_str(), 0600);
  EXPECT_EQ(ReadBytes(path), kSample);
}

TEST(WriteIni, WritingTheSameValueAgainLeavesTheFileAlone) {
  TempDir dir;
  const std::string path = dir / "cfg.ini";
  ASSERT_TRUE(WriteIni(path, "Windows", "MemTop", "30"));
  const ino_t before = Inode(path);
  ASSERT_TRUE(WriteIni(path, "windows", "memtop", "30"));
  EXPECT_EQ(Inode(path), before);
  ASSERT_TRUE(WriteIni(path, "Windows", "MemTop", "45"));
  EXPECT_NE(Inode(path), before);  // a real change goes through a new file
}

TEST(SettingsPath, OneSeparatorBetweenFolderAndName) {
  EXPECT_EQ(SettingsPath("/opt/vesk"), "/opt/vesk/cfg.ini");
  EXPECT_EQ(SettingsPath("/opt/vesk/"), "/opt/vesk/cfg.ini");
  EXPECT_EQ(SettingsPath("/"), "/cfg.ini");
  EXPECT_EQ(SettingsPath("C:\\"), "C:\\cfg.ini");
  EXPECT_EQ(SettingsPath("C:\\Vesk\\"), "C:\\Vesk\\cfg.ini");
  EXPECT_EQ(SettingsPath("C:\\Vesk"), "C:\\Vesk/cfg.ini");
  EXPECT_EQ(SettingsPath(""), "cfg.ini");
}
