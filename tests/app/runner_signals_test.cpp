// vesk-run as a child process, stopped by signals in the middle of a large
// export: no temporary file stays behind, the exit status is 128 + the
// signal's number after one line on standard error, and a file-size limit is
// a clear error (exit 2), not a death by SIGXFSZ.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>
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

TEST_F(Signals, AFileSizeLimitIsAClearErrorNotADeath) {
  ChildProcess run(VESK_RUN_PATH, args, dir / "out.txt", dir / "err.txt", {.fileSizeLimit = 1 << 20});
  const auto status = run.Wait();
  ASSERT_TRUE(status);
  ASSERT_TRUE(WIFEXITED(*status)) << "ended by signal " << WTERMSIG(*status);
  EXPECT_EQ(WEXITSTATUS(*status), 2);
  EXPECT_NE(run.Err().find("Не удаётся сохранить '" + (dir / "m.html") + "': файл слишком велик"), std::string::npos) << run.Err();
  EXPECT_TRUE(Temporaries().empty());
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
