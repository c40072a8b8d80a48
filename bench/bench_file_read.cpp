// Speed of the file readers on large input: a dump whose first comment is one
// long line (10 MB by default), read as windows-1251 and as UTF-8, and a
// full 2048-line dump saved and loaded. Reading must stay linear in the size
// of the file. Usage: bench_file_read [megabytes]
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "memory/dump_file.h"
#include "util/text_file.h"

using namespace vesk;

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void Write(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

void TimeLoad(const char* what, const std::string& path, double megabytes) {
  MainMemory m;
  const auto start = std::chrono::steady_clock::now();
  const FileResult r = Mem_LoadDump(m, path);
  const double s = Seconds(start);
  std::printf("%-34s %8.1f MB in %.3f s = %7.1f MB/s%s\n", what, megabytes, s, megabytes / s,
              r.ok ? "" : "  (FAILED)");
}

}  // namespace

int main(int argc, char** argv) {
  const long mb = argc > 1 ? std::atol(argv[1]) : 10;
  char folder[] = "/tmp/vesk-bench-XXXXXX";
  if (::mkdtemp(folder) == nullptr) return 1;
  const std::string base = folder;

  std::string cp1251 = "1234";
  cp1251.append(static_cast<std::size_t>(mb) << 20, '\xE0');  // 'а'
  cp1251 += "\r\n5678\r\n";
  Write(base + "/cp1251.vdmp", cp1251);
  TimeLoad("one long windows-1251 line", base + "/cp1251.vdmp", static_cast<double>(cp1251.size()) / (1 << 20));

  std::string utf8 = "\xEF\xBB\xBF" "1234";  // the mark makes it UTF-8
  for (long i = 0; i < (mb << 20) / 2; ++i) utf8 += "а";
  utf8 += "\r\n5678\r\n";
  Write(base + "/utf8.vdmp", utf8);
  TimeLoad("one long UTF-8 line", base + "/utf8.vdmp", static_cast<double>(utf8.size()) / (1 << 20));

  MainMemory full;
  for (int a = 0; a < MainMemory::kWords; ++a) full.SetComment(a, "комментарий к слову " + std::to_string(a));
  const int rounds = 20;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < rounds; ++i) {
    if (!Mem_SaveDump(full, base + "/full.vdmp").ok) return 1;
    if (!Mem_LoadDump(full, base + "/full.vdmp").ok) return 1;
  }
  std::printf("%-34s %d rounds in %.3f s = %.2f ms per save and load\n", "2048-line dump save + load", rounds,
              Seconds(start), Seconds(start) * 1000 / rounds);

  for (const char* name : {"/cp1251.vdmp", "/utf8.vdmp", "/full.vdmp"}) ::unlink((base + name).c_str());
  ::rmdir(folder);
  return 0;
}
