// Expectations files: the reader, the check, and vesk-run --expect.
#include "app/expectations.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "app/machine.h"
#include "app/runner.h"
#include "app/runner_fixture.h"
#include "memory/micro_program_file.h"
#include "support/temp_dir.h"
#include "support/tiny_micro_program.h"
#include "util/cp1251.h"

using namespace vesk;

namespace {

Expectations Read(const std::string& text) {
  const ExpectationsRead r = ParseExpectations(text);
  EXPECT_TRUE(r.ok) << text << ": " << r.error;
  return r.expectations;
}

TEST(ExpectationsReader, ReadsEveryKindOfExpectation) {
  const Expectations e = Read(R"({"Z": "1", "А": "37", "СчМК": "0a", "memory": {"20": "0037", "7ff": "beef"},
      "controllers": {"5": {"flag": 1, "data": "4f"}, "FF": {"flag": "0"}},
      "monitor": "SUM = 55  \r\nOK\n", "stopped": false, "max_commands": 500})");
  ASSERT_EQ(e.registers.size(), 3u);
  // In the order of --json, whatever the file's.
  EXPECT_EQ(e.registers[0].key, "А");
  EXPECT_EQ(e.registers[0].value, "37");
  EXPECT_EQ(e.registers[1].key, "СчМК");
  EXPECT_EQ(e.registers[1].value, "0A");
  EXPECT_EQ(e.registers[2].key, "Z");
  EXPECT_EQ(e.memory, (std::map<int, std::string>{{0x20, "0037"}, {0x7FF, "BEEF"}}));
  ASSERT_EQ(e.controllers.size(), 2u);
  EXPECT_EQ(e.controllers.at(5).flag, 1);
  EXPECT_EQ(e.controllers.at(5).data, "4F");
  EXPECT_EQ(e.controllers.at(255).flag, 0);
  EXPECT_FALSE(e.controllers.at(255).data);
  EXPECT_EQ(e.monitor, "SUM = 55\nOK");
  EXPECT_EQ(e.stopped, false);
  EXPECT_EQ(e.maxCommands, 500);

  const Expectations none = Read("\xEF\xBB\xBF {}");
  EXPECT_TRUE(none.registers.empty() && none.memory.empty() && none.controllers.empty());
  EXPECT_FALSE(none.monitor || none.stopped || none.maxCommands);
}

TEST(ExpectationsReader, RefusesWhatItCannotUseNamingTheKey) {
  const std::pair<const char*, const char*> cases[] = {
      {R"({"A": "0037"})", "unknown key «A»"},  // a Latin A is not the accumulator
      {R"({"commands": 5})", "unknown key «commands»"},
      {R"({"А": 55})", "«А»: must be a text"},
      {R"({"А": "00037G"})", "«А»: must be 1 to 8 hex digits"},
      {R"({"А": ""})", "«А»: must be 1 to 8 hex digits"},
      {R"({"А": "123456789"})", "«А»: must be 1 to 8 hex digits"},
      {R"({"С": "2"})", "«С»: must be \"0\" or \"1\""},
      {R"({"N": 1})", "«N»: must be \"0\" or \"1\""},
      {R"({"memory": {"800": "0000"}})", "«memory» «800»: an address of main memory is 000 to 7FF"},
      {R"({"memory": {"0020": "0000"}})", "«memory» «0020»"},
      {R"({"memory": {"x": "0000"}})", "«memory» «x»"},
      {R"({"memory": {"020": "10000"}})", "«memory» «020»: must be 1 to 4 hex digits"},
      {R"({"memory": ["020"]})", "«memory»: must be an object"},
      {R"({"controllers": {"100": {}}})", "«controllers» «100»: a controller address is 00 to FF"},
      {R"({"controllers": {"05": {"flag": 2}}})", "«controllers» «05» «flag»: must be 0 or 1"},
      {R"({"controllers": {"05": {"data": "100"}}})", "«controllers» «05» «data»: must be 1 to 2 hex digits"},
      {R"({"controllers": {"05": {"device": "Monitor"}}})", "«controllers» «05»: unknown key «device»"},
      {R"({"controllers": {"05": 1}})", "«controllers» «05»: must be an object"},
      {R"({"monitor": ["HI"]})", "«monitor»: must be a text"},
      {R"({"stopped": "true"})", "«stopped»: must be true or false"},
      {R"({"max_commands": -1})", "«max_commands»: must be a whole number"},
      {R"({"max_commands": 1.5})", "«max_commands»: must be a whole number"},
      {R"({"А": "1", "А": "2"})", "key «А» is given twice"},
      {R"({"memory": {"020": "1", "20": "2", "020": "3"}})", "key «020» is given twice"},
      {R"(["А"])", "the file must hold one JSON object"},
      {R"({"А": "0037")", "not JSON"},
      {"", "not JSON"},
      {R"({"max_commands": 1e999})", "not JSON"},
      {"{\"monitor\": \"\xFF\"}", "not JSON"},
  };
  for (const auto& [text, why] : cases) {
    const ExpectationsRead r = ParseExpectations(text);
    EXPECT_FALSE(r.ok) << text;
    EXPECT_NE(r.error.find(why), std::string::npos) << text << " gave: " << r.error;
  }
  // A refusal is readable text even when the file is not.
  const ExpectationsRead notText = ParseExpectations("{\"memory\": {\"80\xD6\": \"0\"}}");
  EXPECT_FALSE(notText.ok);
  EXPECT_TRUE(IsValidUtf8(notText.error)) << notText.error;
  // The same key in two objects is no repeat.
  EXPECT_TRUE(ParseExpectations(R"({"controllers": {"01": {"flag": 1}, "02": {"flag": 1}}})").ok);
}

TEST(ExpectationsReader, NamesTheFileItCannotRead) {
  vesk::testing::TempDir dir;
  const ExpectationsRead missing = LoadExpectations(dir.file("none.json"));
  EXPECT_FALSE(missing.ok);
  EXPECT_NE(missing.error.find("none.json"), std::string::npos) << missing.error;
  vesk::testing::WriteBytes(dir.file("bad.json"), R"({"stopped": 1})");
  const ExpectationsRead bad = LoadExpectations(dir.file("bad.json"));
  EXPECT_EQ(bad.error.substr(0, 30), "expectations '" + dir.file("bad.json").substr(0, 16)) << bad.error;
  EXPECT_NE(bad.error.find("«stopped»"), std::string::npos) << bad.error;
}

TEST(ExpectationsCheck, MonitorTextIsWhatTheProgramWrote) {
  Monitor monitor;
  EXPECT_EQ(MonitorText(monitor), "");  // the fresh screen's marks below the cursor do not count
  for (const char c : std::string("SUM = 55  \rOK")) monitor.Put(static_cast<std::uint8_t>(c));
  EXPECT_EQ(MonitorText(monitor), "SUM = 55\nOK");
  monitor.Put(0x0D);
  EXPECT_EQ(MonitorText(monitor), "SUM = 55\nOK");
  monitor.Put(0xC4);  // windows-1251 Д
  EXPECT_EQ(MonitorText(monitor), "SUM = 55\nOK\nД");
  // A full row of 80 keeps its last character before the row turns.
  Monitor full;
  for (int i = 0; i < 80; ++i) full.Put('x');
  EXPECT_EQ(MonitorText(full), std::string(80, 'x'));
  // An empty line the program printed is empty, not the fresh screen's mark.
  Monitor gap;
  for (const char c : std::string("A\r\rB")) gap.Put(static_cast<std::uint8_t>(c));
  EXPECT_EQ(MonitorText(gap), "A\n\nB");
}

TEST(ExpectationsCheck, ListsEveryDifferenceInAFixedOrder) {
  Machine m;
  m.processor.Reg_Set_A("0000000000110110");  // 0036
  vesk::testing::Poke(m.memory, 0x20, {"0036"});
  m.controllers.Reg_Set_Data("05", "01000001");
  const Expectations e = Read(R"({"А": "0037", "Z": "1", "СК": "000", "memory": {"020": "36", "021": "1"},
      "controllers": {"05": {"flag": 1, "data": "41"}, "06": {"data": "7"}},
      "monitor": "HI", "stopped": true, "max_commands": 0})");
  const std::vector<std::string> got = CheckExpectations(m, e, false);
  const std::vector<std::string> want = {"stopped: expected true, got false",
                                         "register А: expected 0037, got 0036",
                                         "flag Z: expected 1, got 0",
                                         "cell 021: expected 0001, got 0000",
                                         "controller 05 flag: expected 1, got 0",
                                         "controller 06 data: expected 07, got 00",
                                         "monitor line 1: expected \"HI\", got \"\""};
  EXPECT_EQ(got, want);
  EXPECT_TRUE(CheckExpectations(m, Read(R"({"А": "36", "memory": {"20": "0036"}, "stopped": false})"), false).empty());
}

using ExpectRunFixture = vesk::testing::TinyRunnerFixture;

TEST_F(ExpectRunFixture, ExitsZeroWhenEverythingHoldsAndFiveWithTheListWhenNot) {
  // А := 3, then РД (the write command itself, 4020) to 020 and 021.
  const std::string d = dump("p.vdmp", {"0000", "0000", "0000", "4020", "F000"});
  const std::string good = file("good.json", R"({"А": "3", "stopped": true, "max_commands": 5})");
  EXPECT_EQ(run({"--micro", micro, "--dump", d, "--expect", good}), kRunStopped) << err.str();
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(err.str(), "");

  const std::string wrong = file("wrong.json", R"({"А": "0004", "memory": {"020": "4020", "022": "1"},
      "max_commands": 4})");
  EXPECT_EQ(run({"--micro", micro, "--dump", d, "--expect", wrong}), kRunNotAsExpected);
  EXPECT_EQ(out.str(),
            "commands: expected at most 4, got 5\n"
            "register А: expected 0004, got 0003\n"
            "cell 022: expected 0001, got 0000\n");
  // With --json the list is the object's last key, and nothing else is printed.
  EXPECT_EQ(run({"--micro", micro, "--dump", d, "--expect", wrong, "--json"}), kRunNotAsExpected);
  const std::string json = out.str();
  EXPECT_NE(json.find(",\"breakpoint\":\"\",\"mismatches\":[\"commands: expected at most 4, got 5\","
                      "\"register А: expected 0004, got 0003\",\"cell 022: expected 0001, got 0000\"]}\n"),
            std::string::npos)
      << json;
  EXPECT_EQ(json.find('\n'), json.size() - 1);
  EXPECT_EQ(run({"--micro", micro, "--dump", d, "--expect", good, "--json"}), kRunStopped);
  EXPECT_NE(out.str().find("\"mismatches\":[]}"), std::string::npos) << out.str();
  // Without --expect there is no such key.
  EXPECT_EQ(run({"--micro", micro, "--dump", d, "--json"}), kRunStopped);
  EXPECT_EQ(out.str().find("mismatches"), std::string::npos);
}

TEST_F(ExpectRunFixture, ARunThatDoesNotStopOrFailsIsNotAsExpected) {
  const std::string loop = dump("loop.vdmp", {});
  const std::string stops = file("stops.json", R"({"stopped": true})");
  EXPECT_EQ(run({"--micro", micro, "--dump", loop, "--max-commands", "10", "--expect", stops}), kRunNotAsExpected);
  EXPECT_EQ(out.str(), "stopped: expected true, got false\n");
  // Nothing said about stopping: the limit alone is no failure.
  const std::string count = file("count.json", R"({"А": "A"})");
  EXPECT_EQ(run({"--micro", micro, "--dump", loop, "--max-commands", "10", "--expect", count}), kRunStopped)
      << out.str();
  // A machine error is a mismatch of its own.
  MicroMemory empty;  // runs off its end to micro-address 00
  const std::string brokenMicro = dir.file("zeros.mpdmp");
  ASSERT_TRUE(SaveMicroProgram(empty, brokenMicro).ok);
  EXPECT_EQ(run({"--micro", brokenMicro, "--dump", loop, "--max-commands", "10", "--expect", count}),
            kRunNotAsExpected);
  EXPECT_EQ(out.str().substr(0, 15), "machine error: ") << out.str() << err.str();
}

TEST_F(ExpectRunFixture, ABadExpectationsFileIsBadUsageAndNothingRuns) {
  const std::string d = dump("p.vdmp", {"F000"});
  const std::string saved = dir.file("out.vdmp");
  const std::string bad = file("bad.json", R"({"memory": {"020": "00370"}})");
  EXPECT_EQ(run({"--micro", micro, "--dump", d, "--expect", bad, "--save-dump", saved}), kRunUsageError);
  EXPECT_EQ(err.str(), "vesk-run: expectations '" + bad + "': «memory» «020»: must be 1 to 4 hex digits, not \"00370\"\n");
  EXPECT_EQ(out.str(), "");
  EXPECT_FALSE(std::filesystem::exists(saved));
  EXPECT_EQ(run({"--micro", micro, "--dump", d, "--expect", dir.file("missing.json")}), kRunUsageError);
  EXPECT_NE(err.str().find("missing.json"), std::string::npos) << err.str();
}

}  // namespace
