// The text a recorded case leaves: named sections of UTF-8 text, readable in
// a diff. File contents (windows-1251) are kept converted to UTF-8, which
// loses nothing.
#pragma once

#include <string>
#include <string_view>

namespace vesk::golden {

class CaseRecord {
 public:
  void section(std::string_view name) {
    text_ += "## ";
    text_ += name;
    text_ += '\n';
  }
  void line(std::string_view text) {
    text_ += text;
    text_ += '\n';
  }
  void field(std::string_view name, std::string_view value) {
    text_ += name;
    text_ += ": ";
    text_ += value;
    text_ += '\n';
  }
  // A file's bytes, windows-1251, as UTF-8 lines (CR LF kept as they are).
  void file(std::string_view name, const std::string& bytes);
  // The bytes of a file that may not exist; a command trace's start time
  // made fixed when asked.
  void fileAt(std::string_view name, const std::string& path, bool fixStartTime = false);

  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

// The start line of a command trace names the wall-clock time of the run;
// vesk-run takes it from the system clock, so it is written as a fixed text.
std::string WithFixedStartTime(std::string text);

}  // namespace vesk::golden
