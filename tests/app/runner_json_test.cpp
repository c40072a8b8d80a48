// The exact bytes of vesk-run --json: keys, their order, value texts and the
// escaping, for each way a run can end.
#include <gtest/gtest.h>

#include "app/runner_fixture.h"
#include "memory/micro_memory.h"

using namespace vesk;

namespace {

using RunnerJson = vesk::testing::TinyRunnerFixture;

TEST_F(RunnerJson, AStoppedRunWithControllersInAddressOrder) {
  const std::string d = dump("p.vdmp", {"0000", "0000", "F000"});
  EXPECT_EQ(run({"--micro", micro, "--dump", d, "--io", "ff=7f", "--io", "05=41:1", "--io", "00=00:1", "--json"}),
            kRunStopped)
      << err.str();
  EXPECT_EQ(out.str(), R"({"А":"0002","РД":"F000","РК":"F000","СК":"0003","РА":"0002","КР":"0000","БР":"00000","РС":"0000","РМК":"8301","СчМК":"01","С":"0","N":"0","Z":"0",)"
            R"("commands":3,"micro_commands":34,"stopped":true,"controllers":{"00":{"flag":1,"data":"00","device":" - "},"05":{"flag":1,"data":"41","device":" - "},"FF":{"flag":0,"data":"7F","device":" - "}},"breakpoint":""})" "\n");
}

TEST_F(RunnerJson, ALimitReachedWhileRunning) {
  EXPECT_EQ(run({"--micro", micro, "--dump", dump("loop.vdmp", {}), "--max-commands", "5", "--json"}),
            kRunLimitReached);
  EXPECT_EQ(out.str(), R"({"А":"0005","РД":"0000","РК":"0000","СК":"0005","РА":"0004","КР":"0000","БР":"00005","РС":"0080","РМК":"0300","СчМК":"02","С":"0","N":"0","Z":"0",)"
            R"("commands":5,"micro_commands":61,"stopped":false,"controllers":{},"breakpoint":""})" "\n");
}

TEST_F(RunnerJson, AMachineError) {
  MicroMemory empty;
  const std::string zeros = dir.file("zeros.mpdmp");
  ASSERT_TRUE(SaveMicroProgram(empty, zeros).ok);
  EXPECT_EQ(run({"--micro", zeros, "--json"}), kRunMachineError);
  EXPECT_EQ(out.str(), R"({"А":"0000","РД":"0000","РК":"0000","СК":"0000","РА":"0000","КР":"0000","БР":"00000","РС":"0000","РМК":"0000","СчМК":"00","С":"0","N":"0","Z":"0",)"
            R"("commands":0,"micro_commands":255,"stopped":true,"controllers":{},"breakpoint":""})" "\n");
}

TEST_F(RunnerJson, BreakpointHitsNameTheirKind) {
  const std::string d = dump("p.vdmp", {"0000", "4020", "0000", "0000", "F000"});
  EXPECT_EQ(run({"--micro", micro, "--dump", d, "--micro-break", "0a", "--json"}), kRunStopped);
  EXPECT_EQ(out.str(), R"({"А":"0000","РД":"0000","РК":"0000","СК":"0001","РА":"0000","КР":"0000","БР":"00001","РС":"0000","РМК":"EE20","СчМК":"0A","С":"0","N":"0","Z":"0",)"
            R"("commands":0,"micro_commands":9,"stopped":true,"controllers":{},"breakpoint":"МК 0A"})" "\n");
  EXPECT_EQ(run({"--micro", micro, "--dump", d, "--watch", "021", "--json"}), kRunStopped);
  EXPECT_EQ(out.str(), R"({"А":"0001","РД":"4020","РК":"4020","СК":"0002","РА":"0021","КР":"0000","БР":"00000","РС":"0000","РМК":"8301","СчМК":"01","С":"0","N":"0","Z":"0",)"
            R"("commands":2,"micro_commands":28,"stopped":true,"controllers":{},"breakpoint":"W 021"})" "\n");
}

}  // namespace
