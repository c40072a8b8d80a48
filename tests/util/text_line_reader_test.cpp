#include "util/text_line_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "util/text_file.h"

using namespace vesk;
using vesk::testing::RunningAsRoot;
using vesk::testing::TempDir;
using vesk::testing::WriteBytes;

namespace {

using Strings = std::vector<std::string>;

struct ReadBack {
  bool ok = false;
  std::string error;
  bool wasUtf8 = false;
  Strings lines;
  std::vector<TextLineInfo> infos;
};

ReadBack ReadAll(const std::string& path, std::size_t chunk = DecodedFile::kDefaultChunk,
                 std::size_t keep = TextLineReader::kWhole) {
  ReadBack r;
  TextLineReader reader(chunk);
  if (reader.Open(path)) {
    std::string line;
    TextLineInfo info;
    while (reader.Next(line, keep, &info)) {
      r.lines.push_back(line);
      r.infos.push_back(info);
    }
  }
  r.ok = !reader.failed();
  r.error = reader.error();
  r.wasUtf8 = reader.wasUtf8();
  return r;
}

}  // namespace

TEST(TextLineReader, MissingFileDirectoryAndFifoAreClearErrors) {
  TempDir dir;
  TextLineReader reader;
  EXPECT_FALSE(reader.Open(dir / "x.vdmp"));
  EXPECT_EQ(reader.error(), "Не удаётся открыть '" + (dir / "x.vdmp") + "': нет такого файла или каталога");
  EXPECT_EQ(reader.errorNumber(), ENOENT);

  EXPECT_FALSE(reader.Open(dir.path()));
  EXPECT_EQ(reader.error(), "Не удаётся открыть '" + dir.path() + "': это каталог");

  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
  EXPECT_FALSE(reader.Open(dir / "pipe"));  // must not hang waiting for a writer
  EXPECT_EQ(reader.error(), "Не удаётся открыть '" + (dir / "pipe") + "': это не обычный файл");

  EXPECT_FALSE(reader.Open(""));
  std::string line;
  EXPECT_FALSE(reader.Next(line));
}

TEST(TextLineReader, NoReadPermission) {
  if (RunningAsRoot()) GTEST_SKIP() << "root reads files whatever their permissions";
  TempDir dir;
  WriteBytes(dir / "locked.vdmp", "0001\r\n");
  ASSERT_EQ(::chmod((dir / "locked.vdmp").c_str(), 0), 0);
  TextLineReader reader;
  EXPECT_FALSE(reader.Open(dir / "locked.vdmp"));
  EXPECT_EQ(reader.error(), "Не удаётся открыть '" + (dir / "locked.vdmp") + "': нет прав доступа");
}

TEST(TextLineReader, EveryByteButTheLineEndsComesThroughWhateverThePieceSize) {
  TempDir dir;
  std::string all;
  for (int i = 0; i < 3000; ++i) all.push_back(static_cast<char>(i * 7));
  WriteBytes(dir / "f", all);
  const std::vector<TextLine> expected = SplitLines(all);
  for (const std::size_t chunk : {1u, 2u, 3u, 7u, 64u, 65536u}) {
    const ReadBack r = ReadAll(dir / "f", chunk);
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.lines.size(), expected.size()) << "chunk " << chunk;
    for (std::size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(r.lines[i], all.substr(expected[i].begin, expected[i].length)) << "chunk " << chunk << " line " << i;
      EXPECT_EQ(r.infos[i].begin, expected[i].begin);
      EXPECT_EQ(r.infos[i].endLength, expected[i].endLength);
    }
  }
  WriteBytes(dir / "empty", "");
  const ReadBack empty = ReadAll(dir / "empty");
  EXPECT_TRUE(empty.ok);
  EXPECT_TRUE(empty.lines.empty());
}

TEST(TextLineReader, ACrLfCutBetweenTwoPiecesIsOneLineEnd) {
  TempDir dir;
  WriteBytes(dir / "f", "a\r\nb\r\rc\n\rd\r");
  for (const std::size_t chunk : {1u, 2u, 3u, 4u}) {
    const ReadBack r = ReadAll(dir / "f", chunk);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.lines, (Strings{"a", "b", "", "c", "", "d"})) << "chunk " << chunk;
    EXPECT_EQ(r.infos[0].endLength, 2u);
    EXPECT_EQ(r.infos[5].endLength, 1u);
  }
}

TEST(TextLineReader, Utf8WithTheMarkIsConvertedEvenWhenACharacterIsCutBetweenPieces) {
  TempDir dir;
  WriteBytes(dir / "a.txt", "\xEF\xBB\xBF" "0001Ж\n0002ёё\r0003");
  for (const std::size_t chunk : {1u, 2u, 3u, 5u, 4096u}) {
    const ReadBack r = ReadAll(dir / "a.txt", chunk);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(r.wasUtf8);
    EXPECT_EQ(r.lines, (Strings{"0001\xC6", "0002\xB8\xB8", "0003"})) << "chunk " << chunk;
    EXPECT_EQ(r.infos[1].begin, 6u);  // offsets count windows-1251 characters
  }
  // The same bytes without the mark are windows-1251.
  WriteBytes(dir / "b.txt", "0001Ж");
  const ReadBack plain = ReadAll(dir / "b.txt");
  EXPECT_FALSE(plain.wasUtf8);
  EXPECT_EQ(plain.lines, (Strings{"0001\xD0\x96"}));
}

TEST(TextLineReader, AnUnstorableCharacterFailsNamingItsLine) {
  TempDir dir;
  WriteBytes(dir / "b.txt", "\xEF\xBB\xBF" "a\r\nb\r\nx→y\r\nz");
  for (const std::size_t chunk : {1u, 4u, 4096u}) {
    const ReadBack r = ReadAll(dir / "b.txt", chunk);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "Не удаётся прочитать '" + (dir / "b.txt") +
                           "': в строке 3 есть символ '→' (U+2192), которого нет в windows-1251")
        << "chunk " << chunk;
  }
  // Right after a line end, and in lines that are only passed over.
  WriteBytes(dir / "c.txt", "\xEF\xBB\xBF" "a\r中");
  EXPECT_NE(ReadAll(dir / "c.txt", 1).error.find("в строке 2 есть символ '中'"), std::string::npos);
  TextLineReader reader;
  ASSERT_TRUE(reader.Open(dir / "b.txt"));
  std::uint64_t count = 0;
  EXPECT_FALSE(reader.Skip(count));
  EXPECT_NE(reader.error().find("в строке 3 есть"), std::string::npos) << reader.error();
  // A character cut off by the end of the file is not UTF-8.
  WriteBytes(dir / "d.txt", "\xEF\xBB\xBF" "ok\xD0");
  EXPECT_NE(ReadAll(dir / "d.txt").error.find("в строке 1 есть байт 0xD0, не образующий текст UTF-8"),
            std::string::npos);
}

TEST(TextLineReader, ATenMegabyteLine) {
  TempDir dir;
  std::string big = "1234";
  big.append(10u << 20, '\xE0');  // 'а' in windows-1251
  big += "\r\nFFFF";
  WriteBytes(dir / "big", big);
  const ReadBack whole = ReadAll(dir / "big");
  ASSERT_TRUE(whole.ok) << whole.error;
  ASSERT_EQ(whole.lines.size(), 2u);
  EXPECT_EQ(whole.lines[0].size(), (10u << 20) + 4);
  EXPECT_EQ(whole.lines[1], "FFFF");
  // A caller that wants only the start keeps only the start, and learns the length.
  const ReadBack cut = ReadAll(dir / "big", DecodedFile::kDefaultChunk, 6);
  ASSERT_EQ(cut.lines.size(), 2u);
  EXPECT_EQ(cut.lines[0], "1234\xE0\xE0");
  EXPECT_EQ(cut.infos[0].length, (10u << 20) + 4);
  EXPECT_EQ(cut.infos[1].begin, (10u << 20) + 6);
}

TEST(TextLineReader, SkipCountsTheLinesLeft) {
  TempDir dir;
  WriteBytes(dir / "f", "a\r\nb\n\r\nc\rd");
  for (const std::size_t chunk : {1u, 2u, 4096u}) {
    TextLineReader reader(chunk);
    ASSERT_TRUE(reader.Open(dir / "f"));
    std::string line;
    ASSERT_TRUE(reader.Next(line));
    std::uint64_t count = 0;
    ASSERT_TRUE(reader.Skip(count));
    EXPECT_EQ(count, 4u) << "chunk " << chunk;  // "b", "", "c", "d"
    EXPECT_EQ(reader.lineCount(), 5u);
  }
  WriteBytes(dir / "g", "a\r\n");
  TextLineReader reader(1);
  ASSERT_TRUE(reader.Open(dir / "g"));
  std::string line;
  ASSERT_TRUE(reader.Next(line));
  std::uint64_t count = 9;
  ASSERT_TRUE(reader.Skip(count));
  EXPECT_EQ(count, 0u);
}

TEST(TextLineReader, FilesOverTheSizeLimitAreRefused) {
  TempDir dir;
  const std::string path = dir / "huge";
  WriteBytes(path, "");
  ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(kMaxTextFileBytes + 1)), 0);  // sparse: no disk used
  TextLineReader reader;
  EXPECT_FALSE(reader.Open(path));
  EXPECT_EQ(reader.error(), "Не удаётся прочитать '" + path + "': файл больше 256 МБ");
}
