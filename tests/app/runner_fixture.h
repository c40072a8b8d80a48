// vesk-run called in-process on the small test micro-program, with dumps
// written into a scratch folder (the test's folder is the program's folder,
// which holds no shipped micro-program: a run that looks for one fails).
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/runner.h"
#include "memory/micro_memory.h"
#include "memory/micro_program_file.h"
#include "support/temp_dir.h"
#include "support/tiny_micro_program.h"

namespace vesk::testing {

struct TinyRunnerFixture : ::testing::Test {
  TempDir dir;
  std::string micro;
  std::ostringstream out, err;

  void SetUp() override {
    MicroMemory mm;
    LoadTinyMicroProgram(mm);
    micro = dir.file("tiny.mpdmp");
    const FileResult saved = SaveMicroProgram(mm, micro);
    ASSERT_TRUE(saved.ok) << saved.error;
  }
  // A file of these bytes in the scratch folder.
  std::string file(const std::string& name, const std::string& bytes) {
    WriteBytes(dir.file(name), bytes);
    return dir.file(name);
  }
  // A dump holding the given words from address 0 (the rest zero).
  std::string dump(const std::string& name, const std::vector<std::string>& words) {
    std::string bytes;
    for (std::size_t a = 0; a < 2048; ++a) bytes += (a < words.size() ? words[a] : "0000") + "\r\n";
    return file(name, bytes);
  }
  int run(const std::vector<std::string>& args) {
    out.str("");
    err.str("");
    auto [options, why] = ParseRunnerArgs(args);
    if (!options) {
      err << why;
      return kRunUsageError;
    }
    return RunHeadless(*options, dir.path(), out, err);
  }
};

}  // namespace vesk::testing
