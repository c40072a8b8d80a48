#include "app/runner.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <future>
#include <regex>
#include <sstream>
#include <string>

#include "memory/micro_memory.h"
#include "app/runner_fixture.h"
#include "memory/micro_program_file.h"
#include "support/bound_socket.h"
#include "support/temp_dir.h"
#include "support/tiny_micro_program.h"
#include "util/cp1251.h"

using namespace vesk;

namespace {

using RunnerFixture = vesk::testing::TinyRunnerFixture;

}  // namespace

TEST(RunnerArgs, ValuesAndMistakes) {
  auto [o, why] = ParseRunnerArgs({"--micro", "m", "--start", "01a", "--mode", "full", "--io", "5=41:1", "--io",
                                   "ff=7", "--interrupt-after", "3", "--max-micro", "10", "--json"});
  ASSERT_TRUE(o) << why;
  EXPECT_EQ(o->start, "01A");
  EXPECT_EQ(o->mode, 1);
  ASSERT_EQ(o->io.size(), 2u);
  EXPECT_EQ(o->io[0].address, 5);
  EXPECT_EQ(o->io[0].data, "01000001");
  EXPECT_EQ(o->io[0].flag, 1);
  EXPECT_EQ(o->io[1].address, 255);
  EXPECT_EQ(o->io[1].flag, -1);
  EXPECT_EQ(*o->interruptAfter, 3);
  EXPECT_EQ(o->maxMicro, 10);
  EXPECT_TRUE(o->json);
  for (const std::vector<std::string>& bad :
       std::vector<std::vector<std::string>>{{"--bogus"}, {"--micro"}, {"--mode", "slow"}, {"--start", "8000"},
                                             {"--start", "xyz"}, {"--io", "100=1"}, {"--io", "5=41:2"},
                                             {"--io", "5"}, {"--max-commands", "-1"}, {"--max-micro", "1e6"}}) {
    auto [none, reason] = ParseRunnerArgs(bad);
    EXPECT_FALSE(none) << bad[0];
    EXPECT_FALSE(reason.empty());
  }
}

TEST_F(RunnerFixture, StartAddressesAbove7FFAreRefusedAndNothingRuns) {
  const std::string d = dump("p.vdmp", {"F000"});
  const std::string saved = dir.file("out.vdmp");
  for (const char* bad : {"800", "fff", "FFF", "0800", "-1", "7F G"}) {
    EXPECT_EQ(run({"--micro", micro, "--dump", d, "--start", bad, "--save-dump", saved, "--json"}), kRunUsageError)
        << bad;
    EXPECT_NE(err.str().find("7FF"), std::string::npos) << err.str();
    EXPECT_EQ(out.str(), "");
    EXPECT_FALSE(std::filesystem::exists(saved)) << bad;
  }
  // The last word is a start address like any other (bit 11 is not dropped).
  for (const char* good : {"7FF", "7ff", "000", "1", ""}) {
    auto [options, why] = ParseRunnerArgs({"--start", good});
    ASSERT_TRUE(options) << good << ": " << why;
  }
  std::vector<std::string> words(2048, "0000");
  words[0x7FF] = "F000";
  EXPECT_EQ(run({"--micro", micro, "--dump", dump("end.vdmp", words), "--start", "7ff", "--json"}), kRunStopped)
      << err.str();
  EXPECT_NE(out.str().find("\"А\":\"0000\""), std::string::npos) << "only the HLT at 7FF ran: " << out.str();
  EXPECT_NE(out.str().find("\"commands\":1,"), std::string::npos) << out.str();
}

TEST_F(RunnerFixture, RunsToHaltAndPrintsTheState) {
  const std::string d = dump("p.vdmp", {"0000", "0000", "F000"});
  EXPECT_EQ(run({"--micro", micro, "--dump", d, "--io", "05=41:1", "--json"}), kRunStopped) << err.str();
  EXPECT_EQ(out.str(),
            "{\"А\":\"0002\",\"РД\":\"F000\",\"РК\":\"F000\",\"СК\":\"0003\",\"РА\":\"0002\",\"КР\":\"0000\","
            "\"БР\":\"00000\",\"РС\":\"0000\",\"РМК\":\"8301\",\"СчМК\":\"01\",\"С\":\"0\",\"N\":\"0\",\"Z\":\"0\","
            "\"commands\":3,\"micro_commands\":34,\"stopped\":true,"
            "\"controllers\":{\"05\":{\"flag\":1,\"data\":\"41\",\"device\":\" - \"}},\"breakpoint\":\"\"}\n");
  EXPECT_EQ(err.str(), "");
}

TEST_F(RunnerFixture, BreakpointsStopTheRunAtTheFirstHit) {
  const std::string d = dump("p.vdmp", {"0000", "4020", "0000", "0000", "F000"});
  auto has = [this](const std::string& text) { return out.str().find(text) != std::string::npos; };
  EXPECT_EQ(run({"--micro", micro, "--dump", d, "--break", "003", "--break", "002", "--json"}), kRunStopped);
  EXPECT_TRUE(has("\"СК\":\"0002\"") && has("\"stopped\":true") && has(",\"breakpoint\":\"002\"}\n")) << out.str();
  // Inside the first command, before the micro-command at 0A (А + 1).
  EXPECT_EQ(run({"--micro", micro, "--dump", d, "--micro-break", "0a", "--json"}), kRunStopped);
  EXPECT_TRUE(has("\"СчМК\":\"0A\"") && has("\"А\":\"0000\"") && has("\"breakpoint\":\"МК 0A\"")) << out.str();
  // After the command that writes 020 (and 021).
  EXPECT_EQ(run({"--micro", micro, "--dump", d, "--watch", "021", "--json"}), kRunStopped);
  EXPECT_TRUE(has("\"СК\":\"0002\"") && has("\"breakpoint\":\"W 021\"") && has("\"commands\":2,")) << out.str();
  // None hit: the run ends as without them.
  EXPECT_EQ(run({"--micro", micro, "--dump", d, "--watch", "030", "--watch-io", "05", "--json"}), kRunStopped);
  EXPECT_TRUE(has("\"СК\":\"0005\"") && has("\"breakpoint\":\"\"}")) << out.str();

  for (const auto& [option, value] : std::vector<std::pair<std::string, std::string>>{
           {"--break", "800"}, {"--micro-break", "00"}, {"--micro-break", "100"}, {"--watch", "zz"},
           {"--watch-io", "0100"}, {"--break", ""}}) {
    EXPECT_EQ(run({"--micro", micro, "--dump", d, option, value, "--json"}), kRunUsageError) << option << " " << value;
    EXPECT_NE(err.str().find(option + " takes"), std::string::npos) << err.str();
    EXPECT_EQ(out.str(), "");
  }
}

TEST_F(RunnerFixture, LimitsAndExitStatus) {
  const std::string loop = dump("loop.vdmp", {});  // all 0000: increments forever
  EXPECT_EQ(run({"--micro", micro, "--dump", loop, "--max-commands", "5", "--json"}), kRunLimitReached);
  EXPECT_NE(out.str().find("\"commands\":5,"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("\"stopped\":false"), std::string::npos);
  // The tick that logs the N-th micro-command line runs to its end.
  EXPECT_EQ(run({"--micro", micro, "--dump", loop, "--max-micro", "7", "--json"}), kRunLimitReached);
  EXPECT_NE(out.str().find("\"micro_commands\":7,"), std::string::npos);
  // A limit reached in the tick in which the machine stops still counts as stopped.
  const std::string halt = dump("halt.vdmp", {"F000"});
  EXPECT_EQ(run({"--micro", micro, "--dump", halt, "--max-commands", "1"}), kRunStopped);
}

TEST_F(RunnerFixture, FullPeriodModeGivesTheSameResult) {
  const std::string d = dump("p.vdmp", {"0000", "F000"});
  EXPECT_EQ(run({"--micro", micro, "--dump", d, "--mode", "full", "--json"}), kRunStopped);
  EXPECT_NE(out.str().find("\"А\":\"0001\""), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("\"micro_commands\":22,"), std::string::npos);
}

TEST_F(RunnerFixture, FilesThatCannotBeReadOrWrittenExitTwoAndWriteNothing) {
  EXPECT_EQ(run({"--micro", dir.file("missing.mpdmp")}), kRunUsageError);
  EXPECT_NE(err.str().find("missing.mpdmp"), std::string::npos);
  EXPECT_EQ(run({"--micro", micro, "--dump", dir.file("nope.vdmp"), "--json"}), kRunUsageError);
  EXPECT_EQ(out.str(), "");
  const std::string d = dump("p.vdmp", {"F000"});
  const std::string trace = dir.file("t.html");
  EXPECT_EQ(run({"--micro", micro, "--dump", d, "--trace", trace, "--save-dump", dir.file("no/such/dir.vdmp")}),
            kRunUsageError);
  EXPECT_FALSE(std::filesystem::exists(trace));
  // Without --micro the program looks for the micro-program shipped beside it.
  EXPECT_EQ(run({"--dump", d}), kRunUsageError);
  EXPECT_NE(err.str().find("vesk.mpdmp"), std::string::npos);
  std::filesystem::copy_file(micro, dir.file("vesk.mpdmp"));
  EXPECT_EQ(run({"--dump", d}), kRunStopped);
}

TEST_F(RunnerFixture, ExportsBothTracesByteForByte) {
  const std::string d = dump("p.vdmp", {"4100", "F000"});
  const std::string trace = dir.file("trace.html"), micro_trace = dir.file("micro.html"), saved = dir.file("out.vdmp");
  ASSERT_EQ(run({"--micro", micro, "--dump", d, "--trace", trace, "--micro-trace", micro_trace, "--save-dump", saved}),
            kRunStopped)
      << err.str();
  const std::string head =
      "<html><head><meta http-equiv='Content-Type' content='text/html; charset=windows-1251'><title>Таблица "
      "трассировки</title></head><body>\r\n<table border=1>\r\n";
  const std::string commandHtml = Cp1251ToUtf8(vesk::testing::ReadBytes(trace));
  const std::string expectedCommands =
      head +
      "<tr><td colspan=2>Команда</td><td colspan=6>Регистры процессора после выполнения команды</td><td "
      "colspan=2>Измененная ячейка памяти</td></tr>\r\n"
      "<tr><td>Адрес</td><td>Код</td><td>СК</td><td>РА</td><td>РК</td><td>РД</td><td>А</td><td>С</td><td>Адрес</"
      "td><td>Новое значение</td></tr>\r\n"
      "<tr></tr>\r\n"
      "<tr><td></td><td>START</td><td>0000</td><td>0000</td><td>0000</td><td>0000</td><td>0000</td><td>0</td><td></"
      "td><td></td></tr>\r\n"
      "<tr><td>0000</td><td>4100 | 0100.0001.0000.0000 | ADD 100</td><td>0001</td><td>0101</td><td>4100</"
      "td><td>4100</td><td>0000</td><td>0</td><td>(W) 0101</td><td>4100</td></tr>\r\n"
      "<tr><td>0001</td><td>F000 | 1111.0000.0000.0000 | HLT</td><td>0002</td><td>0001</td><td>F000</td><td>F000</"
      "td><td>0000</td><td>0</td><td></td><td></td></tr>\r\n"
      "</table>\r\n</body></html>\r\n";
  const std::regex start(" --- Program has started \\d\\d-\\d\\d-\\d{4} at \\d\\d:\\d\\d:\\d\\d --- ");
  EXPECT_EQ(std::regex_replace(commandHtml, start, "START"), expectedCommands);
  // The bytes on disk are windows-1251: "Таблица" is D2 E0 E1 EB E8 F6 E0.
  EXPECT_NE(vesk::testing::ReadBytes(trace).find("\xD2\xE0\xE1\xEB\xE8\xF6\xE0"), std::string::npos);

  const std::string microHtml = Cp1251ToUtf8(vesk::testing::ReadBytes(micro_trace));
  EXPECT_EQ(microHtml.rfind(head +
                                "<tr><td rowspan=2>СчМК до выборки МК</td><td colspan=11>Регистры процессора после "
                                "выбокри и исполнения МК</td><td rowspan=2>Комментарий</td></tr>\r\n"
                                "<tr><td>РМК</td><td>СК</td><td>РА</td><td>РК</td><td>РД</td><td>А</td><td>С</"
                                "td><td>БР</td><td>N</td><td>Z</td><td>СчМК</td></tr>\r\n<tr></tr>\r\n"
                                "<tr><td>01</td><td>0300</td><td>0000</td><td>0000</td><td>0000</td><td>0000</"
                                "td><td>0000</td><td>0</td><td>00000</td><td>0</td><td>0</td><td>02</td><td>СК-&gt;БР</td></tr>\r\n",
                            0),
            0u)
      << microHtml.substr(0, 1200);
  // The comment with markup in it is escaped.
  EXPECT_NE(microHtml.find("<td>Запись &lt;первая&gt; &amp; ещё</td>"), std::string::npos);
  std::size_t rows = 0;
  for (std::size_t p = 0; (p = microHtml.find("<tr><td>", p)) != std::string::npos; ++p) ++rows;
  EXPECT_EQ(rows, 16u + 10u + 1u);  // the write command, HLT, and the second header row
  EXPECT_EQ(microHtml.substr(microHtml.size() - 26), "</table>\r\n</body></html>\r\n");

  const std::string dumpBytes = vesk::testing::ReadBytes(saved);
  EXPECT_EQ(dumpBytes.substr(0, 12), "4100\r\nF000\r\n");
  EXPECT_EQ(dumpBytes.substr(0x100 * 6, 12), "4100\r\n4100\r\n");
}

TEST_F(RunnerFixture, InterruptRequestIsRaisedBetweenTicks) {
  const std::string d = dump("p.vdmp", {"0000", "0000", "F000"});
  EXPECT_EQ(run({"--micro", micro, "--dump", d, "--interrupt-after", "1", "--json"}), kRunStopped);
  // The tiny micro-program ignores interrupts: the request stays set in РС bit 5.
  EXPECT_NE(out.str().find("\"РС\":\"0020\""), std::string::npos) << out.str();
}

TEST_F(RunnerFixture, MachineErrorsAreReportedAndExitFour) {
  // A micro-program that runs off its end reaches micro-address 00.
  MicroMemory empty;
  const std::string zeros = dir.file("zeros.mpdmp");
  ASSERT_TRUE(SaveMicroProgram(empty, zeros).ok);
  EXPECT_EQ(run({"--micro", zeros, "--json"}), kRunMachineError);
  EXPECT_NE(err.str().find("Error #9"), std::string::npos) << err.str();
  // The same Russian description the window program's box shows.
  EXPECT_NE(err.str().find("Индекс вне диапазона: в микропамяти нет адреса '00'"), std::string::npos) << err.str();
  EXPECT_EQ(err.str().find("Subscript"), std::string::npos) << err.str();
  EXPECT_NE(out.str().find("\"stopped\":true"), std::string::npos);
  EXPECT_NE(out.str().find("\"micro_commands\":255,"), std::string::npos);
}

TEST(RunnerArgs, EmptyFileNamesAreRefused) {
  for (const char* option : {"--micro", "--dump", "--trace", "--micro-trace", "--save-dump"}) {
    auto [none, reason] = ParseRunnerArgs({option, ""});
    EXPECT_FALSE(none) << option;
    EXPECT_EQ(reason, std::string("option ") + option + " needs a file name, not an empty text");
  }
}

namespace {

// Lowers the file-size limit of this process for the life of the object;
// SIGXFSZ is ignored meanwhile, as vesk-run ignores it, so writes past the
// limit fail with "файл слишком велик".
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    old_ = ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved_;
    small.rlim_cur = bytes;
    ok_ = ::setrlimit(RLIMIT_FSIZE, &small) == 0;
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    ::signal(SIGXFSZ, old_);
  }
  bool ok() const { return ok_; }

 private:
  struct rlimit saved_ {};
  void (*old_)(int) = nullptr;
  bool ok_ = false;
};

}  // namespace

// Exit 2 writes nothing: the trace is complete before the dump is written,
// but it replaces its old file only once the dump has been written too.
TEST_F(RunnerFixture, AFailingDumpLeavesTheTraceAsItWas) {
  std::string words;
  for (int a = 0; a < 2048; ++a) words += (a == 0 ? "F000" : "0000") + std::string(40, 'c') + "\r\n";
  vesk::testing::WriteBytes(dir.file("long.vdmp"), words);
  const std::string trace = dir.file("t.html"), saved = dir.file("out.vdmp");
  vesk::testing::WriteBytes(trace, "old trace");
  vesk::testing::WriteBytes(saved, "old dump");
  int status = -1;
  {
    FileSizeLimit limit(50000);  // the trace fits, the 94 KB dump does not
    ASSERT_TRUE(limit.ok());
    status = run({"--micro", micro, "--dump", dir.file("long.vdmp"), "--trace", trace, "--save-dump", saved});
  }
  EXPECT_EQ(status, kRunUsageError);
  EXPECT_EQ(err.str(), "vesk-run: Не удаётся сохранить '" + saved + "': файл слишком велик\n");
  EXPECT_EQ(vesk::testing::ReadBytes(trace), "old trace");
  EXPECT_EQ(vesk::testing::ReadBytes(saved), "old dump");
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"long.vdmp", "out.vdmp", "t.html", "tiny.mpdmp"}));
}

// A streamed export that cannot be written stops the run within 64 KiB of
// the failure, instead of running on to the limit.
TEST_F(RunnerFixture, AFullDiskStopsTheRunAtOnce) {
  const std::string loop = dump("loop.vdmp", {});
  const std::string traced = dir.file("m.html");
  int status = -1;
  {
    FileSizeLimit limit(1 << 20);
    ASSERT_TRUE(limit.ok());
    status = run({"--micro", micro, "--dump", loop, "--micro-trace", traced, "--max-micro", "2000000"});
  }
  EXPECT_EQ(status, kRunUsageError);
  std::smatch found;
  const std::string message = err.str();
  ASSERT_TRUE(std::regex_search(message, found,
                                std::regex("^vesk-run: Не удаётся сохранить '.*m\\.html': файл слишком велик \\(the run stopped "
                                           "after \\d+ commands and (\\d+) micro-commands\\)\n$")))
      << message;
  // About 150 bytes a row: 1 MiB is some 7000 rows, far from the 2000000 allowed.
  EXPECT_LT(std::stoll(found[1]), 20000) << message;
  EXPECT_FALSE(std::filesystem::exists(traced));
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"loop.vdmp", "tiny.mpdmp"}));
}

TEST_F(RunnerFixture, ATraceGoesStraightIntoAFifoAndASocketIsRefused) {
  const std::string d = dump("p.vdmp", {"0000", "F000"});
  const std::string fifo = dir.file("trace.fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  auto reader = std::async(std::launch::async, [&fifo] {
    std::string got;
    const int fd = ::open(fifo.c_str(), O_RDONLY | O_CLOEXEC);
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) got.append(buffer, static_cast<std::size_t>(n));
    ::close(fd);
    return got;
  });
  ASSERT_EQ(run({"--micro", micro, "--dump", d, "--trace", fifo}), kRunStopped) << err.str();
  const std::string html = reader.get();
  EXPECT_EQ(html.rfind("<html>", 0), 0u);
  EXPECT_EQ(html.substr(html.size() - 16), "</body></html>\r\n");
  struct stat st {};
  ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));

  const std::string socketPath = dir.file("s");
  const vesk::testing::BoundSocket socket(socketPath);
  ASSERT_TRUE(socket.ok());
  const std::string trace = dir.file("t.html");
  EXPECT_EQ(run({"--micro", micro, "--dump", d, "--trace", trace, "--save-dump", socketPath}), kRunUsageError);
  EXPECT_EQ(err.str(), "vesk-run: Не удаётся сохранить '" + socketPath + "': это сокет, в него нельзя сохранить\n");
  EXPECT_FALSE(std::filesystem::exists(trace));
  ASSERT_EQ(::lstat(socketPath.c_str(), &st), 0);
  EXPECT_TRUE(S_ISSOCK(st.st_mode));
}
