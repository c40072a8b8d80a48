#include "app/examples_folder.h"

#include <filesystem>
#include <system_error>

#ifndef VESK_INSTALLED_EXAMPLES
#define VESK_INSTALLED_EXAMPLES "../../share/vesk/examples"
#endif
#ifndef VESK_SOURCE_EXAMPLES
#define VESK_SOURCE_EXAMPLES ""
#endif

namespace vesk {

const char* InstalledExamplesRelativePath() { return VESK_INSTALLED_EXAMPLES; }

std::string ExamplesFolder(const std::string& programDir) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path installed = fs::path(programDir) / InstalledExamplesRelativePath();
  if (fs::is_directory(installed, ec)) return fs::weakly_canonical(installed, ec).string();
  const fs::path source = VESK_SOURCE_EXAMPLES;
  if (!source.empty() && fs::is_directory(source, ec)) return source.string();
  return {};
}

}  // namespace vesk
