// Where the window program keeps cfg.ini: beside the executable, as users
// expect; when that folder is not writable (an installed program), in the
// user's configuration folder, seeded once from the cfg.ini shipped beside the
// executable so the default micro-program is still found.
#pragma once

#include <string>

namespace vesk {

struct SettingsLocation {
  std::string path;
  bool inUserFolder = false;  // the program's folder was not writable
  std::string note;           // for the status bar when inUserFolder
};

// programDir: the executable's folder. userConfigDir: the user's
// configuration folder ($XDG_CONFIG_HOME or ~/.config); empty finds it.
SettingsLocation ChooseSettingsLocation(const std::string& programDir, std::string userConfigDir = {});

}  // namespace vesk
