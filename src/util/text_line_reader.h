// The lines of a text file, one at a time, in windows-1251 (see
// util/decoded_file.h for the encoding). Memory holds one piece of the file
// and the line being read, however many lines the file has; a caller that
// needs only the start of long lines keeps no more than that.
//
// Line ends: CR LF, LF alone and CR alone all end a line, mixed as they come;
// a final line without a line end is a line; NUL bytes are ordinary
// characters. Empty text has no lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

#include "util/decoded_file.h"

namespace vesk {

// Where a line lies in the decoded text.
struct TextLineInfo {
  std::uint64_t begin = 0;   // offset of its first character
  std::uint64_t length = 0;  // characters, without the line end (all of them, kept or not)
  unsigned endLength = 0;    // 0 (last line without an end), 1 (LF or CR) or 2 (CR LF)
};

class TextLineReader {
 public:
  static constexpr std::size_t kWhole = std::numeric_limits<std::size_t>::max();

  explicit TextLineReader(std::size_t chunk = DecodedFile::kDefaultChunk) : file_(chunk) {}

  // See DecodedFile::Open.
  bool Open(const std::string& path);
  // Puts the next line, without its end, in line: its first `keep`
  // characters, the rest passed over. False at the end of the file and on a
  // failure (failed() tells which).
  bool Next(std::string& line, std::size_t keep = kWhole, TextLineInfo* info = nullptr);
  // Passes over the lines left, counting them (their encoding is still
  // checked); false on a failure.
  bool Skip(std::uint64_t& count);

  bool failed() const { return !error_.empty(); }
  // "Не удаётся прочитать 'x': в строке 3 есть символ '→' (U+2192), которого
  // нет в windows-1251", or why the file could not be opened or read.
  const std::string& error() const { return error_; }
  int errorNumber() const { return errorNumber_; }
  bool wasUtf8() const { return file_.wasUtf8(); }
  // Lines returned so far.
  std::uint64_t lineCount() const { return lines_; }
  // The decoded text underneath, for a second pass over the same open file.
  DecodedFile& file() { return file_; }

 private:
  // More text in piece_; false at the end or on a failure.
  bool more();
  // After more() failed: the end of the file, or a failure told in error().
  bool stop();

  DecodedFile file_;
  std::string_view piece_;
  std::size_t pos_ = 0;
  std::uint64_t offset_ = 0;  // decoded offset of piece_[pos_]
  std::uint64_t lines_ = 0;
  std::string error_;
  int errorNumber_ = 0;
};

}  // namespace vesk
