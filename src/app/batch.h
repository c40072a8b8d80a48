// vesk-run --batch: every submission of a class run and judged by one
// expectations file, in parallel over the cores (one Machine per run; the
// machine library keeps no global state).
//
// A --batch folder contributes its .vdmp and .vasm entries (any letter case),
// sorted by name; a --batch file is a submission itself. Each submission
// starts as a single vesk-run would with the same options (--state, --micro,
// --io, --start, limits, breakpoints), its file in place of --dump. A file
// that cannot be read or assembled is a verdict of its own ("unreadable"),
// not the end of the batch. Lines come out in the submissions' order, one
// per file, then a summary:
//
//   labs/ivanov.vdmp: passed, 312 commands
//   labs/petrov.vdmp: failed, 312 commands; cell 020: expected 0037, got 0036 (1 more)
//   labs/sidorov.vdmp: unreadable; <why>
//   3 submissions: 1 passed, 1 failed, 1 unreadable
//
// --report FILE writes the same as CSV (file, verdict, commands, mismatches,
// first mismatch or why unreadable), saved atomically: whole or not at all.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "app/runner.h"

namespace vesk {

struct BatchResult {
  enum class Verdict { Passed, Failed, Unreadable };
  std::string name;
  Verdict verdict = Verdict::Unreadable;
  std::int64_t commands = 0;
  std::vector<std::string> mismatches;
  std::string why;  // Unreadable: the reason
};

// The batch options that do not go together (--batch without --expect,
// --report without --batch, --batch with --dump or another output); empty
// when they do.
std::string BatchOptionsProblem(const RunnerOptions& options);

// The submissions the --batch paths name, in order (name and path are the
// same text). Empty text, or why a folder cannot be listed.
std::string ListSubmissions(const std::vector<std::string>& paths, std::vector<std::string>& files);

std::string BatchLine(const BatchResult& result);
std::string BatchSummary(const std::vector<BatchResult>& results);
// The report's text (UTF-8, CR LF line ends), with a header row.
std::string BatchCsv(const std::vector<BatchResult>& results);

// Runs the batch; the exit status is 0 (all passed), 5 (one did not) or 2.
int RunBatch(const RunnerOptions& options, const std::string& programDir, std::ostream& out, std::ostream& err);

}  // namespace vesk
