// The shipped micro-program and the multiplication example loaded into a
// machine, for the tools that show windows over a real run.
#pragma once

#include <cstdio>
#include <string>

#include "app/machine.h"
#include "memory/dump_file.h"
#include "memory/micro_program_file.h"

namespace vesk::tools {

// False (and a line on stderr) when either file cannot be read. `source` is
// the source tree the files are in.
inline bool LoadShippedExample(Machine& m, const std::string& source) {
  if (LoadMicroProgram(m.microMemory, source + "/microprograms/vesk.mpdmp").ok &&
      Mem_LoadDump(m.memory, source + "/examples/multiply.vdmp").ok)
    return true;
  std::fprintf(stderr, "cannot load the shipped micro-program or example\n");
  return false;
}

}  // namespace vesk::tools
