// A text file read piece by piece as windows-1251 bytes, so that reading it
// never holds more than one piece of it in memory.
//
// Every file is windows-1251, except one that starts with the UTF-8
// byte-order mark: that one is read as UTF-8 (the mark dropped) and converted
// to windows-1251. A character windows-1251 cannot hold, or bytes that are not
// UTF-8, stop such a read with a description of the character; the pieces
// before it are still returned, so a reader of lines can name the line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vesk {

// Files larger than this are refused rather than read.
constexpr std::uint64_t kMaxTextFileBytes = std::uint64_t{256} << 20;

class DecodedFile {
 public:
  static constexpr std::size_t kDefaultChunk = std::size_t{64} << 10;

  // chunk: bytes read from the disk at a time (tests use tiny ones).
  explicit DecodedFile(std::size_t chunk = kDefaultChunk);
  ~DecodedFile();
  DecodedFile(const DecodedFile&) = delete;
  DecodedFile& operator=(const DecodedFile&) = delete;

  // Opens a regular file of at most kMaxTextFileBytes. False, with error()
  // ("Не удаётся открыть 'x.vdmp': нет такого файла или каталога"), otherwise. A FIFO is
  // refused without waiting for a writer.
  bool Open(const std::string& path);
  // The next piece of text in windows-1251, or an empty view at the end of
  // the file and after a failure (failed() tells which). The view stays valid
  // until the next call.
  std::string_view Read();
  // Back to the first byte of the same open file.
  bool Rewind();

  bool failed() const { return !error_.empty() || !encodingError_.empty(); }
  // Why opening or reading failed ("Не удаётся прочитать 'x': ошибка ввода-вывода").
  const std::string& error() const { return error_; }
  int errorNumber() const { return errorNumber_; }
  // When decoding stopped: "символ '中' (U+4E2D), которого нет в
  // windows-1251"; it stands right after the last piece returned.
  const std::string& encodingError() const { return encodingError_; }
  const std::string& path() const { return path_; }
  bool wasUtf8() const { return utf8_; }

 private:
  void close();
  bool fail(const std::string& verb, int err, const std::string& why);
  // Reads raw bytes into raw_ (after what is kept there); false on failure.
  bool fill();
  std::string_view decode(bool atEnd);

  std::size_t chunk_;
  int fd_ = -1;
  std::string path_;
  std::string error_;
  std::string encodingError_;
  int errorNumber_ = 0;
  bool utf8_ = false;
  bool atEnd_ = false;
  std::uint64_t rawTotal_ = 0;
  std::string raw_;      // bytes read and not yet decoded (an incomplete UTF-8 character waits here)
  std::string decoded_;  // the piece Read returned, for UTF-8 files
};

}  // namespace vesk
