// How many micro-commands each command takes sets how fast programs run in
// the window; docs/instruction-set.md lists the figures. These bounds keep a
// change of the micro-program from slowing commands down unnoticed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "microprogram/rig.h"

namespace vesk::testing {
namespace {

// Micro-commands of the one command at 010, fetch and end check included.
long Cost(std::uint16_t command, bool c = false, bool n = false, bool z = false) {
  Rig rig;
  rig.Poke(0x010, command);
  rig.Poke(0x020, 0x0005);
  rig.Poke(0x021, 0x0020);
  rig.Poke(0x030, 0xF000);
  rig.SetFlags(c, n, z);
  rig.Start(0x010);
  rig.Step();
  EXPECT_EQ(rig.commands, 1);
  return rig.microCommands;
}

TEST(MicroProgramSpeed, CommandsStayWithinTheirBudget) {
  struct Case {
    const char* what;
    std::uint16_t command;
    bool c, n, z;
    long most;
  };
  const std::vector<Case> cases = {
      {"BEQ not taken", 0xB030, false, false, false, 12},
      {"BCS taken", 0x8030, true, false, false, 14},
      {"BR", 0xC030, false, false, false, 13},
      {"BR indirect", 0xC821, false, false, false, 16},
      {"TSF", 0xE101, false, false, false, 13},
      {"IN", 0xE201, false, false, false, 15},
      {"ADD", 0x4020, false, false, false, 16},
      {"ADD indirect", 0x4821, false, false, false, 19},
      {"MOV", 0x3020, false, false, false, 16},
      {"ISZ", 0x0020, false, false, false, 19},
      {"JSR", 0x2030, false, false, false, 18},
      {"JSR indirect", 0x2821, false, false, false, 28},
      {"CLA", 0xF200, false, false, false, 20},
      {"INC", 0xF800, false, false, false, 20},
      {"HLT", 0xF000, false, false, false, 19},
  };
  for (const Case& k : cases) EXPECT_LE(Cost(k.command, k.c, k.n, k.z), k.most) << k.what;
}

TEST(MicroProgramSpeed, ExamplesAverageUnderEighteenMicroCommandsPerCommand) {
  long commands = 0, microCommands = 0;
  for (const char* name : {"sum", "multiply", "subroutine", "print", "interrupt"}) {
    Rig rig;
    rig.LoadDump(std::string(VESK_EXAMPLES_DIR) + "/" + name + ".vdmp");
    ASSERT_TRUE(rig.RunFrom(0x000, 100000)) << name;
    commands += rig.commands;
    microCommands += rig.microCommands;
  }
  ASSERT_GT(commands, 500);
  EXPECT_LT(static_cast<double>(microCommands) / static_cast<double>(commands), 18.0);
}

}  // namespace
}  // namespace vesk::testing
