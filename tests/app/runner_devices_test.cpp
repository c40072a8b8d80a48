// vesk-run with devices and no windows, as a child process: the example
// programs print onto a monitor and read a keyboard's queued keys, and every
// mistake in --monitor or --keyboard is exit 2 before anything runs.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "app/runner.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

using namespace vesk;
using vesk::testing::ChildProcess;
using vesk::testing::TempDir;

namespace {

struct Devices : ::testing::Test {
  TempDir dir;
  std::string out, err;

  // Runs vesk-run; its exit status, or -1 when it did not exit normally.
  int Run(const std::vector<std::string>& args) {
    ChildProcess child(VESK_RUN_PATH, args, dir / "out.txt", dir / "err.txt");
    const auto status = child.Wait();
    out = child.Out();
    err = child.Err();
    return status && WIFEXITED(*status) ? WEXITSTATUS(*status) : -1;
  }
  static std::string Example(const std::string& name) { return std::string(VESK_EXAMPLES_DIR) + "/" + name; }

  // The dump's lines ("HHHH" and a comment each).
  static std::vector<std::string> Lines(const std::string& path) {
    std::vector<std::string> lines;
    std::istringstream in(vesk::testing::ReadBytes(path));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  // print.vdmp with its text (one character a word from 030) replaced.
  std::string PrintOf(const std::string& name, const std::string& bytes) {
    std::vector<std::string> lines = Lines(Example("print.vdmp"));
    for (std::size_t i = 0; i <= bytes.size(); ++i) {
      char word[8];
      std::snprintf(word, sizeof word, "%04X", i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0u);
      lines.at(0x30 + i) = std::string(word) + "\r";
    }
    std::string dump;
    for (const std::string& line : lines) dump += line + "\n";
    vesk::testing::WriteBytes(dir / name, dump);
    return dir / name;
  }
  // Words from address 040 of a saved dump, as long as they are not 0.
  std::vector<int> Buffer(const std::string& path) {
    const std::vector<std::string> lines = Lines(path);
    std::vector<int> words;
    for (std::size_t a = 0x40; a < 0x60; ++a) {
      const int w = std::stoi(lines.at(a).substr(0, 4), nullptr, 16);
      if (w == 0) break;
      words.push_back(w);
    }
    return words;
  }
};

TEST_F(Devices, PrintShowsItsTextAfterTheRunAndInTheJson) {
  ASSERT_EQ(Run({"--dump", Example("print.vdmp"), "--monitor", "02"}), kRunStopped) << err;
  EXPECT_EQ(out, "Привет, Vesk!\n");
  EXPECT_EQ(err, "");
  ASSERT_EQ(Run({"--dump", Example("print.vdmp"), "--monitor", "02", "--json"}), kRunStopped) << err;
  const auto json = nlohmann::ordered_json::parse(out);
  EXPECT_EQ(json.back(), "Привет, Vesk!") << "the monitor's text is the last key: " << out;
  EXPECT_EQ(std::prev(json.end()).key(), "monitor");
  EXPECT_EQ(json["controllers"]["02"]["device"], "Monitor");
  EXPECT_EQ(out.find("Привет, Vesk!\n"), std::string::npos) << "with --json only the object is printed";
  // Without a monitor there is no text and no key.
  ASSERT_EQ(Run({"--dump", Example("print.vdmp"), "--json"}), kRunStopped) << err;
  EXPECT_FALSE(nlohmann::ordered_json::parse(out).contains("monitor"));
  // A monitor on another controller sees nothing of 02.
  ASSERT_EQ(Run({"--dump", Example("print.vdmp"), "--monitor", "03"}), kRunStopped) << err;
  EXPECT_EQ(out, "");
}

TEST_F(Devices, TheMonitorKeepsTheScreensRulesAndTheJsonEscapesOddCharacters) {
  // CR starts a row, LF is nothing, 26 rows scroll the first away.
  std::string text = "A\r\nB\rC";
  std::string rows;
  for (int i = 0; i < 25; ++i) rows += "\r" + std::string(1, static_cast<char>('a' + i));
  ASSERT_EQ(Run({"--dump", PrintOf("rows.vdmp", text), "--monitor", "02"}), kRunStopped) << err;
  EXPECT_EQ(out, "A\nB\nC\n");
  ASSERT_EQ(Run({"--dump", PrintOf("scroll.vdmp", "top" + rows), "--monitor", "02"}), kRunStopped) << err;
  std::string expected;
  for (int i = 0; i < 25; ++i) expected += std::string(1, static_cast<char>('a' + i)) + "\n";
  EXPECT_EQ(out, expected) << "\"top\" scrolled away";
  // Quotes, backslashes, control codes and windows-1251 letters.
  ASSERT_EQ(Run({"--dump", PrintOf("odd.vdmp", "\"q\\\x07\xC6\x7F\x98 "), "--monitor", "2", "--json"}), kRunStopped)
      << err;
  EXPECT_NE(out.find(",\"monitor\":\"\\\"q\\\\\\u0007Ж\x7F\xC2\x98\"}\n"), std::string::npos) << out;
}

TEST_F(Devices, InputReadsTheQueuedKeysUntilEnter) {
  const std::string saved = dir / "after.vdmp";
  ASSERT_EQ(Run({"--dump", Example("input.vdmp"), "--keyboard", "03=Hi 1!\\x41\\\\\n", "--save-dump", saved}),
            kRunStopped)
      << err;
  // Letters of either case are their key, ! is the 1 key, \\ the backslash key.
  EXPECT_EQ(Buffer(saved), (std::vector<int>{0x48, 0x49, 0x20, 0x31, 0x31, 0x41, 0xDC, 0x0D}));
  EXPECT_EQ(out, "");
  ASSERT_EQ(Run({"--dump", Example("input.vdmp"), "--keyboard", "03=ab\\x0d", "--json"}), kRunStopped) << err;
  EXPECT_EQ(nlohmann::ordered_json::parse(out)["controllers"]["03"]["device"], "Keyboard");
  // Keys that run out before Enter leave the program waiting.
  ASSERT_EQ(Run({"--dump", Example("input.vdmp"), "--keyboard", "03=ab", "--max-commands", "300",
                 "--save-dump", saved}),
            kRunLimitReached)
      << err;
  EXPECT_EQ(Buffer(saved), (std::vector<int>{0x41, 0x42}));
  // --io comes first: its flag 1 holds the first key back behind its byte.
  ASSERT_EQ(Run({"--dump", Example("input.vdmp"), "--io", "03=37:1", "--keyboard", "03=\r", "--save-dump", saved}),
            kRunStopped)
      << err;
  EXPECT_EQ(Buffer(saved), (std::vector<int>{0x37, 0x0D}));
}

TEST_F(Devices, BothDevicesTogether) {
  // input prints nothing: the monitor's text is empty, and both devices
  // are attached and reported.
  ASSERT_EQ(Run({"--dump", Example("input.vdmp"), "--keyboard", "03=x\n", "--monitor", "02", "--json"}),
            kRunStopped)
      << err;
  const auto json = nlohmann::ordered_json::parse(out);
  EXPECT_EQ(json["monitor"], "");
  EXPECT_EQ(json["controllers"]["02"]["device"], "Monitor");
  EXPECT_EQ(json["controllers"]["03"]["device"], "Keyboard");
}

TEST_F(Devices, MistakesExitTwoBeforeAnythingRuns) {
  const std::string saved = dir / "never.vdmp";
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--monitor", "100"}, "--monitor takes a controller address, 00 to FF, not '100'"},
      {{"--monitor", "x"}, "--monitor takes a controller address, 00 to FF, not 'x'"},
      {{"--monitor", ""}, "--monitor takes a controller address, 00 to FF, not ''"},
      {{"--keyboard", "05"}, "--keyboard takes AA=TEXT"},
      {{"--keyboard", "=AB"}, "--keyboard takes AA=TEXT"},
      {{"--keyboard", "105=AB"}, "--keyboard takes AA=TEXT"},
      {{"--keyboard", "05="}, "--keyboard 05= names no keys"},
      {{"--keyboard", "05=AB\\xZZ"}, "\\x must be followed by two hex digits, not '\\xZZ' (character 3 of the keys)"},
      {{"--keyboard", "05=\\x4"}, "not '\\x4' (character 1 of the keys)"},
      {{"--keyboard", "05=\\x00"}, "\\x00 is no key code (01 to FF) (character 1"},
      {{"--keyboard", "05=a\\n"}, "a backslash starts \\xHH (a key code) or \\\\ (a backslash) (character 2"},
      {{"--keyboard", "05=abЖ"}, "'Ж' (U+0416) is not on the US keyboard; give its key code as \\xHH (character 3"},
      {{"--keyboard", "05=a\tb"}, "U+0009 is typed by no key; give its key code as \\xHH (character 2"},
      {{"--keyboard", "05=a\xC6"}, "the keys are not UTF-8 text (character 2"},
      {{"--keyboard", "05=" + std::string(1025, 'a')}, "1025 keys do not fit the keyboard's queue of 1024"},
      {{"--keyboard", "05=a", "--keyboard", "06=b"}, "the machine has one keyboard: --keyboard may be given once"},
      {{"--keyboard", "05=a", "--keyboard", "05=b"}, "the machine has one keyboard"},
      {{"--monitor", "5", "--keyboard", "05=a"}, "controller 05 cannot hold both the monitor and the keyboard"},
      {{"--keyboard", "0a=a", "--monitor", "0A"}, "controller 0A cannot hold both the monitor and the keyboard"},
  };
  for (const auto& [options, message] : cases) {
    std::vector<std::string> args = {"--dump", Example("print.vdmp"), "--save-dump", saved, "--json"};
    args.insert(args.end(), options.begin(), options.end());
    EXPECT_EQ(Run(args), kRunUsageError) << message;
    EXPECT_EQ(err.rfind("vesk-run: ", 0), 0u) << err;
    EXPECT_NE(err.find(message), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_EQ(out, "") << message;
  }
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"err.txt", "out.txt"})) << "nothing saved";
}

TEST_F(Devices, AStateFilesKeyboardIsTheOneKeyboard) {
  const std::string state = dir / "lab.vstate";
  ASSERT_EQ(Run({"--dump", Example("input.vdmp"), "--keyboard", "03=\r", "--save-state", state}), kRunStopped) << err;
  // Its keyboard stays on 03: another controller cannot have one too...
  EXPECT_EQ(Run({"--state", state, "--keyboard", "04=a"}), kRunUsageError);
  EXPECT_NE(err.find("--keyboard 04: the machine has one keyboard, and the state file puts it on controller 03"),
            std::string::npos)
      << err;
  // ... unless the command line puts a monitor there instead.
  EXPECT_EQ(Run({"--state", state, "--monitor", "03", "--keyboard", "04=a", "--max-commands", "50", "--json"}),
            kRunLimitReached)
      << err;
  const auto json = nlohmann::ordered_json::parse(out);
  EXPECT_EQ(json["controllers"]["03"]["device"], "Monitor");
  EXPECT_EQ(json["controllers"]["04"]["device"], "Keyboard");
  // The state's own keyboard on 03 takes the new keys.
  const std::string saved = dir / "after.vdmp";
  ASSERT_EQ(Run({"--state", state, "--start", "010", "--keyboard", "03=ok\r", "--save-dump", saved}), kRunStopped)
      << err;
  EXPECT_EQ(Buffer(saved), (std::vector<int>{0x0D, 0x4F, 0x4B, 0x0D}));
}

TEST_F(Devices, AStateFilesMonitorPrintsToo) {
  const std::string state = dir / "lab.vstate";
  ASSERT_EQ(Run({"--dump", Example("print.vdmp"), "--monitor", "02", "--max-commands", "1", "--save-state", state}),
            kRunLimitReached)
      << err;
  EXPECT_EQ(out, "") << "one command printed nothing yet";
  ASSERT_EQ(Run({"--state", state}), kRunStopped) << err;
  EXPECT_EQ(out, "Привет, Vesk!\n");
}

TEST(RunnerDevicesUsage, HelpNamesBothOptions) {
  const std::string usage = RunnerUsage();
  EXPECT_NE(usage.find("--monitor AA"), std::string::npos);
  EXPECT_NE(usage.find("--keyboard AA=TEXT"), std::string::npos);
}

}  // namespace
