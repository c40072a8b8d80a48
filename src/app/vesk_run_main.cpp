// vesk-run: runs one program on the machine without windows.
#include <iostream>
#include <string>
#include <vector>

#include "app/runner.h"
#include "util/exit_signals.h"

int main(int argc, char** argv) {
  vesk::ExitCleanlyOnSignals("vesk-run: stopped by");
  const std::vector<std::string> args(argv + 1, argv + argc);
  const auto [options, why] = vesk::ParseRunnerArgs(args);
  if (!options) {
    std::cerr << "vesk-run: " << why << "\n";
    return vesk::kRunUsageError;
  }
  if (options->help) {
    std::cout << vesk::RunnerUsage();
    return 0;
  }
  return vesk::RunHeadless(*options, vesk::ProgramDirectory(), std::cout, std::cerr);
}
