#include "app/settings_location.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "util/ini_file.h"

namespace vesk {

namespace {

std::string DefaultUserConfigDir() {
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg == '/') return xdg;
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return std::string(home) + "/.config";
  return {};
}

}  // namespace

SettingsLocation ChooseSettingsLocation(const std::string& programDir, std::string userConfigDir) {
  SettingsLocation loc;
  const std::string beside = SettingsPath(programDir);
  const bool besideWritable = std::filesystem::exists(beside) ? ::access(beside.c_str(), W_OK) == 0
                                                              : ::access(programDir.c_str(), W_OK) == 0;
  // A cfg.ini we can rewrite also needs a writable folder: saves go through a
  // temporary file beside it.
  if (besideWritable && ::access(programDir.c_str(), W_OK) == 0) {
    loc.path = beside;
    return loc;
  }
  if (userConfigDir.empty()) userConfigDir = DefaultUserConfigDir();
  if (userConfigDir.empty()) {
    loc.path = beside;  // nowhere better; writes will fail quietly
    return loc;
  }
  const std::filesystem::path folder = std::filesystem::path(userConfigDir) / "vesk";
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  loc.path = (folder / "cfg.ini").string();
  if (!std::filesystem::exists(loc.path) && std::filesystem::exists(beside))
    std::filesystem::copy_file(beside, loc.path, ec);
  loc.inUserFolder = true;
  loc.note = "Настройки: " + loc.path + " (папка программы закрыта для записи)";
  return loc;
}

}  // namespace vesk
