#include "util/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "util/cp1251.h"

namespace vesk {

namespace {

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

std::string Reason(int err) { return std::strerror(err); }

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() { closeNow(); }
  int get() const { return fd_; }
  // close() reports write-back errors on some file systems, so its result counts.
  int closeNow() {
    if (fd_ < 0) return 0;
    const int r = ::close(fd_);
    fd_ = -1;
    return r;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

mode_t NewFileMode() {
  // Linux tells the umask without changing it; setting and restoring it
  // would race with any other thread that creates a file meanwhile.
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("Umask:", 0) == 0) return 0666 & ~static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
  }
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// The path the save really replaces: the file a symbolic link names.
std::string ResolveTarget(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char resolved[PATH_MAX];
  if (::realpath(path.c_str(), resolved) == nullptr) return path;
  return resolved;
}

}  // namespace

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

FileBytes ReadFileBytes(const std::string& path) {
  FileBytes r;
  const auto fail = [&](const std::string& verb, int err, const std::string& why) {
    r.ok = false;
    r.errorNumber = err;
    r.error = verb + " " + Quoted(path) + ": " + why;
    r.bytes.clear();
    return r;
  };
  if (path.empty()) return fail("Cannot open", ENOENT, "No file name given");
  // Non-blocking, so that a FIFO does not hang the open; it is refused below.
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) {
    const int err = errno;
    return fail("Cannot open", err, Reason(err));
  }
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) {
    const int err = errno;
    return fail("Cannot read", err, Reason(err));
  }
  if (S_ISDIR(st.st_mode)) return fail("Cannot open", EISDIR, Reason(EISDIR));
  if (!S_ISREG(st.st_mode)) return fail("Cannot open", EINVAL, "Not a regular file");
  if (static_cast<unsigned long long>(st.st_size) > kMaxTextFileBytes)
    return fail("Cannot read", EFBIG, "The file is larger than 256 MB");

  std::size_t used = 0;
  r.bytes.resize(static_cast<std::size_t>(st.st_size) + 1);  // +1 sees the end without a second call
  for (;;) {
    if (used == r.bytes.size()) {
      // The file grew while being read.
      if (r.bytes.size() > kMaxTextFileBytes) return fail("Cannot read", EFBIG, "The file is larger than 256 MB");
      r.bytes.resize(r.bytes.size() * 2);
    }
    const ssize_t n = ::read(fd.get(), r.bytes.data() + used, r.bytes.size() - used);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      return fail("Cannot read", err, Reason(err));
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
  bool multiByte = false;
  if (!IsValidUtf8(raw, &multiByte) || !multiByte) {
    r.ok = true;
    r.bytes = std::move(raw);
    return r;
  }
  r.wasUtf8 = true;
  std::string_view text = raw;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  Cp1251Encoding enc = Utf8ToCp1251(text);
  if (!enc.ok) {
    std::size_t line = 1;
    for (const TextLine& l : SplitLines(text)) {
      if (enc.errorOffset < l.begin + l.length + l.endLength) break;
      ++line;
    }
    r.error = "line " + std::to_string(line) + " holds " + enc.Describe();
    return r;
  }
  r.ok = true;
  r.bytes = std::move(enc.bytes);
  return r;
}

std::string ToFileEncoding(std::string cp1251) {
  bool multiByte = false;
  if (IsValidUtf8(cp1251, &multiByte) && multiByte) return Cp1251ToUtf8(cp1251);
  return cp1251;
}

TextFile ReadTextFile(const std::string& path) {
  TextFile r;
  FileBytes raw = ReadFileBytes(path);
  if (!raw.ok) {
    r.error = std::move(raw.error);
    r.errorNumber = raw.errorNumber;
    return r;
  }
  DecodedText text = FileTextToCp1251(std::move(raw.bytes));
  if (!text.ok) {
    r.error = "Cannot read " + Quoted(path) + ": " + text.error;
    r.errorNumber = EILSEQ;
    return r;
  }
  r.ok = true;
  r.wasUtf8 = text.wasUtf8;
  r.bytes = std::move(text.bytes);
  r.lines = SplitLines(r.bytes);
  return r;
}

std::string SaveTextFileAtomically(const std::string& path, std::string_view bytes) {
  const std::string prefix = "Cannot save " + Quoted(path) + ": ";
  if (path.empty()) return prefix + "No file name given";
  const std::string target = ResolveTarget(path);
  const std::string folder = FolderOf(target);

  mode_t mode = NewFileMode();
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0) {
    if (S_ISDIR(old.st_mode)) return prefix + Reason(EISDIR);
    mode = old.st_mode & 07777;
  }

  // Cut so that the temporary name stays within the 255 bytes a name may have.
  std::string temp = folder + "/." + NameOf(target).substr(0, 200) + ".tmp-XXXXXX";
  Fd fd(::mkstemp(temp.data()));
  if (fd.get() < 0) {
    const int err = errno;
    return prefix + "cannot create a temporary file in '" + folder + "': " + Reason(err);
  }
  const auto abandon = [&](int err) {
    fd.closeNow();
    ::unlink(temp.c_str());
    return prefix + Reason(err);
  };
  if (!WriteAll(fd.get(), bytes)) return abandon(errno);
  if (::fchmod(fd.get(), mode) != 0) return abandon(errno);
  if (::fsync(fd.get()) != 0) return abandon(errno);
  if (fd.closeNow() != 0) return abandon(errno);
  if (::rename(temp.c_str(), target.c_str()) != 0) return abandon(errno);

  // The rename itself reaches the disk with the folder's entry; a failure
  // here cannot undo the save, so it is not reported.
  Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) ::fsync(dir.get());
  return {};
}

}  // namespace vesk
