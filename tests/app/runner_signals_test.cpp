// vesk-run as a child process, stopped by signals in the middle of a large
// export: no temporary file stays behind, the exit status is 128 + the
// signal's number after one line on standard error, and a file-size limit is
// a clear error (exit 2) as soon as it is met, not a death by SIGXFSZ. And
// the exit status of options naming no file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <filesystem>
#include <regex>
#include <string>
#include <tuple>
#include <vector>

#include "memory/micro_memory.h"
#include "memory/micro_program_file.h"
#include "support/child_process.h"
#include "support/temp_dir.h"
#include "support/tiny_micro_program.h"

using namespace vesk;
using vesk::testing::ChildProcess;
using vesk::testing::TempDir;

namespace {

struct Signals : ::testing::Test {
  TempDir dir;
  std::vector<std::string> args;

  void SetUp() override {
    MicroMemory mm;
    vesk::testing::LoadTinyMicroProgram(mm);
    ASSERT_TRUE(SaveMicroProgram(mm, dir / "tiny.mpdmp").ok);
    std::string zeros;
    for (int a = 0; a < 2048; ++a) zeros += "0000\r\n";  // increments forever
    vesk::testing::WriteBytes(dir / "loop.vdmp", zeros);
    args = {"--micro", dir / "tiny.mpdmp", "--dump", dir / "loop.vdmp", "--micro-trace", dir / "m.html",
            "--max-micro", "100000000"};
  }

  // The temporary files of the export in the folder.
  std::vector<std::string> Temporaries() const {
    std::vector<std::string> found;
    for (const std::string& name : dir.Entries())
      if (name.rfind(".m.html.vesk-tmp-", 0) == 0) found.push_back(name);
    return found;
  }

  // Waits until the export has grown past a megabyte.
  bool ExportUnderWay() const {
    return ChildProcess::WaitFor([this] {
      for (const std::string& name : Temporaries()) {
        std::error_code ignored;
        if (std::filesystem::file_size(dir / name, ignored) > (1u << 20)) return true;
      }
      return false;
    });
  }
};

}  // namespace

TEST_F(Signals, InterruptTerminateAndHangUpRemoveTheExportInProgress) {
  for (const auto& [signo, name] : {std::pair{SIGINT, "SIGINT"}, std::pair{SIGTERM, "SIGTERM"},
                                    std::pair{SIGHUP, "SIGHUP"}}) {
    ChildProcess run(VESK_RUN_PATH, args, dir / "out.txt", dir / "err.txt");
    ASSERT_TRUE(ExportUnderWay()) << name;
    run.Signal(signo);
    const auto status = run.Wait();
    ASSERT_TRUE(status) << name;
    ASSERT_TRUE(WIFEXITED(*status)) << name;
    EXPECT_EQ(WEXITSTATUS(*status), 128 + signo) << name;
    EXPECT_EQ(run.Err(), std::string("vesk-run: stopped by ") + name + "\n");
    EXPECT_TRUE(Temporaries().empty()) << name;
    EXPECT_FALSE(std::filesystem::exists(dir / "m.html")) << name;
  }
}

// Started under nohup, a run outlives the terminal: the SIGHUP it was
// started ignoring stays ignored; the other signals still stop it.
TEST_F(Signals, AHangUpIgnoredAtTheStartStaysIgnored) {
  ChildProcess run(VESK_RUN_PATH, args, dir / "out.txt", dir / "err.txt", {.hangUpIgnored = true});
  ASSERT_TRUE(ExportUnderWay());
  run.Signal(SIGHUP);
  // Still exporting after the signal: the export grows by another megabyte.
  ASSERT_EQ(Temporaries().size(), 1u);
  const std::string temporary = dir / Temporaries().front();
  std::error_code ignored;
  const std::uintmax_t atSignal = std::filesystem::file_size(temporary, ignored);
  EXPECT_TRUE(ChildProcess::WaitFor([&] {
    std::error_code gone;
    const std::uintmax_t size = std::filesystem::file_size(temporary, gone);
    return !gone && size > atSignal + (1u << 20);
  })) << "the run ended on SIGHUP: " << run.Err();
  run.Signal(SIGTERM);
  const auto status = run.Wait();
  ASSERT_TRUE(status && WIFEXITED(*status));
  EXPECT_EQ(WEXITSTATUS(*status), 128 + SIGTERM);
  EXPECT_EQ(run.Err(), "vesk-run: stopped by SIGTERM\n");
  EXPECT_TRUE(Temporaries().empty());
}

// Each streamed export is checked every 64 KiB: the run stops within that
// of the limit (some 7000 rows of 1 MiB, far below the limits of the run),
// exit 2, and the old file stays as it was.
TEST_F(Signals, AFileSizeLimitIsAClearErrorNotADeathAndStopsTheRunAtOnce) {
  for (const auto& [option, name, counted] :
       {std::tuple{"--micro-trace", "m.html", 2}, std::tuple{"--trace", "t.html", 1}}) {
    vesk::testing::WriteBytes(dir / name, "old export");
    const std::vector<std::string> run = {"--micro", dir / "tiny.mpdmp", "--dump", dir / "loop.vdmp", option,
                                          dir / name, "--max-micro", "100000000", "--max-commands", "100000000"};
    ChildProcess child(VESK_RUN_PATH, run, dir / "out.txt", dir / "err.txt", {.fileSizeLimit = 1 << 20});
    const auto status = child.Wait();
    ASSERT_TRUE(status) << option;
    ASSERT_TRUE(WIFEXITED(*status)) << option << " ended by signal " << WTERMSIG(*status);
    EXPECT_EQ(WEXITSTATUS(*status), 2) << option;
    const std::string err = child.Err();
    std::smatch found;
    ASSERT_TRUE(std::regex_match(err, found,
                                 std::regex("vesk-run: Не удаётся сохранить '(.*)': файл слишком велик \\(the run stopped after "
                                            "(\\d+) commands and (\\d+) micro-commands\\)\n")))
        << err;
    EXPECT_EQ(found[1], dir / name);
    EXPECT_LT(std::stoll(found[counted + 1]), 20000) << err;
    EXPECT_EQ(vesk::testing::ReadBytes(dir / name), "old export") << option;
    for (const std::string& entry : dir.Entries()) EXPECT_EQ(entry.find(".vesk-tmp-"), std::string::npos) << entry;
  }
}

// Every option that names a file refuses an empty name: exit 2, one line
// saying which option, nothing written.
TEST_F(Signals, EmptyFileNamesExitTwoWithAMessage) {
  const std::vector<std::string> before = dir.Entries();
  for (const char* option : {"--micro", "--dump", "--trace", "--micro-trace", "--save-dump"}) {
    ChildProcess child(VESK_RUN_PATH, {"--dump", dir / "loop.vdmp", option, "", "--json"}, dir / "out.txt",
                       dir / "err.txt");
    const auto status = child.Wait();
    ASSERT_TRUE(status && WIFEXITED(*status)) << option;
    EXPECT_EQ(WEXITSTATUS(*status), 2) << option;
    EXPECT_EQ(child.Err(), std::string("vesk-run: option ") + option + " needs a file name, not an empty text\n");
    EXPECT_EQ(child.Out(), "") << option;
  }
  std::vector<std::string> after;
  for (const std::string& entry : dir.Entries())
    if (entry != "out.txt" && entry != "err.txt") after.push_back(entry);
  EXPECT_EQ(after, before);
}

// SIGKILL cannot be caught; the next save of the same target cleans up.
TEST_F(Signals, TheNextSaveRemovesWhatAKilledRunLeft) {
  {
    ChildProcess run(VESK_RUN_PATH, args, dir / "out.txt", dir / "err.txt");
    ASSERT_TRUE(ExportUnderWay());
    run.Signal(SIGKILL);
    ASSERT_TRUE(run.Wait());
  }
  ASSERT_EQ(Temporaries().size(), 1u);
  std::vector<std::string> shortRun = args;
  shortRun.back() = "100";
  ChildProcess again(VESK_RUN_PATH, shortRun, dir / "out.txt", dir / "err.txt");
  const auto status = again.Wait();
  ASSERT_TRUE(status);
  EXPECT_TRUE(WIFEXITED(*status));
  EXPECT_EQ(WEXITSTATUS(*status), 3) << again.Err();  // the limit of 100 micro-commands
  EXPECT_TRUE(Temporaries().empty());
  EXPECT_TRUE(std::filesystem::exists(dir / "m.html"));
}
