// vesk-asm and vesk-masm as child processes: what they read and how they
// save is what vesk-run and the windows do (windows-1251 files, saves that
// never destroy the old file, refusals with exit 2 and a reason).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <future>
#include <string>
#include <tuple>
#include <vector>

#include "support/bound_socket.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

using vesk::testing::ChildProcess;
using vesk::testing::ReadBytes;
using vesk::testing::TempDir;
using vesk::testing::WriteBytes;

namespace {

using Strings = std::vector<std::string>;

// "Останов" in UTF-8 and in windows-1251.
const std::string kStopUtf8 = "\xD0\x9E\xD1\x81\xD1\x82\xD0\xB0\xD0\xBD\xD0\xBE\xD0\xB2";
const std::string kStopCp1251 = "\xCE\xF1\xF2\xE0\xED\xEE\xE2";

struct Generators : ::testing::Test {
  TempDir dir;

  struct Outcome {
    int status = -1;  // the exit status, or -1 when ended by a signal
    int signal = 0;
    std::string out, err;
  };

  Outcome Run(const std::string& program, const Strings& args, ChildProcess::Options options = {}) {
    ChildProcess p(program, args, dir / "stdout.txt", dir / "stderr.txt", options);
    const auto status = p.Wait(30);
    Outcome o;
    if (status && WIFEXITED(*status)) o.status = WEXITSTATUS(*status);
    if (status && WIFSIGNALED(*status)) o.signal = WTERMSIG(*status);
    o.out = p.Out();
    o.err = p.Err();
    return o;
  }
  // The folder's entries other than the child's own output files.
  Strings Files() const {
    Strings names;
    for (const std::string& name : dir.Entries())
      if (name != "stdout.txt" && name != "stderr.txt") names.push_back(name);
    return names;
  }
  // A program of one command with a Russian comment, in the given bytes.
  std::string Source(const std::string& name, const std::string& comment) {
    WriteBytes(dir / name, "        ORG 000\n        HLT             ; " + comment + "\n");
    return dir / name;
  }
  static std::string ExpectedDump() {
    std::string bytes = "F000" + kStopCp1251 + "\r\n";
    for (int a = 1; a < 2048; ++a) bytes += "0000\r\n";
    return bytes;
  }
};

}  // namespace

TEST_F(Generators, EmptyNamesAreRefusedAndNothingIsWritten) {
  const std::string source = Source("p.vasm", kStopUtf8);
  for (const Strings& args : {Strings{"", "-o", dir / "out.vdmp"}, Strings{source, "-o", ""},
                              Strings{source, "--check", ""}}) {
    const Outcome o = Run(VESK_ASM_PATH, args);
    EXPECT_EQ(o.status, 2) << args[0] << " " << args[1];
    const std::string what = args[0].empty() ? "SOURCE" : "option " + args[1];
    EXPECT_EQ(o.err, "vesk-asm: " + what + " needs a file name, not an empty text\n");
  }
  EXPECT_EQ(Files(), Strings{"p.vasm"});
}

// A folder or a FIFO given as the source is an error, never an empty program
// assembled into a file of zeros, and never a wait for a writer.
TEST_F(Generators, ASourceThatIsNotARegularFileIsAnError) {
  ASSERT_EQ(::mkdir((dir / "folder.vasm").c_str(), 0700), 0);
  ASSERT_EQ(::mkfifo((dir / "fifo.vasm").c_str(), 0600), 0);
  const Outcome folder = Run(VESK_ASM_PATH, {dir / "folder.vasm", "-o", dir / "out.vdmp"});
  EXPECT_EQ(folder.status, 2);
  EXPECT_EQ(folder.err, "vesk-asm: Не удаётся открыть '" + (dir / "folder.vasm") + "': это каталог\n");
  const Outcome fifo = Run(VESK_MASM_PATH, {dir / "fifo.vasm", "-o", dir / "out.mpdmp"});
  EXPECT_EQ(fifo.status, 2);
  EXPECT_EQ(fifo.err, "vesk-masm: Не удаётся открыть '" + (dir / "fifo.vasm") + "': это не обычный файл\n");
  const Outcome missing = Run(VESK_ASM_PATH, {dir / "none.vasm", "--check", dir / "out.vdmp"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.err, "vesk-asm: Не удаётся открыть '" + (dir / "none.vasm") + "': нет такого файла или каталога\n");
  EXPECT_EQ(Files(), (Strings{"fifo.vasm", "folder.vasm"}));
}

// The same program in UTF-8, in UTF-8 with the byte-order mark and in
// windows-1251 (an older editor's) makes the same windows-1251 dump, as
// vesk-run reads it.
TEST_F(Generators, EverySourceEncodingGivesTheSameWindows1251File) {
  const std::string utf8 = Source("u.vasm", kStopUtf8);
  const std::string marked = Source("b.vasm", kStopUtf8);
  WriteBytes(marked, "\xEF\xBB\xBF" + ReadBytes(marked));
  const std::string cp1251 = Source("w.vasm", kStopCp1251);
  for (const std::string& source : {utf8, marked, cp1251}) {
    const Outcome o = Run(VESK_ASM_PATH, {source, "-o", dir / "out.vdmp"});
    ASSERT_EQ(o.status, 0) << source << ": " << o.err;
    EXPECT_TRUE(ReadBytes(dir / "out.vdmp") == ExpectedDump()) << source;
    EXPECT_EQ(Run(VESK_ASM_PATH, {source, "--check", dir / "out.vdmp"}).status, 0) << source;
  }
  const Outcome listing = Run(VESK_ASM_PATH, {cp1251, "--listing"});
  EXPECT_EQ(listing.status, 0);
  EXPECT_NE(listing.out.find(kStopUtf8), std::string::npos) << "the listing is UTF-8 text: " << listing.out;
}

TEST_F(Generators, AnOutputFollowsTheRulesOfEverySave) {
  const std::string source = Source("p.vasm", kStopUtf8);
  // A FIFO is written straight into and stays a FIFO.
  const std::string fifo = dir / "pipe.vdmp";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  auto reader = std::async(std::launch::async, [&fifo] {
    std::string got;
    const int fd = ::open(fifo.c_str(), O_RDONLY | O_CLOEXEC);
    char buffer[4096];
    for (ssize_t n; fd >= 0 && (n = ::read(fd, buffer, sizeof buffer)) > 0;)
      got.append(buffer, static_cast<std::size_t>(n));
    if (fd >= 0) ::close(fd);
    return got;
  });
  const Outcome piped = Run(VESK_ASM_PATH, {source, "-o", fifo});
  EXPECT_EQ(piped.status, 0) << piped.err;
  EXPECT_TRUE(reader.get() == ExpectedDump());
  struct stat st {};
  ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));

  // A socket is refused and stays.
  const std::string socketPath = dir / "s";
  const vesk::testing::BoundSocket socket(socketPath);
  ASSERT_TRUE(socket.ok());
  const Outcome refused = Run(VESK_ASM_PATH, {source, "-o", socketPath});
  EXPECT_EQ(refused.status, 2);
  EXPECT_EQ(refused.err, "vesk-asm: Не удаётся сохранить '" + socketPath + "': это сокет, в него нельзя сохранить\n");
  ASSERT_EQ(::lstat(socketPath.c_str(), &st), 0);
  EXPECT_TRUE(S_ISSOCK(st.st_mode));

  // A link stays a link; the file it names is replaced.
  WriteBytes(dir / "real.vdmp", "old");
  ASSERT_EQ(::symlink("real.vdmp", (dir / "link.vdmp").c_str()), 0);
  EXPECT_EQ(Run(VESK_ASM_PATH, {source, "-o", dir / "link.vdmp"}).status, 0);
  EXPECT_TRUE(ReadBytes(dir / "real.vdmp") == ExpectedDump());
  ASSERT_EQ(::lstat((dir / "link.vdmp").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(Files(), (Strings{"link.vdmp", "p.vasm", "pipe.vdmp", "real.vdmp", "s"}));
}

// A file-size limit is a clear error: the old file stays, no temporary file
// is left, and the assembler is not killed by SIGXFSZ.
TEST_F(Generators, AFileTooLargeKeepsTheOldFileAndLeavesNoTemporary) {
  const std::string source = Source("p.vasm", kStopUtf8);
  WriteBytes(dir / "out.vdmp", "old dump");
  const Outcome o = Run(VESK_ASM_PATH, {source, "-o", dir / "out.vdmp"}, {.fileSizeLimit = 4096});
  EXPECT_EQ(o.signal, 0) << "ended by signal " << o.signal;
  EXPECT_EQ(o.status, 2);
  EXPECT_EQ(o.err, "vesk-asm: Не удаётся сохранить '" + (dir / "out.vdmp") + "': файл слишком велик\n");
  EXPECT_EQ(ReadBytes(dir / "out.vdmp"), "old dump");
  EXPECT_EQ(Files(), (Strings{"out.vdmp", "p.vasm"}));

  // The micro-program assembler likewise (255 lines of at least 6 bytes).
  WriteBytes(dir / "m.masm", "01 | start | HLT | " + kStopUtf8 + "\n");
  WriteBytes(dir / "m.mpdmp", "old");
  const Outcome micro = Run(VESK_MASM_PATH, {dir / "m.masm", "-o", dir / "m.mpdmp"}, {.fileSizeLimit = 512});
  EXPECT_EQ(micro.signal, 0) << "ended by signal " << micro.signal;
  EXPECT_EQ(micro.status, 2) << micro.err;
  EXPECT_EQ(micro.err, "vesk-masm: Не удаётся сохранить '" + (dir / "m.mpdmp") + "': файл слишком велик\n");
  EXPECT_EQ(ReadBytes(dir / "m.mpdmp"), "old");
  EXPECT_EQ(Files(), (Strings{"m.masm", "m.mpdmp", "out.vdmp", "p.vasm"}));
  // Without the limit it is written in windows-1251.
  const Outcome written = Run(VESK_MASM_PATH, {dir / "m.masm", "-o", dir / "m.mpdmp"});
  ASSERT_EQ(written.status, 0) << written.err;
  const std::string file = ReadBytes(dir / "m.mpdmp");
  EXPECT_EQ(file.substr(4, kStopCp1251.size() + 2), kStopCp1251 + "\r\n") << "a word, then the comment in windows-1251";
}
