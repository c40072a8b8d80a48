#include "util/decoded_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "util/cp1251.h"
#include "util/system_error_text.h"

namespace vesk {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Bytes at the end of text that start a UTF-8 character whose other bytes
// have not been read yet.
std::size_t IncompleteTail(std::string_view text) {
  const std::size_t n = text.size();
  for (std::size_t k = 1; k <= 3 && k <= n; ++k) {
    const auto b = static_cast<unsigned char>(text[n - k]);
    if ((b & 0xC0) == 0x80) continue;
    const std::size_t need = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
    return need > k ? k : 0;
  }
  return 0;
}

}  // namespace

DecodedFile::DecodedFile(std::size_t chunk) : chunk_(chunk == 0 ? 1 : chunk) {}

DecodedFile::~DecodedFile() { close(); }

void DecodedFile::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool DecodedFile::fail(const std::string& verb, int err, const std::string& why) {
  error_ = verb + " '" + path_ + "': " + why;
  errorNumber_ = err;
  raw_.clear();
  decoded_.clear();
  return false;
}

bool DecodedFile::Open(const std::string& path) {
  close();
  path_ = path;
  error_.clear();
  encodingError_.clear();
  errorNumber_ = 0;
  if (path.empty()) return fail("Не удаётся открыть", ENOENT, "не указано имя файла");
  // Non-blocking, so that a FIFO does not hang the open; it is refused below.
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd_ < 0) {
    const int err = errno;
    return fail("Не удаётся открыть", err, SystemErrorText(err));
  }
  struct stat st {};
  if (::fstat(fd_, &st) != 0) {
    const int err = errno;
    close();
    return fail("Не удаётся прочитать", err, SystemErrorText(err));
  }
  if (S_ISDIR(st.st_mode)) {
    close();
    return fail("Не удаётся открыть", EISDIR, SystemErrorText(EISDIR));
  }
  if (!S_ISREG(st.st_mode)) {
    close();
    return fail("Не удаётся открыть", EINVAL, "это не обычный файл");
  }
  if (static_cast<std::uint64_t>(st.st_size) > kMaxTextFileBytes) {
    close();
    return fail("Не удаётся прочитать", EFBIG, "файл больше 256 МБ");
  }
  return Rewind();
}

bool DecodedFile::Rewind() {
  if (fd_ < 0) return false;
  raw_.clear();
  decoded_.clear();
  encodingError_.clear();
  atEnd_ = false;
  rawTotal_ = 0;
  utf8_ = false;
  if (::lseek(fd_, 0, SEEK_SET) != 0) {
    const int err = errno;
    return fail("Не удаётся прочитать", err, SystemErrorText(err));
  }
  while (raw_.size() < kByteOrderMark.size() && !atEnd_)
    if (!fill()) return false;
  if (std::string_view(raw_).substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    utf8_ = true;
    raw_.erase(0, kByteOrderMark.size());
  }
  return true;
}

bool DecodedFile::fill() {
  const std::size_t used = raw_.size();
  raw_.resize(used + chunk_);
  for (;;) {
    const ssize_t n = ::read(fd_, raw_.data() + used, chunk_);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int err = errno;
      return fail("Не удаётся прочитать", err, SystemErrorText(err));
    }
    raw_.resize(used + static_cast<std::size_t>(n));
    if (n == 0) atEnd_ = true;
    rawTotal_ += static_cast<std::uint64_t>(n);
    // The file may grow while it is read.
    if (rawTotal_ > kMaxTextFileBytes) return fail("Не удаётся прочитать", EFBIG, "файл больше 256 МБ");
    return true;
  }
}

std::string_view DecodedFile::decode(bool atEnd) {
  const std::size_t complete = atEnd ? raw_.size() : raw_.size() - IncompleteTail(raw_);
  const std::string_view text(raw_.data(), complete);
  Cp1251Encoding enc = Utf8ToCp1251(text);
  if (enc.ok) {
    decoded_ = std::move(enc.bytes);
  } else {
    decoded_ = Utf8ToCp1251(text.substr(0, enc.errorOffset)).bytes;
    encodingError_ = enc.Describe();
  }
  raw_.erase(0, complete);
  return decoded_;
}

std::string_view DecodedFile::Read() {
  if (failed() || fd_ < 0) return {};
  for (;;) {
    if (raw_.empty() && !atEnd_ && !fill()) return {};
    if (raw_.empty()) return {};
    if (!utf8_) {
      decoded_.swap(raw_);
      raw_.clear();
      return decoded_;
    }
    if (atEnd_ || IncompleteTail(raw_) < raw_.size()) {
      const std::string_view piece = decode(atEnd_);
      if (!piece.empty() || failed()) return piece;
    }
    // Only the start of a character so far: read on.
    if (!fill()) return {};
  }
}

}  // namespace vesk
