// vesk-run with program and micro-program sources, assembled on the way.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "app/program_input.h"
#include "app/runner.h"
#include "format/bit_string.h"
#include "memory/main_memory.h"
#include "memory/micro_memory.h"
#include "support/temp_dir.h"

using namespace vesk;

namespace {

struct SourceRun : ::testing::Test {
  vesk::testing::TempDir dir;
  std::ostringstream out, err;
  const std::string micro = std::string(VESK_SOURCE_DIR) + "/microprograms/vesk.masm";

  std::string write(const std::string& name, const std::string& text) {
    vesk::testing::WriteBytes(dir / name, text);
    return dir / name;
  }
  int run(std::vector<std::string> args) {
    out.str("");
    err.str("");
    auto [options, why] = ParseRunnerArgs(args);
    EXPECT_TRUE(options) << why;
    return options ? RunHeadless(*options, dir.path(), out, err) : -1;
  }
};

TEST_F(SourceRun, SourcesAreAssembledAndStartWhereTheyStart) {
  const std::string program = write("p.vasm", "# two increments\n        ORG 10\n        INC\n        INC ; +1\n        HLT\n");
  ASSERT_EQ(run({"--micro", micro, "--dump", program, "--json"}), kRunStopped) << err.str();
  EXPECT_NE(out.str().find("\"А\":\"0002\""), std::string::npos) << out.str();
  EXPECT_EQ(err.str(), "");
  ASSERT_EQ(run({"--micro", micro, "--dump", program, "--start", "011", "--json"}), kRunStopped);
  EXPECT_NE(out.str().find("\"А\":\"0001\""), std::string::npos) << out.str();
  const std::string upper = write("P.VASM", "START go\nORG 20\nWORD 7\ngo: INC\nHLT\n");
  ASSERT_EQ(run({"--micro", micro, "--dump", upper, "--json"}), kRunStopped);
  EXPECT_NE(out.str().find("\"А\":\"0001\""), std::string::npos) << out.str();
}

TEST_F(SourceRun, AssemblerErrorsAreOneLineEachAndExitTwo) {
  const std::string program = write("bad.vasm", "ORG 10\nFOO\n    ADD 900 ; далеко\n");
  EXPECT_EQ(run({"--micro", micro, "--dump", program, "--json"}), kRunUsageError);
  EXPECT_EQ(err.str(), program + ":2:1: Неизвестная команда «FOO»\n" + program +
                           ":3:9: Адрес 900 вне памяти (000-7FF)\n");
  EXPECT_EQ(out.str(), "");
  const std::string badMicro = write("bad.masm", "01 | | БР := СК\n02 | | GOTO nowhere | куда?\n");
  EXPECT_EQ(run({"--micro", badMicro, "--json"}), kRunUsageError);
  EXPECT_EQ(err.str(), badMicro + ":2:13: Метка «nowhere» нигде не определена\n");
  EXPECT_EQ(run({"--micro", dir / "missing.masm"}), kRunUsageError);
  EXPECT_EQ(err.str().rfind("vesk-run: Не удаётся открыть", 0), 0u) << err.str();
}

TEST(ProgramInput, DumpsStillLoadAsDumpsAndSourcesClearMemoryFirst) {
  vesk::testing::TempDir dir;
  MainMemory memory;
  memory.SetRow(5, NumToBits(0x1234, 16), "было");
  vesk::testing::WriteBytes(dir / "p.vasm", "ORG 1\nWORD 2 ; два\n");
  std::ostringstream err;
  std::optional<int> start;
  ASSERT_TRUE(LoadProgramInput(memory, dir / "p.vasm", err, &start).ok);
  EXPECT_EQ(BitsValue(memory.Value(1)), 2u);
  EXPECT_EQ(memory.Comment(1), "два");
  EXPECT_EQ(BitsValue(memory.Value(5)), 0u);
  EXPECT_EQ(start, 0);
  vesk::testing::WriteBytes(dir / "p.vdmp", "00FFx\r\n");
  ASSERT_TRUE(LoadProgramInput(memory, dir / "p.vdmp", err).ok);
  EXPECT_EQ(BitsValue(memory.Value(0)), 0xFFu);
  EXPECT_EQ(BitsValue(memory.Value(1)), 2u);  // a dump does not clear the rest
  // A source from an editor that saved it in windows-1251.
  vesk::testing::WriteBytes(dir / "old.vasm", "WORD 3 ; \xF2\xF0\xE8\n");
  ASSERT_TRUE(LoadProgramInput(memory, dir / "old.vasm", err).ok);
  EXPECT_EQ(memory.Comment(0), "три");
  EXPECT_EQ(err.str(), "");
}

}  // namespace
