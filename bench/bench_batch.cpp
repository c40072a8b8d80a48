// vesk-run --batch speed: a class's worth of submissions (300 by default) of
// a program that runs 10 001 commands on the shipped micro-program, judged by
// one expectations file, over every core. Target: under 5 s on two cores.
// Usage: bench_batch [submissions] (default 300)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>

#include "app/runner.h"
#include "asm/assembled_file.h"
#include "support/temp_dir.h"

using namespace vesk;

namespace {

// 2 + 3 x 3333 commands: ISZ counts -3333 up to 0, А counts with it.
constexpr const char* kProgram = R"(
        ORG 000
start:  CLA
loop:   ADD one
        ISZ count
        BR loop
        HLT
one:    WORD 1
count:  WORD -D05
)";

}  // namespace

int main(int argc, char** argv) {
  const int submissions = argc > 1 ? std::atoi(argv[1]) : 300;
  vesk::testing::TempDir dir;
  const ProgramAssembly assembly = AssembleProgram(kProgram);
  if (!assembly.ok()) {
    std::fprintf(stderr, "bench_batch: the program does not assemble\n");
    return 1;
  }
  const std::string dump = DumpFileBytes(assembly);
  std::filesystem::create_directory(dir.file("class"));
  for (int i = 0; i < submissions; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "class/s%03d.vdmp", i);
    vesk::testing::WriteBytes(dir.file(name), dump);
  }
  vesk::testing::WriteBytes(dir.file("lab.json"), R"({"А": "0D05", "stopped": true, "max_commands": 10001})");

  RunnerOptions o;
  o.expect = dir.file("lab.json");
  o.batch = {dir.file("class")};
  o.report = dir.file("report.csv");
  std::ostringstream out, err;
  const auto start = std::chrono::steady_clock::now();
  const int status = RunHeadless(o, VESK_SOURCE_DIR "/microprograms", out, err);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const std::string text = out.str();
  const std::string summary = text.substr(text.rfind('\n', text.size() - 2) + 1);
  std::printf("batch of %d submissions x 10001 commands on %u cores: %.2f s (target under 5 s), exit %d\n%s",
              submissions, std::thread::hardware_concurrency(), seconds, status, summary.c_str());
  if (status != kRunStopped) {
    std::fprintf(stderr, "bench_batch: not every submission passed:\n%s%s", text.substr(0, 400).c_str(),
                 err.str().c_str());
    return 1;
  }
  return 0;
}
