// What a file reader or writer tells the window that called it. No reader or
// writer throws for a bad file; it returns this instead.
#pragma once

#include <string>
#include <vector>

namespace vesk {

struct FileResult {
  bool ok = false;
  std::string error;                  // why nothing was loaded or saved (ok is false)
  std::vector<std::string> warnings;  // what a successful load did not take as the file said
  int lines = 0;                      // rows loaded, or lines written
};

}  // namespace vesk
