// Peak memory of the file readers on files up to the 256 MB limit: each read
// runs in a fresh process (this program started again), which reports its
// resident memory before the read and its peak after it. The figure that
// counts is the peak above the base: it must not grow with the number of
// lines, only with the lines a reader keeps.
// Usage: bench_file_memory [megabytes]        (default 256)
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "memory/dump_file.h"
#include "memory/micro_program_file.h"
#include "util/ini_file.h"

using namespace vesk;

namespace {

long StatusKiB(const char* field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::string(field).size());
  return -1;
}

// Writes `line` (with CR LF) until the file holds about `bytes`, after `head`.
void MakeFile(const std::string& path, const std::string& head, const std::string& line, std::size_t bytes) {
  std::ofstream out(path, std::ios::binary);
  out << head;
  std::string block;
  while (block.size() < (std::size_t{4} << 20)) block += line + "\r\n";
  std::size_t written = head.size();
  while (written + block.size() <= bytes) {
    out.write(block.data(), static_cast<std::streamsize>(block.size()));
    written += block.size();
  }
  while (written + line.size() + 2 <= bytes) {
    out << line << "\r\n";
    written += line.size() + 2;
  }
}

// The child: one read, then the figures on standard output.
int Read(const std::string& kind, const std::string& path) {
  const long base = StatusKiB("VmRSS:");
  const auto start = std::chrono::steady_clock::now();
  bool ok = false;
  if (kind == "dump") {
    MainMemory memory;
    ok = Mem_LoadDump(memory, path).ok;
  } else if (kind == "micro") {
    MicroMemory micro;
    ok = LoadMicroProgram(micro, path).ok;
  } else {
    ok = ReadIni(path, "General", "Mode", "none") != "none";
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%s %.1f %.2f\n", ok ? "ok" : "FAILED", (StatusKiB("VmHWM:") - base) / 1024.0, seconds);
  return ok ? 0 : 1;
}

void Measure(const char* self, const char* what, const std::string& kind, const std::string& path) {
  std::string command = std::string(self) + " --read " + kind + " " + path;
  FILE* child = ::popen(command.c_str(), "r");
  char result[128] = "";
  if (child == nullptr || std::fgets(result, sizeof result, child) == nullptr) std::snprintf(result, sizeof result, "no answer\n");
  if (child != nullptr) ::pclose(child);
  char status[16] = "";
  double peak = 0, seconds = 0;
  if (std::sscanf(result, "%15s %lf %lf", status, &peak, &seconds) != 3) {
    std::printf("%-58s %s", what, result);
    return;
  }
  std::printf("%-58s %7.1f MB above the base in %6.2f s%s\n", what, peak, seconds,
              std::string(status) == "ok" ? "" : "  (FAILED)");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--read") return Read(argv[2], argv[3]);
  const std::size_t mb = argc > 1 ? static_cast<std::size_t>(std::atol(argv[1])) : 256;
  const std::size_t bytes = mb << 20;
  char folder[] = "/tmp/vesk-bench-XXXXXX";
  if (::mkdtemp(folder) == nullptr) return 1;
  const std::string base = folder;
  const std::string path = base + "/f";
  std::string rows;
  for (int i = 0; i < MainMemory::kWords; ++i) rows += "0001 a comment of a usual length\r\n";
  std::printf("Peak resident memory of one read, %zu MB files (target: under 64 MB above the base)\n", mb);

  MakeFile(path, "0001\r\n", "", bytes);
  Measure(argv[0], "memory dump: empty lines", "dump", path);
  Measure(argv[0], "micro-program: empty lines", "micro", path);

  MakeFile(path, rows, std::string(1000, 'x'), bytes);
  Measure(argv[0], "memory dump: 2048 rows, then 1000-character lines", "dump", path);
  MakeFile(path, rows, std::string(1 << 20, 'x'), bytes);
  Measure(argv[0], "memory dump: 2048 rows, then 1 MiB lines", "dump", path);
  MakeFile(path, "", std::string(1 << 20, 'x'), bytes);
  Measure(argv[0], "memory dump: 1 MiB lines, every one kept as a comment", "dump", path);
  Measure(argv[0], "micro-program: 1 MiB lines, 255 kept as comments", "micro", path);

  MakeFile(path, "[General]\r\n", std::string(1 << 20, 'x'), bytes - 16);
  { std::ofstream(path, std::ios::binary | std::ios::app) << "Mode=1\r\n"; }
  Measure(argv[0], "cfg.ini: 1 MiB lines, the key at the end", "ini", path);
  MakeFile(path, "[General]\r\n", "", bytes - 16);
  { std::ofstream(path, std::ios::binary | std::ios::app) << "Mode=1\r\n"; }
  Measure(argv[0], "cfg.ini: empty lines, the key at the end", "ini", path);

  ::unlink(path.c_str());
  ::rmdir(folder);
  return 0;
}
