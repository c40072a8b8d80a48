#include "util/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "util/atomic_file.h"
#include "util/cp1251.h"
#include "util/system_error_text.h"

namespace vesk {

std::vector<TextLine> SplitLines(std::string_view text) {
  std::vector<TextLine> lines;
  const std::size_t n = text.size();
  std::size_t begin = 0;
  while (begin < n) {
    // Scanning with find_first_of keeps one pass over the text, however long a line is.
    const std::size_t end = text.find_first_of("\r\n", begin);
    if (end == std::string_view::npos) {
      lines.push_back({begin, n - begin, 0});
      break;
    }
    std::size_t endLength = 1;
    if (text[end] == '\r' && end + 1 < n && text[end + 1] == '\n') endLength = 2;
    lines.push_back({begin, end - begin, endLength});
    begin = end + endLength;
  }
  return lines;
}

namespace {

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

std::string Reason(int err) { return SystemErrorText(err); }

}  // namespace

FileBytes ReadFileBytes(const std::string& path) {
  FileBytes r;
  const auto fail = [&](const std::string& verb, int err, const std::string& why) {
    r.ok = false;
    r.errorNumber = err;
    r.error = verb + " " + Quoted(path) + ": " + why;
    r.bytes.clear();
    return r;
  };
  if (path.empty()) return fail("Не удаётся открыть", ENOENT, "не указано имя файла");
  // Non-blocking, so that a FIFO does not hang the open; it is refused below.
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) {
    const int err = errno;
    return fail("Не удаётся открыть", err, Reason(err));
  }
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) {
    const int err = errno;
    return fail("Не удаётся прочитать", err, Reason(err));
  }
  if (S_ISDIR(st.st_mode)) return fail("Не удаётся открыть", EISDIR, Reason(EISDIR));
  if (!S_ISREG(st.st_mode)) return fail("Не удаётся открыть", EINVAL, "это не обычный файл");
  if (static_cast<unsigned long long>(st.st_size) > kMaxTextFileBytes)
    return fail("Не удаётся прочитать", EFBIG, "файл больше 256 МБ");

  std::size_t used = 0;
  r.bytes.resize(static_cast<std::size_t>(st.st_size) + 1);  // +1 sees the end without a second call
  for (;;) {
    if (used == r.bytes.size()) {
      // The file grew while being read.
      if (r.bytes.size() > kMaxTextFileBytes) return fail("Не удаётся прочитать", EFBIG, "файл больше 256 МБ");
      r.bytes.resize(r.bytes.size() * 2);
    }
    const ssize_t n = ::read(fd.get(), r.bytes.data() + used, r.bytes.size() - used);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      return fail("Не удаётся прочитать", err, Reason(err));
    }
    if (n == 0) break;
    used += static_cast<std::size_t>(n);
  }
  r.bytes.resize(used);
  r.ok = true;
  return r;
}

DecodedText FileTextToCp1251(std::string raw) {
  DecodedText r;
  constexpr std::string_view kMark = "\xEF\xBB\xBF";
  if (std::string_view(raw).substr(0, kMark.size()) != kMark) {
    r.ok = true;
    r.bytes = std::move(raw);
    return r;
  }
  r.wasUtf8 = true;
  const std::string_view text = std::string_view(raw).substr(kMark.size());
  Cp1251Encoding enc = Utf8ToCp1251(text);
  if (!enc.ok) {
    std::size_t line = 1;
    for (const TextLine& l : SplitLines(text)) {
      if (enc.errorOffset < l.begin + l.length + l.endLength) break;
      ++line;
    }
    r.error = "в строке " + std::to_string(line) + " есть " + enc.Describe();
    return r;
  }
  r.ok = true;
  r.bytes = std::move(enc.bytes);
  return r;
}

std::string SaveTextFileAtomically(const std::string& path, std::string_view bytes) {
  AtomicFileWriter file;
  if (std::string error = file.Open(path); !error.empty()) return error;
  file.Write(bytes);
  return file.Commit();
}

}  // namespace vesk
