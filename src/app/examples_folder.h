// Where the example programs are for a program running from `programDir`:
// the installed examples (share/vesk/examples beside the program's lib/vesk)
// for an installed program, the source tree's examples/ for a program run
// from its build folder.
#pragma once

#include <string>

namespace vesk {

// The installed examples folder relative to the installed program's folder
// ("../../share/vesk/examples" for the usual lib/vesk).
const char* InstalledExamplesRelativePath();

// The first of: programDir + the installed relative path, the source tree's
// examples folder, that exists as a folder; empty when neither does.
std::string ExamplesFolder(const std::string& programDir);

}  // namespace vesk
