// vesk-run speed and trace scale:
//  1. micro-commands per second of a long run without trace files;
//  2. the same with both traces streamed to HTML files;
//  3. memory of a stored micro-command trace of 10 million lines;
//  4. HTML export rate of that stored trace.
// Usage: bench_runner [micro-commands] (default 10000000)
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "app/machine.h"
#include "app/runner.h"
#include "memory/micro_program_file.h"
#include "support/temp_dir.h"
#include "support/tiny_micro_program.h"
#include "trace/html_export.h"

using namespace vesk;

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Processor time of this process (user and system), which other programs on
// a busy machine do not inflate as they do the wall-clock time.
double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

long MaxRssMiB() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss / 1024;
}

}  // namespace

int main(int argc, char** argv) {
  const long count = argc > 1 ? std::atol(argv[1]) : 10'000'000;
  vesk::testing::TempDir dir;
  MicroMemory mm;
  vesk::testing::LoadTinyMicroProgram(mm);
  const std::string micro = dir.file("tiny.mpdmp");
  SaveMicroProgram(mm, micro);
  // Memory all zero: an endless run of increments, 12 micro-commands each.
  std::ostringstream out, err;

  RunnerOptions o;
  o.micro = micro;
  o.maxMicro = count;
  auto start = std::chrono::steady_clock::now();
  double cpu = CpuSeconds();
  RunHeadless(o, dir.path(), out, err);
  double s = Seconds(start);
  cpu = CpuSeconds() - cpu;
  std::printf("vesk-run, no trace files: %ld micro-commands in %.2f s = %.2f million per second (%.2f million per "
              "processor second)\n",
              count, s, count / s / 1e6, count / cpu / 1e6);

  o.trace = dir.file("trace.html");
  o.microTrace = dir.file("micro.html");
  start = std::chrono::steady_clock::now();
  cpu = CpuSeconds();
  RunHeadless(o, dir.path(), out, err);
  s = Seconds(start);
  cpu = CpuSeconds() - cpu;
  std::printf("vesk-run, both traces streamed to HTML: %.2f million micro-commands per second (%.2f million per "
              "processor second; %.0f MB written)\n",
              count / s / 1e6, count / cpu / 1e6,
              (std::filesystem::file_size(o.trace) + std::filesystem::file_size(o.microTrace)) / 1e6);

  const long lines = 10'000'000;
  Machine m;
  vesk::testing::LoadTinyMicroProgram(m.microMemory);
  m.runControl.SetIntervals(0, 0, 0);
  m.Start("000");
  const long rssBefore = MaxRssMiB();
  start = std::chrono::steady_clock::now();
  while (m.microTrace.LineCount() < lines) m.runControl.Tick();
  s = Seconds(start);
  std::printf("stored micro-command trace: %ld lines in %.2f s; %.0f MiB of line storage, peak RSS grew by %ld MiB\n",
              lines, s, m.microTrace.bytesReserved() / 1048576.0, MaxRssMiB() - rssBefore);

  start = std::chrono::steady_clock::now();
  const FileResult r = SaveTraceHtml(m.microTrace, dir.file("export.html"));
  s = Seconds(start);
  std::printf("HTML export of the stored micro-command trace: %s, %.2f million lines per second (%.0f MB)\n",
              r.ok ? "ok" : r.error.c_str(), lines / s / 1e6, std::filesystem::file_size(dir.file("export.html")) / 1e6);
  return 0;
}
