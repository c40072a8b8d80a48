// vesk-run --batch: a class's submissions judged by one expectations file.
#include "app/batch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "app/runner.h"
#include "app/runner_fixture.h"
#include "memory/micro_program_file.h"
#include "support/temp_dir.h"
#include "support/tiny_micro_program.h"
#include "util/cp1251.h"

using namespace vesk;

namespace {

struct BatchFixture : vesk::testing::TinyRunnerFixture {
  void SetUp() override {
    TinyRunnerFixture::SetUp();
    std::filesystem::create_directory(dir.file("subs"));
  }
  std::vector<std::string> lines() const {
    std::vector<std::string> all;
    std::istringstream in(out.str());
    for (std::string line; std::getline(in, line);) all.push_back(line);
    return all;
  }
  bool startsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }
};

TEST_F(BatchFixture, GoodWrongBrokenAndUnreadableSubmissionsEachGetTheirVerdict) {
  const std::string subs = dir.file("subs");
  dump("subs/good.vdmp", {"0000", "0000", "0000", "F000"});
  dump("subs/UPPER.VDMP", {"0000", "0000", "0000", "F000"});
  dump("subs/wrong.vdmp", {"0000", "0000", "F000"});
  file("subs/garbage.vdmp", "hello\r\n");  // loads what its hex digits give, then runs on
  file("subs/broken.vasm", "        BOGUS 1\n");
  std::filesystem::create_directory(dir.file("subs/dir.vdmp"));
  file("subs/notes.txt", "not a submission");
  const std::string expect = file("lab.json", R"({"А": "3", "stopped": true})");
  const std::string report = dir.file("report.csv");
  const std::string missing = dir.file("missing.vdmp");

  ASSERT_EQ(run({"--micro", micro, "--max-commands", "100", "--expect", expect, "--batch", subs, "--batch", missing,
                 "--report", report}),
            kRunNotAsExpected)
      << err.str();
  EXPECT_EQ(err.str(), "");
  const std::vector<std::string> got = lines();
  ASSERT_EQ(got.size(), 8u) << out.str();
  EXPECT_EQ(got[0], subs + "/UPPER.VDMP: passed, 4 commands");
  EXPECT_TRUE(startsWith(got[1], subs + "/broken.vasm: unreadable; " + subs + "/broken.vasm:1:")) << got[1];
  EXPECT_TRUE(startsWith(got[2], subs + "/dir.vdmp: unreadable; ")) << got[2];
  EXPECT_NE(got[2].find("dir.vdmp'"), std::string::npos) << got[2];
  EXPECT_EQ(got[3], subs + "/garbage.vdmp: failed, 100 commands; stopped: expected true, got false (1 more)");
  EXPECT_EQ(got[4], subs + "/good.vdmp: passed, 4 commands");
  EXPECT_EQ(got[5], subs + "/wrong.vdmp: failed, 3 commands; register А: expected 0003, got 0002");
  EXPECT_TRUE(startsWith(got[6], missing + ": unreadable; ")) << got[6];
  EXPECT_EQ(got[7], "7 submissions: 2 passed, 2 failed, 3 unreadable");

  // The report: the same rows, windows-1251, CR LF.
  const std::string bytes = vesk::testing::ReadBytes(report);
  EXPECT_NE(bytes.find("register \xC0: expected"), std::string::npos);
  std::vector<std::string> rows;
  const std::string csv = Cp1251ToUtf8(bytes);
  for (std::size_t begin = 0; begin < csv.size();) {
    const std::size_t end = csv.find("\r\n", begin);
    ASSERT_NE(end, std::string::npos) << "every row ends in CR LF";
    rows.push_back(csv.substr(begin, end - begin));
    begin = end + 2;
  }
  ASSERT_EQ(rows.size(), 8u) << csv;
  EXPECT_EQ(rows[0], "file,verdict,commands,mismatches,first mismatch");
  EXPECT_EQ(rows[1], subs + "/UPPER.VDMP,passed,4,0,");
  EXPECT_TRUE(startsWith(rows[2], subs + "/broken.vasm,unreadable,,," + subs + "/broken.vasm:1:")) << rows[2];
  EXPECT_TRUE(startsWith(rows[3], subs + "/dir.vdmp,unreadable,,,")) << rows[3];
  EXPECT_EQ(rows[4], subs + "/garbage.vdmp,failed,100,2,\"stopped: expected true, got false\"");
  EXPECT_EQ(rows[5], subs + "/good.vdmp,passed,4,0,");
  EXPECT_EQ(rows[6], subs + "/wrong.vdmp,failed,3,1,\"register А: expected 0003, got 0002\"");
  EXPECT_TRUE(startsWith(rows[7], missing + ",unreadable,,,")) << rows[7];
}

TEST_F(BatchFixture, AllPassedIsExitZeroAndEveryRunStartsFromTheLabsState) {
  // The lab: the tiny micro-program and controller 05 holding 41, saved
  // as a state; no micro-program lies beside the program, so only the
  // state's can run the submissions.
  const std::string lab = dir.file("lab.vstate");
  ASSERT_EQ(run({"--micro", micro, "--dump", dump("halt.vdmp", {"F000"}), "--io", "05=41:1", "--save-state", lab}),
            kRunStopped)
      << err.str();
  for (int i = 0; i < 5; ++i) dump("subs/s" + std::to_string(i) + ".vdmp", {"0000", "0000", "0000", "F000"});
  const std::string expect =
      file("lab.json", R"({"А": "0003", "controllers": {"05": {"flag": 1, "data": "41"}}, "max_commands": 4})");
  const std::string subs = dir.file("subs") + "/";
  ASSERT_EQ(run({"--state", lab, "--expect", expect, "--batch", subs}), kRunStopped) << err.str() << out.str();
  std::string want;
  for (int i = 0; i < 5; ++i) want += subs + "s" + std::to_string(i) + ".vdmp: passed, 4 commands\n";
  EXPECT_EQ(out.str(), want + "5 submissions: 5 passed, 0 failed, 0 unreadable\n");
  // Without the state the shipped micro-program is missing: the batch does not start.
  EXPECT_EQ(run({"--expect", expect, "--batch", subs}), kRunUsageError);
  EXPECT_NE(err.str().find("vesk.mpdmp"), std::string::npos) << err.str();
  EXPECT_EQ(out.str(), "");
}

TEST_F(BatchFixture, WhatStopsTheBatchBeforeItStarts) {
  dump("subs/a.vdmp", {"F000"});
  const std::string subs = dir.file("subs");
  const std::string expect = file("lab.json", R"({"stopped": true})");
  const std::string report = dir.file("no/such/folder/report.csv");
  EXPECT_EQ(run({"--micro", micro, "--expect", expect, "--batch", subs, "--report", report}), kRunUsageError);
  EXPECT_NE(err.str().find("report.csv"), std::string::npos) << err.str();
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(run({"--micro", micro, "--expect", file("bad.json", "{\"stoped\": true}"), "--batch", subs}),
            kRunUsageError);
  EXPECT_NE(err.str().find("unknown key «stoped»"), std::string::npos) << err.str();
  std::filesystem::create_directory(dir.file("empty"));
  EXPECT_EQ(run({"--micro", micro, "--expect", expect, "--batch", dir.file("empty")}), kRunUsageError);
  EXPECT_NE(err.str().find("no submissions"), std::string::npos) << err.str();
  EXPECT_EQ(run({"--micro", dir.file("none.mpdmp"), "--expect", expect, "--batch", subs}), kRunUsageError);
  EXPECT_NE(err.str().find("none.mpdmp"), std::string::npos) << err.str();
  EXPECT_EQ(out.str(), "");

  const std::pair<std::vector<std::string>, const char*> refused[] = {
      {{"--batch", subs}, "--batch needs --expect"},
      {{"--report", report, "--expect", expect}, "--report needs --batch"},
      {{"--batch", subs, "--expect", expect, "--dump", "x.vdmp"}, "--dump cannot be used with --batch"},
      {{"--batch", subs, "--expect", expect, "--json"}, "--json cannot be used with --batch"},
      {{"--batch", subs, "--expect", expect, "--save-state", "s.vstate"}, "--save-state cannot be used"},
      {{"--batch", subs, "--expect", expect, "--trace", "t.html"}, "--trace cannot be used"},
      {{"--batch", ""}, "needs a file name"},
  };
  for (const auto& [args, why] : refused) {
    const auto [options, reason] = ParseRunnerArgs(args);
    EXPECT_FALSE(options) << args[0];
    EXPECT_NE(reason.find(why), std::string::npos) << reason;
  }
}

TEST(BatchReport, QuotesFieldsAsCsvDoes) {
  BatchResult r;
  r.name = "a,\"b\".vdmp";
  r.verdict = BatchResult::Verdict::Failed;
  r.commands = 1;
  r.mismatches = {"cell 020: expected 0037, got 0036", "stopped: expected true, got false"};
  EXPECT_EQ(BatchCsv({r}),
            "file,verdict,commands,mismatches,first mismatch\r\n"
            "\"a,\"\"b\"\".vdmp\",failed,1,2,\"cell 020: expected 0037, got 0036\"\r\n");
  EXPECT_EQ(BatchLine(r), "a,\"b\".vdmp: failed, 1 command; cell 020: expected 0037, got 0036 (1 more)");
  EXPECT_EQ(BatchSummary({r}), "1 submission: 0 passed, 1 failed, 0 unreadable");
}

}  // namespace
