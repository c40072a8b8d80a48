#include "app/runner.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <ostream>

#include "app/batch.h"
#include "app/expectations.h"
#include "app/machine.h"
#include "app/program_input.h"
#include "app/runner_json.h"
#include "app/runner_outputs.h"
#include "app/runner_state.h"
#include "asm/source_text.h"
#include "format/bit_string.h"
#include "memory/dump_file.h"
#include "memory/micro_program_file.h"
#include "memory/row_file.h"

namespace vesk {

namespace {

std::optional<std::int64_t> ParseCount(const std::string& s) {
  if (s.empty() || s.size() > 18) return std::nullopt;
  std::int64_t v = 0;
  for (const char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
  }
  return v;
}

// "AA=HH[:F]"
std::optional<RunnerOptions::Io> ParseIo(const std::string& s) {
  const auto eq = s.find('=');
  if (eq == std::string::npos) return std::nullopt;
  const std::string address = s.substr(0, eq);
  std::string data = s.substr(eq + 1);
  int flag = -1;
  const auto colon = data.find(':');
  if (colon != std::string::npos) {
    const std::string f = data.substr(colon + 1);
    if (f != "0" && f != "1") return std::nullopt;
    flag = f == "1" ? 1 : 0;
    data = data.substr(0, colon);
  }
  if (!IsHexDigits(address) || address.size() > 2 || !IsHexDigits(data) || data.size() > 2) return std::nullopt;
  return RunnerOptions::Io{HexToNum(address), FitWidth(HexToBin(UpperAscii(data)), 8).str(), flag};
}

}  // namespace

std::string RunnerUsage() {
  return "Usage: vesk-run [OPTIONS]\n"
         "Runs one program on the Vesk machine without windows.\n"
         "  --state FILE          machine state file (.vstate) to start from; --micro, --dump and --io\n"
         "                        apply on top, and its start address, mode and micro-program hold\n"
         "                        unless they are given\n"
         "  --micro FILE          micro-program file to load (default: the shipped vesk.mpdmp);\n"
         "                        a .masm source is assembled first\n"
         "  --dump FILE           memory dump to load into main memory (default: none, memory all zero);\n"
         "                        a .vasm source is assembled first\n"
         "  --start HEX           start address, as typed into the start-address field (default 000,\n"
         "                        or where a .vasm source starts)\n"
         "  --mode short|full     timing mode (default short)\n"
         "  --max-commands N      stop once N command lines have been logged (default 1000000)\n"
         "  --max-micro N         stop once N micro-command lines have been logged (default 100000000)\n"
         "  --io AA=HH[:F]        before the start: controller AA gets data register HH and, with :F,\n"
         "                        flag F (0 or 1); may be repeated\n"
         "  --monitor AA          attach a monitor to controller AA (00 to FF); may be repeated, all print\n"
         "                        onto the one screen; its text is printed after the run (with --json:\n"
         "                        the \"monitor\" key), rows on lines of their own, trailing blanks dropped\n"
         "  --keyboard AA=TEXT    attach the keyboard to controller AA with TEXT's keys queued: letters\n"
         "                        (either case), digits, space and punctuation as the US keys that type\n"
         "                        them, CR or LF as Enter (0D), \\xHH any key code, \\\\ a backslash\n"
         "  --interrupt-after N   raise the interrupt request right after the tick in which the N-th\n"
         "                        command line was logged\n"
         "  --break ADDR          stop at the command boundary before the command at ADDR (000 to 7FF)\n"
         "  --micro-break AA      stop before the micro-command at micro-address AA (01 to FF)\n"
         "  --watch ADDR          stop after a command writes the memory word at ADDR (000 to 7FF)\n"
         "  --watch-io AA         stop after controller AA's flag or data register changes (00 to FF);\n"
         "                        these four may be repeated; the run stops at the first hit, exit 0\n"
         "  --trace FILE          export the command trace as HTML\n"
         "  --micro-trace FILE    export the micro-command trace as HTML\n"
         "  --save-dump FILE      save main memory afterwards as a memory dump\n"
         "  --save-state FILE     save the machine state afterwards as a machine state file\n"
         "  --json                print the final state as one JSON object\n"
         "  --expect FILE         judge the run by an expectations file (JSON: registers, \"memory\",\n"
         "                        \"controllers\", \"monitor\", \"stopped\", \"max_commands\"); what differs\n"
         "                        is listed on standard output (with --json as \"mismatches\"), exit 5\n"
         "  --batch PATH          with --expect: run every .vdmp and .vasm of folder PATH (or file PATH)\n"
         "                        instead of --dump, on every core; one line per file and a summary;\n"
         "                        may be repeated\n"
         "  --report FILE         with --batch: write the verdicts as CSV too\n"
         "  -h, --help            this text\n"
         "Exit status: 0 stopped at a command boundary or a breakpoint, 2 bad usage, a file that cannot be read or\n"
         "written, or errors in a source (one FILE:LINE:COLUMN: message line each), 3 a limit was\n"
         "reached while the machine still ran, 4 the machine reported an error. With --expect: 0 every\n"
         "expectation holds, 5 one does not (a machine error counts as one), 2 as above. With --batch:\n"
         "0 every submission passed, 5 one failed or could not be read, 2 bad usage or the report\n"
         "cannot be written.\n";
}

std::pair<std::optional<RunnerOptions>, std::string> ParseRunnerArgs(const std::vector<std::string>& args) {
  RunnerOptions o;
  auto fail = [](std::string why) { return std::pair<std::optional<RunnerOptions>, std::string>{std::nullopt, why}; };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "-h" || a == "--help") {
      o.help = true;
      continue;
    }
    if (a == "--json") {
      o.json = true;
      continue;
    }
    static const char* kWithValue[] = {"--micro",          "--dump",  "--start",       "--mode",
                                       "--max-commands",   "--max-micro", "--io",      "--interrupt-after",
                                       "--trace",          "--micro-trace", "--save-dump",
                                       "--state",          "--save-state",
                                       "--break",          "--micro-break", "--watch",     "--watch-io",
                                       "--expect",         "--batch",       "--report",
                                       "--monitor",        "--keyboard"};
    bool known = false;
    for (const char* name : kWithValue) known = known || a == name;
    if (!known) return fail("unknown option '" + a + "' (see --help)");
    if (i + 1 >= args.size()) return fail("option " + a + " needs a value");
    const std::string& v = args[++i];
    const bool namesFile = a == "--micro" || a == "--dump" || a == "--trace" || a == "--micro-trace" ||
                           a == "--save-dump" || a == "--state" || a == "--save-state" || a == "--expect" ||
                           a == "--batch" || a == "--report";
    if (namesFile && v.empty()) return fail("option " + a + " needs a file name, not an empty text");
    if (a == "--micro") o.micro = v;
    else if (a == "--dump") o.dump = v;
    else if (a == "--trace") o.trace = v;
    else if (a == "--micro-trace") o.microTrace = v;
    else if (a == "--save-dump") o.saveDump = v;
    else if (a == "--state") o.state = v;
    else if (a == "--save-state") o.saveState = v;
    else if (a == "--expect") o.expect = v;
    else if (a == "--batch") o.batch.push_back(v);
    else if (a == "--report") o.report = v;
    else if (a == "--start") {
      if (v.size() > 3 || !Machine::StartAddress(v))
        return fail("--start takes an address of main memory, 000 to 7FF, not '" + v + "'");
      o.start = UpperAscii(v);
      o.startGiven = true;
    } else if (a == "--mode") {
      if (v == "short") o.mode = 2;
      else if (v == "full") o.mode = 1;
      else return fail("--mode takes short or full, not '" + v + "'");
      o.modeGiven = true;
    } else if (a == "--max-commands" || a == "--max-micro" || a == "--interrupt-after") {
      const auto n = ParseCount(v);
      if (!n) return fail(a + " takes a whole number, not '" + v + "'");
      if (a == "--max-commands") o.maxCommands = *n;
      else if (a == "--max-micro") o.maxMicro = *n;
      else o.interruptAfter = *n;
    } else if (a == "--monitor") {
      const auto address = ParseRunnerController(v);
      if (!address) return fail("--monitor takes a controller address, 00 to FF, not '" + v + "'");
      if (o.keyboard && o.keyboard->address == *address)
        return fail("controller " + Controllers::AddressText(Controllers::RowOfAddress(*address)) +
                    " cannot hold both the monitor and the keyboard");
      o.monitors.push_back(*address);
    } else if (a == "--keyboard") {
      if (o.keyboard) return fail("the machine has one keyboard: --keyboard may be given once");
      RunnerKeyboard keyboard;
      if (std::string e = ParseRunnerKeyboard(v, keyboard); !e.empty()) return fail(e);
      for (const int monitor : o.monitors)
        if (monitor == keyboard.address)
          return fail("controller " + Controllers::AddressText(Controllers::RowOfAddress(monitor)) +
                      " cannot hold both the monitor and the keyboard");
      o.keyboard = std::move(keyboard);
    } else if (a == "--io") {
      const auto io = ParseIo(v);
      if (!io) return fail("--io takes AA=HH or AA=HH:F (hex controller, hex byte, flag 0 or 1), not '" + v + "'");
      o.io.push_back(*io);
    } else {
      struct BreakOption {
        const char* name;
        BreakKind kind;
        const char* range;
      };
      static constexpr BreakOption kBreaks[] = {
          {"--break", BreakKind::Command, "an address of main memory, 000 to 7FF"},
          {"--micro-break", BreakKind::Micro, "a micro-address, 01 to FF"},
          {"--watch", BreakKind::MemoryWrite, "an address of main memory, 000 to 7FF"},
          {"--watch-io", BreakKind::Controller, "a controller address, 00 to FF"}};
      for (const BreakOption& b : kBreaks) {
        if (a != b.name) continue;
        const auto address = v.size() <= 3 ? Breakpoints::ParseAddress(b.kind, v) : std::nullopt;
        if (!address) return fail(a + " takes " + b.range + ", not '" + v + "'");
        o.breakpoints.emplace_back(b.kind, *address);
      }
    }
  }
  if (const std::string why = BatchOptionsProblem(o); !why.empty() && !o.help) return fail(why);
  return {o, std::string()};
}

std::string ProgramDirectory() {
  char buf[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return ".";
  std::string path(buf, static_cast<std::size_t>(n));
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

int RunHeadless(const RunnerOptions& options, const std::string& programDir, std::ostream& out, std::ostream& err) {
  if (!options.batch.empty()) return RunBatch(options, programDir, out, err);
  std::optional<ExpectationsRead> expected;
  if (!options.expect.empty()) {
    expected = LoadExpectations(options.expect);
    if (!expected->ok) {
      err << "vesk-run: " << expected->error << "\n";
      return kRunUsageError;
    }
  }
  RunVerdict verdict;
  return RunChecked(options, programDir, expected ? &expected->expectations : nullptr, out, err, verdict);
}

int RunChecked(const RunnerOptions& options, const std::string& programDir, const Expectations* expectations,
               std::ostream& out, std::ostream& err, RunVerdict& verdict) {
  auto usageError = [&err](const std::string& why) {
    err << "vesk-run: " << why << "\n";
    return kRunUsageError;
  };
  Machine m;
  std::vector<std::string> machineErrors;
  m.setErrorHandler([&machineErrors](const std::string& e) { machineErrors.push_back(e); });
  m.trace.setStoring(false);
  m.microTrace.setStoring(false);
  m.processor.MODE = options.mode;
  m.runControl.SetIntervals(0, 0, 0);
  m.processor.Reset();

  RunnerStateSettings settings{options.start, options.mode};
  if (!options.state.empty()) {
    if (const std::string e = LoadRunnerState(m, options.state, settings); !e.empty()) return usageError(e);
    m.runControl.SetIntervals(0, 0, 0);
    if (options.startGiven) settings.start = options.start;
    if (options.modeGiven) settings.mode = options.mode;
    m.processor.MODE = settings.mode;
  }
  // A state file brings its own micro-program.
  if (!options.micro.empty() || options.state.empty()) {
    const std::string micro = options.micro.empty() ? programDir + "/" + kShippedMicroProgram : options.micro;
    // Assembler errors of a source were printed already, one line each.
    const FileResult loaded = LoadMicroProgramInput(m.microMemory, micro, err);
    if (!loaded.ok) return loaded.error.empty() ? kRunUsageError : usageError(loaded.error);
    for (const auto& w : loaded.warnings) err << "vesk-run: warning: " << micro << ": " << w << "\n";
  }
  std::optional<int> sourceStart;
  if (!options.dump.empty()) {
    const FileResult dump = LoadProgramInput(m.memory, options.dump, err, &sourceStart);
    if (!dump.ok) return dump.error.empty() ? kRunUsageError : usageError(dump.error);
    for (const auto& w : dump.warnings) err << "vesk-run: warning: " << options.dump << ": " << w << "\n";
  }
  for (const auto& io : options.io) {
    const int row = Controllers::RowOfAddress(io.address);
    m.controllers.Reg_Set_Data(Controllers::AddressText(row), io.data);
    if (io.flag >= 0) m.controllers.SetFlagOfRow(row, io.flag);
  }
  if (const std::string e = AttachRunnerDevices(m, options.monitors, options.keyboard); !e.empty())
    return usageError(e);
  const bool monitor = HasMonitor(m);

  // Every output is opened before the run, so a path that cannot be written
  // fails at once and nothing is written.
  for (const auto& [kind, address] : options.breakpoints) m.breakpoints.Set(kind, address);

  RunnerOutputs outputs(m);
  if (const std::string e = outputs.Open(options); !e.empty()) return usageError(e);

  if (sourceStart && !options.startGiven) settings.start = HexText(*sourceStart, 3);
  outputs.KeepStateSettings(settings.start, settings.periods);
  m.Start(settings.start);
  bool interruptRaised = false;
  bool limitReached = false;
  for (;;) {
    m.runControl.Tick();
    if (options.interruptAfter && !interruptRaised && m.trace.CCounter() >= *options.interruptAfter) {
      m.processor.SetInterruptReg(1);
      interruptRaised = true;
    }
    if (const std::string e = outputs.Failure(); !e.empty()) {
      outputs.Abandon();
      return usageError(e + " (the run stopped after " + std::to_string(m.trace.CCounter()) + " commands and " +
                        std::to_string(m.microTrace.MCCounter()) + " micro-commands)");
    }
    if (m.trace.CCounter() >= options.maxCommands || m.microTrace.MCCounter() >= options.maxMicro) limitReached = true;
    if (m.runControl.Idle() || limitReached) break;
  }
  const bool stopped = m.runControl.Idle();

  if (const std::string e = outputs.Finish(); !e.empty()) return usageError(e);
  verdict.commands = m.trace.CCounter();
  for (const std::string& e : machineErrors) {
    std::string line = e;
    const auto crlf = line.find("\r\n");
    if (crlf != std::string::npos) line.replace(crlf, 2, ": ");
    err << "vesk-run: " << line << "\n";
    if (expectations) verdict.mismatches.push_back("machine error: " + line);
  }
  if (expectations) {
    for (std::string& mismatch : CheckExpectations(m, *expectations, stopped))
      verdict.mismatches.push_back(std::move(mismatch));
  }
  if (options.json) {
    nlohmann::ordered_json state = RunnerStateJson(m);
    if (monitor) state["monitor"] = m.monitor.Text();
    if (expectations) state["mismatches"] = verdict.mismatches;
    out << RunnerJsonLine(state) << "\n";
  } else if (monitor) {
    if (const std::string text = m.monitor.Text(); !text.empty()) out << text << "\n";
  }
  if (expectations) {
    if (!options.json)
      for (const std::string& mismatch : verdict.mismatches) out << mismatch << "\n";
    return verdict.mismatches.empty() ? kRunStopped : kRunNotAsExpected;
  }
  if (!machineErrors.empty()) return kRunMachineError;
  if (stopped) return kRunStopped;
  return kRunLimitReached;
}

}  // namespace vesk
