// The examples through vesk-run as a teacher would run them: the bundled
// micro-program beside the executables (no --micro), the dump, and the
// memory saved afterwards.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

#include "app/runner.h"
#include "asm/program_assembler.h"
#include "common/file_io.h"
#include "format/bit_string.h"
#include "memory/dump_file.h"

namespace vesk::testing {
namespace {

class RunnerExampleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved = (std::filesystem::temp_directory_path() /
             ("vesk_runner_" + std::to_string(::getpid()) + "_" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".vdmp"))
                .string();
  }
  void TearDown() override { std::filesystem::remove(saved); }

  // Runs examples/<name>.vdmp with the extra arguments; returns the exit status.
  int Run(const std::string& name, std::vector<std::string> extra = {}) {
    const std::string base = std::string(VESK_EXAMPLES_DIR) + "/" + name;
    const auto source = tools::ReadWholeFile(base + ".vasm");
    EXPECT_TRUE(source);
    program = AssembleProgram(source ? *source : "");
    EXPECT_TRUE(program.ok()) << base << ".vasm does not assemble";
    const FileResult original = Mem_LoadDump(before, base + ".vdmp");
    EXPECT_TRUE(original.ok) << original.error;
    std::vector<std::string> args = {"--dump", base + ".vdmp", "--save-dump", saved, "--json"};
    args.insert(args.end(), extra.begin(), extra.end());
    const auto [options, why] = ParseRunnerArgs(args);
    EXPECT_TRUE(options) << why;
    if (!options) return -1;
    std::ostringstream out, err;
    const int status = RunHeadless(*options, ProgramDirectory(), out, err);
    json = out.str();
    EXPECT_EQ(err.str(), "");
    const FileResult after_ = Mem_LoadDump(after, saved);
    EXPECT_TRUE(after_.ok) << after_.error;
    return status;
  }
  std::uint16_t Before(const std::string& label) const { return Word16(before, program.labels.at(label)); }
  std::uint16_t After(const std::string& label) const { return Word16(after, program.labels.at(label)); }
  static std::uint16_t Word16(const MainMemory& m, int address) {
    return static_cast<std::uint16_t>(BitsValue(m.Value(address)));
  }

  std::string saved, json;
  ProgramAssembly program;
  MainMemory before, after;
};

TEST_F(RunnerExampleTest, SumMultiplyAndSubroutineStopWithTheirResults) {
  ASSERT_EQ(Run("sum"), kRunStopped);
  EXPECT_NE(json.find("\"stopped\":true"), std::string::npos) << json;
  std::uint16_t sum = 0;
  for (int i = 0; i < static_cast<std::uint16_t>(-Before("count")); ++i)
    sum = static_cast<std::uint16_t>(sum + Word16(before, program.labels.at("arr") + i));
  EXPECT_EQ(After("sum"), sum);

  ASSERT_EQ(Run("multiply"), kRunStopped);
  EXPECT_EQ(After("p"), static_cast<std::uint16_t>(Before("x") * Before("y")));

  ASSERT_EQ(Run("subroutine"), kRunStopped);
  auto magnitude = [](std::uint16_t v) { return (v & 0x8000) ? static_cast<std::uint16_t>(-v) : v; };
  EXPECT_EQ(After("r"), static_cast<std::uint16_t>(magnitude(Before("va")) + magnitude(Before("vb")) +
                                                   magnitude(Before("vc"))));
}

TEST_F(RunnerExampleTest, PrintLeavesTheLastCharacterInController02) {
  ASSERT_EQ(Run("print"), kRunStopped);
  int last = program.labels.at("text");
  while (Word16(before, last + 1) != 0) ++last;
  std::ostringstream expected;
  expected << "\"02\":{\"flag\":0,\"data\":\"" << std::hex << std::uppercase << std::setw(2)
           << std::setfill('0') << Word16(before, last) << "\"";
  EXPECT_NE(json.find(expected.str()), std::string::npos) << json;
}

TEST_F(RunnerExampleTest, InputTakesAnEnterOfferedBeforeTheStart) {
  ASSERT_EQ(Run("input", {"--io", "03=0D:1"}), kRunStopped);
  EXPECT_EQ(Word16(after, program.labels.at("buf")), 0x000D);
  EXPECT_EQ(After("ptr"), program.labels.at("buf") + 1);
  EXPECT_NE(json.find("\"03\":{\"flag\":0,\"data\":\"0D\""), std::string::npos) << json;
}

TEST_F(RunnerExampleTest, InputWithoutADeviceWaitsUntilTheLimit) {
  EXPECT_EQ(Run("input", {"--max-commands", "500"}), kRunLimitReached);
  EXPECT_EQ(After("ptr"), program.labels.at("buf"));
}

TEST_F(RunnerExampleTest, InterruptIsCountedAndTheSumStaysRight) {
  ASSERT_EQ(Run("interrupt", {"--interrupt-after", "40"}), kRunStopped);
  std::uint32_t expected = 0;
  const int n = static_cast<std::uint16_t>(-Before("n"));
  for (int i = 0; i < n; ++i) expected += (Before("k") + static_cast<std::uint32_t>(i)) & 0xFFFF;
  EXPECT_EQ((static_cast<std::uint32_t>(After("hi")) << 16) | After("lo"), expected);
  EXPECT_EQ(After("ticks"), 1);
  EXPECT_NE(json.find("\"04\":{\"flag\":0,\"data\":\"01\""), std::string::npos) << json;
}

}  // namespace
}  // namespace vesk::testing
