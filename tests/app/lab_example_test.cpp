// The README's lab for teachers (examples/lab): its state file is what the
// README's command makes, and its batch prints what the README shows.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "app/runner.h"
#include "support/temp_dir.h"
#include "util/cp1251.h"

using namespace vesk;

namespace {

const std::string kSource = VESK_SOURCE_DIR;
const std::string kLab = kSource + "/examples/lab";

struct LabExample : ::testing::Test {
  vesk::testing::TempDir dir;
  std::ostringstream out, err;

  int run(std::vector<std::string> args) {
    out.str("");
    err.str("");
    auto [options, why] = ParseRunnerArgs(args);
    if (!options) {
      err << why;
      return kRunUsageError;
    }
    return RunHeadless(*options, kSource + "/microprograms", out, err);
  }
  // The text with the source folder's path taken out, as the README's
  // commands, run from the source folder, print it.
  static std::string Relative(std::string text) {
    for (std::size_t at; (at = text.find(kSource + "/")) != std::string::npos;) text.erase(at, kSource.size() + 1);
    return text;
  }
};

TEST_F(LabExample, TheStateFileIsTheOneTheReadmesCommandMakes) {
  const std::string made = dir.file("lab.vstate");
  ASSERT_EQ(run({"--dump", kLab + "/handout.vasm", "--save-state", made}), kRunStopped) << err.str();
  EXPECT_EQ(vesk::testing::ReadBytes(made), vesk::testing::ReadBytes(kLab + "/lab.vstate"))
      << "make it again with the README's command";
}

TEST_F(LabExample, TheBatchPrintsWhatTheReadmeShows) {
  const std::string marks = dir.file("marks.csv");
  EXPECT_EQ(run({"--state", kLab + "/lab.vstate", "--expect", kLab + "/expect.json", "--batch", kLab + "/submissions",
                 "--max-commands", "1000", "--report", marks}),
            kRunNotAsExpected)
      << err.str();
  const std::string shown =
      "examples/lab/submissions/ivanov.vdmp: passed, 43 commands\n"
      "examples/lab/submissions/kozlov.vasm: unreadable; examples/lab/submissions/kozlov.vasm:4:17: Нет "
      "закрывающей скобки «)»\n"
      "examples/lab/submissions/petrov.vasm: failed, 39 commands; register А: expected 1376, got 1176 (1 more)\n"
      "examples/lab/submissions/sidorov.vasm: failed, 1000 commands; stopped: expected true, got false (2 more)\n"
      "examples/lab/submissions/smirnova.vasm: passed, 42 commands\n"
      "5 submissions: 2 passed, 2 failed, 1 unreadable\n";
  EXPECT_EQ(Relative(out.str()), shown);
  EXPECT_EQ(Relative(Cp1251ToUtf8(vesk::testing::ReadBytes(marks))),
            "file,verdict,commands,mismatches,first mismatch\r\n"
            "examples/lab/submissions/ivanov.vdmp,passed,43,0,\r\n"
            "examples/lab/submissions/kozlov.vasm,unreadable,,,examples/lab/submissions/kozlov.vasm:4:17: Нет "
            "закрывающей скобки «)»\r\n"
            "examples/lab/submissions/petrov.vasm,failed,39,2,\"register А: expected 1376, got 1176\"\r\n"
            "examples/lab/submissions/sidorov.vasm,failed,1000,3,\"stopped: expected true, got false\"\r\n"
            "examples/lab/submissions/smirnova.vasm,passed,42,0,\r\n");
  // The README quotes these lines word for word.
  std::ifstream readme(kSource + "/README.md");
  const std::string text((std::istreambuf_iterator<char>(readme)), std::istreambuf_iterator<char>());
  std::istringstream lines(shown);
  for (std::string line; std::getline(lines, line);) EXPECT_NE(text.find(line), std::string::npos) << line;
  // One submission alone: the whole list.
  EXPECT_EQ(run({"--state", kLab + "/lab.vstate", "--dump", kLab + "/submissions/petrov.vasm", "--expect",
                 kLab + "/expect.json"}),
            kRunNotAsExpected);
  EXPECT_EQ(out.str(), "register А: expected 1376, got 1176\ncell 020: expected 1376, got 1176\n");
  EXPECT_NE(text.find(out.str()), std::string::npos) << "the README shows the list";
}

}  // namespace
