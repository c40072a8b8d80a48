#include "util/atomic_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "support/bound_socket.h"
#include "support/temp_dir.h"
#include "util/temp_files.h"
#include "util/text_file.h"

using namespace vesk;
using vesk::testing::ReadBytes;
using vesk::testing::TempDir;
using vesk::testing::WriteBytes;

namespace {

using Strings = std::vector<std::string>;

// Reads a FIFO to its end on another thread, as the program at the other
// end of a pipe would.
std::future<std::string> ReadFifo(const std::string& path) {
  return std::async(std::launch::async, [path] {
    std::string got;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::string("<cannot open>");
    char buffer[65536];
    for (;;) {
      const ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      got.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return got;
  });
}

bool IsFifo(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
}

std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('a' + i % 23);
  return bytes;
}

// A process id that no process has now: a child that has ended and been reaped.
pid_t GonePid() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return child;
}

}  // namespace

TEST(AtomicFileWriter, AFifoIsWrittenStraightIntoAndStaysAFifo) {
  TempDir dir;
  const std::string fifo = dir / "trace.html";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  auto reader = ReadFifo(fifo);
  AtomicFileWriter w;
  ASSERT_EQ(w.Open(fifo, true), "");
  EXPECT_TRUE(w.writesStraight());
  const std::string bytes = Pattern(3 * AtomicFileWriter::kChunk + 17);
  w.Write(bytes);
  ASSERT_EQ(w.Commit(), "");
  EXPECT_TRUE(reader.get() == bytes) << "the reader did not get every byte";
  EXPECT_TRUE(IsFifo(fifo));
  EXPECT_EQ(dir.Entries(), Strings{"trace.html"});
}

TEST(AtomicFileWriter, AFifoNobodyReadsIsRefusedAtOnceUnlessAskedToWait) {
  TempDir dir;
  const std::string fifo = dir / "p";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  AtomicFileWriter w;
  EXPECT_EQ(w.Open(fifo), "Не удаётся сохранить '" + fifo + "': из этого канала (FIFO) никто не читает");
  EXPECT_TRUE(IsFifo(fifo));
  // Through a symbolic link, with a reader: straight into the FIFO, the link stays.
  ASSERT_EQ(::symlink("p", (dir / "link").c_str()), 0);
  auto reader = ReadFifo(fifo);
  ASSERT_EQ(w.Open(dir / "link", true), "");
  w.Write("through the link");
  ASSERT_EQ(w.Commit(), "");
  EXPECT_EQ(reader.get(), "through the link");
  struct stat st {};
  ASSERT_EQ(::lstat((dir / "link").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_TRUE(IsFifo(fifo));
}

TEST(AtomicFileWriter, AReaderThatGoesAwayIsAWriteFailureNotASignal) {
  TempDir dir;
  const std::string fifo = dir / "p";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  void (*old)(int) = ::signal(SIGPIPE, SIG_IGN);  // as util/exit_signals sets it for the programs
  auto closer = std::async(std::launch::async, [&fifo] {
    const int fd = ::open(fifo.c_str(), O_RDONLY | O_CLOEXEC);
    ::close(fd);
  });
  AtomicFileWriter w;
  ASSERT_EQ(w.Open(fifo, true), "");
  closer.get();
  w.Write(Pattern(2 * AtomicFileWriter::kChunk));
  EXPECT_EQ(w.WriteError(), "Не удаётся сохранить '" + fifo + "': канал закрыт читающей стороной");
  EXPECT_EQ(w.Commit(), "Не удаётся сохранить '" + fifo + "': канал закрыт читающей стороной");
  ::signal(SIGPIPE, old);
}

// "--trace /dev/stdout" names the program's own descriptor through
// /proc/self/fd. Here the descriptors are this test's own: a pipe, and a file
// of its scratch folder that has lost its name. Both are written straight
// into, and nothing is created beside them.
TEST(AtomicFileWriter, AnOpenDescriptorNamedThroughProcSelfFdIsWrittenStraightInto) {
  int pipeEnds[2];
  ASSERT_EQ(::pipe2(pipeEnds, O_CLOEXEC), 0);
  AtomicFileWriter w;
  ASSERT_EQ(w.Open("/proc/self/fd/" + std::to_string(pipeEnds[1])), "");
  EXPECT_TRUE(w.writesStraight());
  w.Write("into the pipe");  // less than a pipe holds: no reader needed meanwhile
  ASSERT_EQ(w.Commit(), "");
  ::close(pipeEnds[1]);
  std::string got(64, '\0');
  const ssize_t n = ::read(pipeEnds[0], got.data(), got.size());
  ::close(pipeEnds[0]);
  EXPECT_EQ(got.substr(0, n > 0 ? static_cast<std::size_t>(n) : 0), "into the pipe");

  TempDir dir;
  WriteBytes(dir / "held.html", "old contents, longer than the new");
  const int held = ::open((dir / "held.html").c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(held, 0);
  ASSERT_EQ(::unlink((dir / "held.html").c_str()), 0);
  ASSERT_EQ(w.Open("/proc/self/fd/" + std::to_string(held)), "");
  EXPECT_TRUE(w.writesStraight());
  w.Write("new");
  ASSERT_EQ(w.Commit(), "");
  char back[64] = {};
  const ssize_t r = ::pread(held, back, sizeof back, 0);
  ::close(held);
  EXPECT_EQ(std::string(back, r > 0 ? static_cast<std::size_t>(r) : 0), "new");
  EXPECT_TRUE(dir.Entries().empty());
}

TEST(AtomicFileWriter, ASocketIsRefusedAndLeftAlone) {
  TempDir dir;
  const std::string path = dir / "s";
  const vesk::testing::BoundSocket socket(path);
  ASSERT_TRUE(socket.ok());
  AtomicFileWriter w;
  EXPECT_EQ(w.Open(path), "Не удаётся сохранить '" + path + "': это сокет, в него нельзя сохранить");
  EXPECT_FALSE(w.isOpen());
  struct stat st {};
  ASSERT_EQ(::lstat(path.c_str(), &st), 0);
  EXPECT_TRUE(S_ISSOCK(st.st_mode));
  EXPECT_EQ(dir.Entries(), Strings{"s"});
}

TEST(AtomicFileWriter, ADanglingLinkGetsItsFileAndStaysALink) {
  TempDir dir;
  ASSERT_EQ(::symlink("real.vdmp", (dir / "link.vdmp").c_str()), 0);
  AtomicFileWriter w;
  ASSERT_EQ(w.Open(dir / "link.vdmp"), "");
  w.Write("new");
  ASSERT_EQ(w.Commit(), "");
  EXPECT_EQ(ReadBytes(dir / "real.vdmp"), "new");
  struct stat st {};
  ASSERT_EQ(::lstat((dir / "link.vdmp").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
}

TEST(AtomicFileWriter, TheTemporaryFileIsNamedAfterTargetAndProcessAndKnownToTheSignalHandlers) {
  TempDir dir;
  WriteBytes(dir / "m.vdmp", "old");
  const int before = temp_files::Count();
  AtomicFileWriter w;
  ASSERT_EQ(w.Open(dir / "m.vdmp"), "");
  const Strings entries = dir.Entries();
  ASSERT_EQ(entries.size(), 2u);
  const std::string prefix = ".m.vdmp.vesk-tmp-" + std::to_string(::getpid()) + "-";
  EXPECT_EQ(entries[0].substr(0, prefix.size()), prefix) << entries[0];
  EXPECT_EQ(entries[0].size(), prefix.size() + 6);
  EXPECT_EQ(temp_files::Count(), before + 1);
  w.Write("new");
  // Complete and on disk, but the target is not replaced yet.
  ASSERT_EQ(w.Prepare(), "");
  EXPECT_EQ(ReadBytes(dir / "m.vdmp"), "old");
  ASSERT_EQ(w.Commit(), "");
  EXPECT_EQ(ReadBytes(dir / "m.vdmp"), "new");
  EXPECT_EQ(temp_files::Count(), before);
  EXPECT_EQ(dir.Entries(), Strings{"m.vdmp"});

  // Abandoned after being prepared: the old file stays, the temporary goes.
  ASSERT_EQ(w.Open(dir / "m.vdmp"), "");
  w.Write("newer");
  ASSERT_EQ(w.Prepare(), "");
  w.Abandon();
  EXPECT_EQ(ReadBytes(dir / "m.vdmp"), "new");
  EXPECT_EQ(dir.Entries(), Strings{"m.vdmp"});
  EXPECT_EQ(temp_files::Count(), before);
}

TEST(AtomicFileWriter, ASaveRemovesTheTemporaryFilesOfItsTargetWhoseProcessIsGone) {
  TempDir dir;
  const std::string gone = std::to_string(GonePid());
  const std::string alive = std::to_string(::getppid());
  const Strings planted = {
      ".m.vdmp.vesk-tmp-" + gone + "-Ab12Cd",   // stale: removed
      ".m.vdmp.vesk-tmp-" + alive + "-Ab12Cd",  // its process lives: kept
      ".other.vesk-tmp-" + gone + "-Ab12Cd",    // another target: kept
      ".m.vdmp.vesk-tmp-" + gone + "-toolong",  // not a name a save gives: kept
      ".m.vdmp.tmp-Ab12Cd",                     // not ours to judge: kept
  };
  for (const std::string& name : planted) WriteBytes(dir / name, "junk");
  ASSERT_EQ(SaveTextFileAtomically(dir / "m.vdmp", "x"), "");
  Strings expected = {"m.vdmp", planted[1], planted[2], planted[3], planted[4]};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(dir.Entries(), expected);
}

// Writes reach the disk every 64 KiB, so a failure (here the file-size
// limit, which binds root too) shows long before the end of a big export.
TEST(AtomicFileWriter, AFailingWriteShowsWithin64KiB) {
  TempDir dir;
  WriteBytes(dir / "t.html", "old");
  struct rlimit saved {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  void (*oldHandler)(int) = ::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 100000;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  AtomicFileWriter w;
  std::string error;
  std::size_t written = 0;
  if (w.Open(dir / "t.html").empty()) {
    const std::string piece(1000, 'x');
    while (written < 10 * small.rlim_cur && w.WriteError().empty()) {
      w.Write(piece);
      written += piece.size();
    }
    error = w.Commit();
  }
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(w.WriteError(), "Не удаётся сохранить '" + (dir / "t.html") + "': файл слишком велик");
  EXPECT_LE(written, small.rlim_cur + AtomicFileWriter::kChunk);
  EXPECT_EQ(error, "Не удаётся сохранить '" + (dir / "t.html") + "': файл слишком велик");
  EXPECT_EQ(ReadBytes(dir / "t.html"), "old");
  EXPECT_EQ(dir.Entries(), Strings{"t.html"});
}
