#include "util/text_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

using namespace vesk;
using vesk::testing::ReadBytes;
using vesk::testing::RunningAsRoot;
using vesk::testing::TempDir;
using vesk::testing::WriteBytes;

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  for (const TextLine& l : SplitLines(text)) out.push_back(text.substr(l.begin, l.length));
  return out;
}

using Strings = std::vector<std::string>;

}  // namespace

TEST(SplitLines, AcceptsEveryLineEndAndAMix) {
  EXPECT_EQ(Lines("a\r\nb\r\n"), (Strings{"a", "b"}));
  EXPECT_EQ(Lines("a\nb\n"), (Strings{"a", "b"}));
  EXPECT_EQ(Lines("a\rb\r"), (Strings{"a", "b"}));
  EXPECT_EQ(Lines("a\r\nb\nc\rd"), (Strings{"a", "b", "c", "d"}));
  // CR CR LF is a line ended by CR, then an empty line ended by CR LF.
  EXPECT_EQ(Lines("a\r\r\nb"), (Strings{"a", "", "b"}));
  // LF CR is two line ends.
  EXPECT_EQ(Lines("a\n\rb"), (Strings{"a", "", "b"}));
}

TEST(SplitLines, FinalLineAndEmptyText) {
  EXPECT_EQ(Lines("only"), (Strings{"only"}));
  EXPECT_EQ(Lines(""), Strings{});
  EXPECT_EQ(Lines("\r\n"), (Strings{""}));
  EXPECT_EQ(Lines("\r\n\r\n"), (Strings{"", ""}));
  const auto lines = SplitLines("ab\r\ncd\ne");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].endLength, 2u);
  EXPECT_EQ(lines[1].endLength, 1u);
  EXPECT_EQ(lines[2].endLength, 0u);
  EXPECT_EQ(lines[2].begin, 7u);
}

TEST(SplitLines, NulBytesAreCharacters) {
  const std::string text("a\0b\r\n\0\n", 7);
  EXPECT_EQ(Lines(text), (Strings{std::string("a\0b", 3), std::string(1, '\0')}));
}

TEST(ReadFileBytes, MissingFileDirectoryAndFifoAreClearErrors) {
  TempDir dir;
  const FileBytes missing = ReadFileBytes(dir / "x.vdmp");
  EXPECT_FALSE(missing.ok);
  EXPECT_EQ(missing.error, "Не удаётся открыть '" + (dir / "x.vdmp") + "': нет такого файла или каталога");
  EXPECT_EQ(missing.errorNumber, ENOENT);

  const FileBytes folder = ReadFileBytes(dir.path());
  EXPECT_FALSE(folder.ok);
  EXPECT_EQ(folder.error, "Не удаётся открыть '" + dir.path() + "': это каталог");

  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
  const FileBytes fifo = ReadFileBytes(dir / "pipe");  // must not hang waiting for a writer
  EXPECT_FALSE(fifo.ok);
  EXPECT_EQ(fifo.error, "Не удаётся открыть '" + (dir / "pipe") + "': это не обычный файл");

  EXPECT_FALSE(ReadFileBytes("").ok);
}

TEST(ReadFileBytes, NoReadPermission) {
  if (RunningAsRoot()) GTEST_SKIP() << "root reads files whatever their permissions";
  TempDir dir;
  WriteBytes(dir / "locked.vdmp", "0001\r\n");
  ASSERT_EQ(::chmod((dir / "locked.vdmp").c_str(), 0), 0);
  const FileBytes r = ReadFileBytes(dir / "locked.vdmp");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.error, "Не удаётся открыть '" + (dir / "locked.vdmp") + "': нет прав доступа");
}

TEST(ReadFileBytes, ReadsEveryByte) {
  TempDir dir;
  std::string all;
  for (int i = 0; i < 3000; ++i) all.push_back(static_cast<char>(i * 7));
  WriteBytes(dir / "f", all);
  const FileBytes r = ReadFileBytes(dir / "f");
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.bytes, all);
  WriteBytes(dir / "empty", "");
  const FileBytes empty = ReadFileBytes(dir / "empty");
  EXPECT_TRUE(empty.ok);
  EXPECT_EQ(empty.bytes, "");
}

TEST(FileEncoding, Windows1251IsTakenAsItIs) {
  // "Сумма" in windows-1251: not valid UTF-8.
  const DecodedText d = FileTextToCp1251("0001\xD1\xF3\xEC\xEC\xE0\r\n");
  ASSERT_TRUE(d.ok);
  EXPECT_FALSE(d.wasUtf8);
  EXPECT_EQ(d.bytes, "0001\xD1\xF3\xEC\xEC\xE0\r\n");
  // Pure ASCII is both; nothing to convert.
  const DecodedText ascii = FileTextToCp1251("0001 ok\r\n");
  EXPECT_TRUE(ascii.ok);
  EXPECT_FALSE(ascii.wasUtf8);
}

// Bytes that happen to form UTF-8 are still windows-1251 without the mark:
// "РёС‚" is d0 b8 d1 82, which UTF-8 would read as "ит"; "С" and a no-break
// space (d1 a0) would be U+0460, a character windows-1251 does not have.
TEST(FileEncoding, BytesThatLookLikeUtf8AreWindows1251WithoutTheMark) {
  const DecodedText looksLikeUtf8 = FileTextToCp1251("0001\xD0\xB8\xD1\x82\r\n");
  ASSERT_TRUE(looksLikeUtf8.ok);
  EXPECT_FALSE(looksLikeUtf8.wasUtf8);
  EXPECT_EQ(looksLikeUtf8.bytes, "0001\xD0\xB8\xD1\x82\r\n");
  const DecodedText noBreak = FileTextToCp1251("0001\xD1\xA0\r\n");
  ASSERT_TRUE(noBreak.ok) << noBreak.error;
  EXPECT_EQ(noBreak.bytes, "0001\xD1\xA0\r\n");
}

TEST(FileEncoding, TheByteOrderMarkMakesAFileUtf8AndIsDropped) {
  const DecodedText d = FileTextToCp1251("\xEF\xBB\xBF" "0001Сумма\n0002ё\n");
  ASSERT_TRUE(d.ok) << d.error;
  EXPECT_TRUE(d.wasUtf8);
  EXPECT_EQ(d.bytes, "0001\xD1\xF3\xEC\xEC\xE0\n0002\xB8\n");
  const DecodedText markOnly = FileTextToCp1251("\xEF\xBB\xBF" "0001");
  ASSERT_TRUE(markOnly.ok);
  EXPECT_TRUE(markOnly.wasUtf8);
  EXPECT_EQ(markOnly.bytes, "0001");
  // Without the mark the same UTF-8 bytes are windows-1251 characters.
  const DecodedText unmarked = FileTextToCp1251("0001Ж");
  EXPECT_FALSE(unmarked.wasUtf8);
  EXPECT_EQ(unmarked.bytes, "0001\xD0\x96");
}

TEST(FileEncoding, Utf8CharacterTheCodePageCannotHoldFailsNamingLineAndCharacter) {
  const DecodedText d = FileTextToCp1251("\xEF\xBB\xBF" "0001a\r\n0002б\r0003СК → РА\n0004");
  EXPECT_FALSE(d.ok);
  EXPECT_EQ(d.error, "в строке 3 есть символ '→' (U+2192), которого нет в windows-1251");
  EXPECT_TRUE(d.bytes.empty());
  const DecodedText first = FileTextToCp1251("\xEF\xBB\xBF" "中");
  EXPECT_EQ(first.error, "в строке 1 есть символ '中' (U+4E2D), которого нет в windows-1251");
  const DecodedText broken = FileTextToCp1251("\xEF\xBB\xBF" "ok\n\xE0\n");
  EXPECT_EQ(broken.error, "в строке 2 есть байт 0xE0, не образующий текст UTF-8");
}

TEST(SaveTextFileAtomically, CreatesAndReplacesLeavingNoTemporaryFile) {
  TempDir dir;
  const std::string path = dir / "m.vdmp";
  ASSERT_EQ(SaveTextFileAtomically(path, "first\r\n"), "");
  EXPECT_EQ(ReadBytes(path), "first\r\n");
  ASSERT_EQ(SaveTextFileAtomically(path, std::string("se\0cond", 7)), "");
  EXPECT_EQ(ReadBytes(path), std::string("se\0cond", 7));
  EXPECT_EQ(dir.Entries(), Strings{"m.vdmp"});
  ASSERT_EQ(SaveTextFileAtomically(path, ""), "");
  EXPECT_EQ(ReadBytes(path), "");
}

TEST(SaveTextFileAtomically, ANameOfTheLongestLengthStillSaves) {
  TempDir dir;
  const std::string name(255, 'n');  // no room left for a temporary name built on it
  ASSERT_EQ(SaveTextFileAtomically(dir / name, "x"), "");
  EXPECT_EQ(ReadBytes(dir / name), "x");
  EXPECT_EQ(dir.Entries(), Strings{name});
}

TEST(SaveTextFileAtomically, PermissionsOfNewAndReplacedFiles) {
  TempDir dir;
  const mode_t oldMask = ::umask(022);
  const std::string fresh = dir / "new.txt";
  EXPECT_EQ(SaveTextFileAtomically(fresh, "x"), "");
  ::umask(oldMask);
  struct stat st {};
  ASSERT_EQ(::stat(fresh.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0644u);  // not the 0600 of a temporary file

  ASSERT_EQ(::chmod(fresh.c_str(), 0640), 0);
  EXPECT_EQ(SaveTextFileAtomically(fresh, "y"), "");
  ASSERT_EQ(::stat(fresh.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(SaveTextFileAtomically, FollowsASymbolicLink) {
  TempDir dir;
  WriteBytes(dir / "real.ini", "old");
  ASSERT_EQ(::symlink("real.ini", (dir / "link.ini").c_str()), 0);
  EXPECT_EQ(SaveTextFileAtomically(dir / "link.ini", "new"), "");
  EXPECT_EQ(ReadBytes(dir / "real.ini"), "new");
  struct stat st {};
  ASSERT_EQ(::lstat((dir / "link.ini").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
}

TEST(SaveTextFileAtomically, FailuresSayWhyAndChangeNothing) {
  TempDir dir;
  EXPECT_EQ(SaveTextFileAtomically(dir / "no/such/folder/m.vdmp", "x"),
            "Не удаётся сохранить '" + (dir / "no/such/folder/m.vdmp") + "': не удаётся создать временный файл в '" +
                (dir / "no/such/folder") + "': нет такого файла или каталога");
  ::mkdir((dir / "sub").c_str(), 0700);
  EXPECT_EQ(SaveTextFileAtomically(dir / "sub", "x"), "Не удаётся сохранить '" + (dir / "sub") + "': это каталог");
  EXPECT_EQ(dir.Entries(), Strings{"sub"});
}

TEST(SaveTextFileAtomically, UnwritableFolderKeepsTheOldFile) {
  if (RunningAsRoot()) GTEST_SKIP() << "root writes into any folder";
  TempDir dir;
  const std::string folder = dir / "ro";
  ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
  WriteBytes(folder + "/m.vdmp", "old\r\n");
  ASSERT_EQ(::chmod(folder.c_str(), 0500), 0);
  const std::string error = SaveTextFileAtomically(folder + "/m.vdmp", "new\r\n");
  ::chmod(folder.c_str(), 0700);
  EXPECT_NE(error.find("нет прав доступа"), std::string::npos) << error;
  EXPECT_EQ(ReadBytes(folder + "/m.vdmp"), "old\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
}

// A write that fails half-way (here: past the file size limit, which binds
// root too) leaves the old file whole and no temporary file behind.
TEST(SaveTextFileAtomically, AWriteFailingHalfWayKeepsTheOldFileAndRemovesTheTemporary) {
  TempDir dir;
  const std::string path = dir / "m.vdmp";
  WriteBytes(path, "old contents\r\n");

  struct rlimit saved {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  void (*oldHandler)(int) = ::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::string error = SaveTextFileAtomically(path, std::string(100000, 'x'));
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, oldHandler);

  EXPECT_EQ(error, "Не удаётся сохранить '" + path + "': файл слишком велик");
  EXPECT_EQ(ReadBytes(path), "old contents\r\n");
  EXPECT_EQ(dir.Entries(), Strings{"m.vdmp"});
}
