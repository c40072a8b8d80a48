#include "fuzz_support.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace vesk::fuzz {

namespace {

std::string MakeScratchFolder() {
  std::string base = "/dev/shm";
  if (::access(base.c_str(), W_OK) != 0) {
    const char* tmp = std::getenv("TMPDIR");
    base = (tmp != nullptr && *tmp != '\0') ? tmp : "/tmp";
  }
  std::string folder = base + "/vesk-fuzz-XXXXXX";
  if (::mkdtemp(folder.data()) == nullptr) {
    std::perror("mkdtemp");
    std::abort();
  }
  return folder;
}

const std::string& ScratchFolder() {
  // Never destroyed: the exit handler that removes the folder runs after the
  // destructors of statics made before it was registered.
  static const std::string* folder = [] {
    auto* f = new std::string(MakeScratchFolder());
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(ScratchFolder(), ignored);
    });
    return f;
  }();
  return *folder;
}

}  // namespace

std::string ScratchPath(const std::string& name) { return ScratchFolder() + "/" + name; }

void WriteScratchFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  out.close();
  Require(static_cast<bool>(out), "writing the scratch file");
}

std::string ReadScratchFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void Require(bool ok, std::string_view what) {
  if (ok) return;
  std::fprintf(stderr, "invariant broken: %.*s\n", static_cast<int>(what.size()), what.data());
  std::abort();
}

}  // namespace vesk::fuzz
