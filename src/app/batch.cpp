#include "app/batch.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>
#include <ostream>
#include <sstream>
#include <thread>

#include "app/expectations.h"
#include "app/machine.h"
#include "app/program_input.h"
#include "app/runner_state.h"
#include "util/atomic_file.h"
#include "util/cp1251.h"

namespace vesk {

namespace {

bool IsSubmission(const std::filesystem::path& name) {
  std::string ext = name.extension().string();
  for (char& c : ext)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return ext == ".vdmp" || ext == ".vasm";
}

// The first line a failed run wrote, without the program's name.
std::string FirstLine(const std::string& text) {
  std::string line = text.substr(0, text.find('\n'));
  constexpr std::string_view kPrefix = "vesk-run: ";
  if (line.compare(0, kPrefix.size(), kPrefix) == 0) line.erase(0, kPrefix.size());
  return line.empty() ? "cannot be read" : line;
}

const char* VerdictText(BatchResult::Verdict v) {
  switch (v) {
    case BatchResult::Verdict::Passed: return "passed";
    case BatchResult::Verdict::Failed: return "failed";
    case BatchResult::Verdict::Unreadable: return "unreadable";
  }
  return "";
}

std::string Commands(std::int64_t n) { return std::to_string(n) + (n == 1 ? " command" : " commands"); }

std::string CsvField(const std::string& s) {
  if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
  std::string out = "\"";
  for (const char c : s) (c == '"' ? out += "\"\"" : out += c);
  return out + "\"";
}

// What one submission's run found.
BatchResult Judge(const RunnerOptions& batchOptions, const std::string& programDir, const Expectations& expected,
                  const std::string& file) {
  RunnerOptions options = batchOptions;
  options.batch.clear();
  options.report.clear();
  options.dump = file;
  std::ostringstream out, err;
  RunVerdict verdict;
  const int status = RunChecked(options, programDir, &expected, out, err, verdict);
  BatchResult r;
  r.name = file;
  if (status == kRunUsageError) {
    r.verdict = BatchResult::Verdict::Unreadable;
    r.why = FirstLine(err.str());
    return r;
  }
  r.commands = verdict.commands;
  r.mismatches = std::move(verdict.mismatches);
  r.verdict = status == kRunStopped && r.mismatches.empty() ? BatchResult::Verdict::Passed : BatchResult::Verdict::Failed;
  return r;
}

// What every submission shares must load, or the batch does not start.
std::string SharedInputsProblem(const RunnerOptions& options, const std::string& programDir) {
  Machine m;
  if (!options.state.empty()) {
    RunnerStateSettings settings;
    if (std::string e = LoadRunnerState(m, options.state, settings); !e.empty()) return e;
  }
  if (!options.micro.empty() || options.state.empty()) {
    const std::string micro = options.micro.empty() ? programDir + "/" + kShippedMicroProgram : options.micro;
    std::ostringstream errors;
    const FileResult loaded = LoadMicroProgramInput(m.microMemory, micro, errors);
    if (!loaded.ok) return loaded.error.empty() ? FirstLine(errors.str()) : loaded.error;
  }
  return {};
}

}  // namespace

std::string BatchOptionsProblem(const RunnerOptions& o) {
  if (!o.report.empty() && o.batch.empty()) return "--report needs --batch";
  if (o.batch.empty()) return {};
  if (o.expect.empty()) return "--batch needs --expect (the expectations every submission is judged by)";
  const std::pair<bool, const char*> excluded[] = {{!o.dump.empty(), "--dump"},
                                                   {!o.trace.empty(), "--trace"},
                                                   {!o.microTrace.empty(), "--micro-trace"},
                                                   {!o.saveDump.empty(), "--save-dump"},
                                                   {!o.saveState.empty(), "--save-state"},
                                                   {o.json, "--json"}};
  for (const auto& [given, name] : excluded)
    if (given) return std::string(name) + " cannot be used with --batch";
  return {};
}

std::string ListSubmissions(const std::vector<std::string>& paths, std::vector<std::string>& files) {
  for (const std::string& path : paths) {
    std::error_code ec;
    if (!std::filesystem::is_directory(path, ec)) {
      files.push_back(path);
      continue;
    }
    std::vector<std::string> names;
    std::filesystem::directory_iterator it(path, ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec))
      if (IsSubmission(it->path().filename())) names.push_back(it->path().filename().string());
    if (ec) return "cannot list the folder '" + path + "': " + ec.message();
    std::sort(names.begin(), names.end());
    const std::string folder = path.back() == '/' ? path : path + "/";
    for (const std::string& name : names) files.push_back(folder + name);
  }
  return {};
}

std::string BatchLine(const BatchResult& r) {
  std::string line = r.name + ": " + VerdictText(r.verdict);
  if (r.verdict == BatchResult::Verdict::Unreadable) return line + "; " + r.why;
  line += ", " + Commands(r.commands);
  if (!r.mismatches.empty()) line += "; " + r.mismatches.front();
  if (r.mismatches.size() > 1) line += " (" + std::to_string(r.mismatches.size() - 1) + " more)";
  return line;
}

std::string BatchSummary(const std::vector<BatchResult>& results) {
  int counts[3] = {0, 0, 0};
  for (const BatchResult& r : results) ++counts[static_cast<int>(r.verdict)];
  return std::to_string(results.size()) + (results.size() == 1 ? " submission: " : " submissions: ") +
         std::to_string(counts[0]) + " passed, " + std::to_string(counts[1]) + " failed, " +
         std::to_string(counts[2]) + " unreadable";
}

std::string BatchCsv(const std::vector<BatchResult>& results) {
  std::string csv = "file,verdict,commands,mismatches,first mismatch\r\n";
  for (const BatchResult& r : results) {
    const bool ran = r.verdict != BatchResult::Verdict::Unreadable;
    csv += CsvField(r.name) + "," + VerdictText(r.verdict) + "," + (ran ? std::to_string(r.commands) : "") + "," +
           (ran ? std::to_string(r.mismatches.size()) : "") + "," +
           CsvField(ran ? (r.mismatches.empty() ? "" : r.mismatches.front()) : r.why) + "\r\n";
  }
  return csv;
}

int RunBatch(const RunnerOptions& options, const std::string& programDir, std::ostream& out, std::ostream& err) {
  const auto usageError = [&err](const std::string& why) {
    err << "vesk-run: " << why << "\n";
    return kRunUsageError;
  };
  const ExpectationsRead expected = LoadExpectations(options.expect);
  if (!expected.ok) return usageError(expected.error);
  std::vector<std::string> files;
  if (std::string e = ListSubmissions(options.batch, files); !e.empty()) return usageError(e);
  if (files.empty()) return usageError("no submissions (.vdmp or .vasm files) in the --batch folders");
  if (std::string e = SharedInputsProblem(options, programDir); !e.empty()) return usageError(e);
  AtomicFileWriter report;
  if (!options.report.empty())
    if (std::string e = report.Open(options.report, true); !e.empty()) return usageError(e);

  std::vector<std::optional<BatchResult>> results(files.size());
  std::mutex mutex;
  std::condition_variable done;
  std::atomic<std::size_t> next{0};
  const auto work = [&] {
    for (std::size_t i; (i = next.fetch_add(1)) < files.size();) {
      BatchResult r;
      try {
        r = Judge(options, programDir, expected.expectations, files[i]);
      } catch (const std::exception& e) {
        r.name = files[i];
        r.why = std::string("the run failed: ") + e.what();
      }
      const std::lock_guard lock(mutex);
      results[i] = std::move(r);
      done.notify_one();
    }
  };
  const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
  std::vector<std::thread> workers;
  for (std::size_t t = 0; t < std::min(cores, files.size()); ++t) workers.emplace_back(work);
  // Each line as soon as it and every line before it are known.
  for (std::size_t i = 0; i < files.size(); ++i) {
    std::unique_lock lock(mutex);
    done.wait(lock, [&] { return results[i].has_value(); });
    const std::string line = BatchLine(*results[i]);
    lock.unlock();
    out << line << "\n" << std::flush;
  }
  for (std::thread& w : workers) w.join();

  std::vector<BatchResult> all;
  for (auto& r : results) all.push_back(std::move(*r));
  out << BatchSummary(all) << "\n";
  if (report.isOpen()) {
    const std::string csv = BatchCsv(all);
    const Cp1251Encoding encoded = Utf8ToCp1251(csv);
    // A name windows-1251 cannot hold keeps the report UTF-8, marked so.
    report.Write(encoded.ok ? encoded.bytes : "\xEF\xBB\xBF" + csv);
    if (std::string e = report.Commit(); !e.empty()) return usageError(e);
  }
  const bool allPassed = std::all_of(all.begin(), all.end(),
                                     [](const BatchResult& r) { return r.verdict == BatchResult::Verdict::Passed; });
  return allPassed ? kRunStopped : kRunNotAsExpected;
}

}  // namespace vesk
