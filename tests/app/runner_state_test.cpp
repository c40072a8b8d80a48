// vesk-run's --state and --save-state.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "app/runner.h"
#include "memory/micro_memory.h"
#include "app/runner_fixture.h"
#include "memory/micro_program_file.h"
#include "state/state_file.h"
#include "support/temp_dir.h"
#include "support/tiny_micro_program.h"

using namespace vesk;

namespace {

struct RunnerStateFixture : vesk::testing::TinyRunnerFixture {
  MachineState read(const std::string& path) {
    const StateRead r = LoadStateFile(path);
    EXPECT_TRUE(r.ok) << r.error;
    return r.state;
  }
};

TEST_F(RunnerStateFixture, ASavedStateCarriesOnWithItsOwnMicroProgramRegistersAndStart) {
  const std::string loop = dump("loop.vdmp", {});  // all 0000: А := А + 1 forever
  const std::string first = dir.file("first.vstate");
  ASSERT_EQ(run({"--micro", micro, "--dump", loop, "--start", "10", "--max-commands", "5", "--save-state", first}),
            kRunLimitReached)
      << err.str();
  const MachineState s = read(first);
  EXPECT_EQ(s.registers[0], "0000000000000101");
  EXPECT_EQ(s.start, "010");
  EXPECT_EQ(s.mode, 2);
  EXPECT_EQ(s.periods, (std::array<int, 3>{20, 100, 100}));  // the run's own 0, 0, 0 are not saved
  EXPECT_EQ(s.memory.size(), 2048u);

  // No --micro, and no shipped micro-program beside the program: the state's is used.
  EXPECT_EQ(run({"--state", first, "--max-commands", "3", "--json"}), kRunLimitReached) << err.str();
  EXPECT_NE(out.str().find("\"А\":\"0008\""), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("\"СК\":\"0013\""), std::string::npos) << "started at the state's 010: " << out.str();
  // --start, --mode and --dump apply on top. (A state saved at a limit rests
  // inside a command, and a start resumes there as Пуск would; this one
  // rests after HLT.)
  const std::string stopped = dir.file("stopped.vstate");
  ASSERT_EQ(run({"--micro", micro, "--dump", dump("five.vdmp", {"0000", "0000", "0000", "0000", "0000", "F000"}),
                 "--save-state", stopped}),
            kRunStopped);
  const std::string halt = dump("halt.vdmp", {"F000"});
  const std::string second = dir.file("second.vstate");
  EXPECT_EQ(run({"--state", stopped, "--dump", halt, "--start", "0", "--mode", "full", "--save-state", second, "--json"}),
            kRunStopped)
      << err.str();
  EXPECT_NE(out.str().find("\"А\":\"0005\""), std::string::npos) << out.str();
  const MachineState t = read(second);
  EXPECT_EQ(t.start, "000");
  EXPECT_EQ(t.mode, 1);
  EXPECT_EQ(t.memory[0].word, "1111000000000000");
}

TEST_F(RunnerStateFixture, AStateFileKeepsItsPeriodsThroughARun) {
  const std::string halt = dump("halt.vdmp", {"F000"});
  const std::string first = dir.file("first.vstate"), second = dir.file("second.vstate");
  ASSERT_EQ(run({"--micro", micro, "--dump", halt, "--save-state", first}), kRunStopped) << err.str();
  std::string text = vesk::testing::ReadBytes(first);
  text.replace(text.find("[20,100,100]"), 12, "[7,8,9]");
  vesk::testing::WriteBytes(first, text);
  ASSERT_EQ(run({"--state", first, "--save-state", second}), kRunStopped) << err.str();
  EXPECT_EQ(read(second).periods, (std::array<int, 3>{7, 8, 9}));
  // Nothing changed in the run that the state holds, so the file is the same.
  EXPECT_EQ(vesk::testing::ReadBytes(second), text);
}

TEST_F(RunnerStateFixture, ABadStateFileExitsTwoAndWritesNothing) {
  const std::string bad = dir.file("bad.vstate");
  vesk::testing::WriteBytes(bad, "{\"format\":\"vesk-state\",\"version\":9}");
  const std::string saved = dir.file("out.vdmp");
  EXPECT_EQ(run({"--state", bad, "--save-dump", saved, "--json"}), kRunUsageError);
  EXPECT_EQ(err.str(), "vesk-run: Не удаётся загрузить состояние '" + bad +
                           "': файл записан в формате 9, а эта версия Vesk читает формат 1 (нужна более новая версия)\n");
  EXPECT_EQ(out.str(), "");
  EXPECT_FALSE(std::filesystem::exists(saved));
  EXPECT_EQ(run({"--state", dir.file("missing.vstate")}), kRunUsageError);
  EXPECT_NE(err.str().find("missing.vstate"), std::string::npos);
  EXPECT_EQ(run({"--state", ""}), kRunUsageError);
  EXPECT_EQ(run({"--save-state", ""}), kRunUsageError);
}

// --save-state joins the outputs that are written all or nothing.
TEST_F(RunnerStateFixture, AStateThatCannotBeSavedLeavesTheOtherOutputsAsTheyWere) {
  const std::string halt = dump("halt.vdmp", {"F000"});
  const std::string saved = dir.file("out.vdmp");
  vesk::testing::WriteBytes(saved, "old dump");
  std::filesystem::create_directory(dir.file("folder.vstate"));
  EXPECT_EQ(run({"--micro", micro, "--dump", halt, "--save-dump", saved, "--save-state", dir.file("folder.vstate")}),
            kRunUsageError);
  EXPECT_NE(err.str().find("folder.vstate"), std::string::npos) << err.str();
  EXPECT_EQ(vesk::testing::ReadBytes(saved), "old dump");
  const std::string state = dir.file("s.vstate");
  vesk::testing::WriteBytes(state, "old state");
  EXPECT_EQ(run({"--micro", micro, "--dump", halt, "--save-state", state, "--save-dump", dir.file("no/such.vdmp")}),
            kRunUsageError);
  EXPECT_EQ(vesk::testing::ReadBytes(state), "old state");
}

}  // namespace

TEST_F(RunnerStateFixture, AStatesBreakpointsStopTheRunAndBreakOptionsAddToThem) {
  // The tiny micro-program's command 0000 increments А: a loop of them,
  // with a command breakpoint at 014 kept in the state.
  const std::string loop = dump("loop.vdmp", {});
  const std::string lab = dir.file("lab.vstate");
  ASSERT_EQ(run({"--micro", micro, "--dump", loop, "--start", "10", "--break", "14", "--save-state", lab}), kRunStopped)
      << err.str();
  ASSERT_EQ(read(lab).breakpoints, (std::vector<Breakpoint>{{BreakKind::Command, 0x14, true}}));
  EXPECT_EQ(run({"--state", lab, "--start", "10", "--json"}), kRunStopped) << err.str();
  EXPECT_NE(out.str().find("\"breakpoint\":\"014\""), std::string::npos) << out.str();
  // --break adds an earlier one; the state's stays.
  const std::string both = dir.file("both.vstate");
  EXPECT_EQ(run({"--state", lab, "--start", "10", "--break", "12", "--json", "--save-state", both}), kRunStopped);
  EXPECT_NE(out.str().find("\"breakpoint\":\"012\""), std::string::npos) << out.str();
  EXPECT_EQ(read(both).breakpoints.size(), 2u);
}
