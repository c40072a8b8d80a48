#include "util/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace vesk {

namespace {

constexpr std::size_t kChunk = std::size_t{1} << 20;

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

// The path a save really replaces: the file a symbolic link names.
std::string ResolveTarget(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char resolved[PATH_MAX];
  if (::realpath(path.c_str(), resolved) == nullptr) return path;
  return resolved;
}

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

}  // namespace

AtomicFileWriter::~AtomicFileWriter() { Abandon(); }

std::string AtomicFileWriter::Open(const std::string& path) {
  Abandon();
  path_ = path;
  const std::string prefix = "Cannot save '" + path + "': ";
  if (path.empty()) return prefix + "No file name given";
  target_ = ResolveTarget(path);
  mode_ = NewFileMode();
  struct stat old {};
  if (::stat(target_.c_str(), &old) == 0) {
    if (S_ISDIR(old.st_mode)) return prefix + std::strerror(EISDIR);
    mode_ = old.st_mode & 07777;
  }
  const std::string folder = FolderOf(target_);
  // Cut so that the temporary name stays within the 255 bytes a name may have.
  temp_ = folder + "/." + NameOf(target_).substr(0, 200) + ".tmp-XXXXXX";
  fd_ = ::mkstemp(temp_.data());
  if (fd_ < 0) {
    const int err = errno;
    temp_.clear();
    return prefix + "cannot create a temporary file in '" + folder + "': " + std::strerror(err);
  }
  errno_ = 0;
  buffer_.clear();
  buffer_.reserve(kChunk);
  return {};
}

bool AtomicFileWriter::flush() {
  if (fd_ < 0) return false;
  if (errno_ == 0 && !buffer_.empty() && !WriteAll(fd_, buffer_)) errno_ = errno;
  buffer_.clear();
  return errno_ == 0;
}

void AtomicFileWriter::Write(std::string_view bytes) {
  if (fd_ < 0 || errno_ != 0) return;
  buffer_.append(bytes);
  if (buffer_.size() >= kChunk) flush();
}

std::string AtomicFileWriter::Commit() {
  const std::string prefix = "Cannot save '" + path_ + "': ";
  if (fd_ < 0) return prefix + "the file was not opened";
  auto fail = [&](int err) {
    Abandon();
    return prefix + std::strerror(err);
  };
  if (!flush()) return fail(errno_);
  if (::fchmod(fd_, mode_) != 0) return fail(errno);
  if (::fsync(fd_) != 0) return fail(errno);
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) {
    const int err = errno;
    ::unlink(temp_.c_str());
    temp_.clear();
    return prefix + std::strerror(err);
  }
  if (::rename(temp_.c_str(), target_.c_str()) != 0) {
    const int err = errno;
    ::unlink(temp_.c_str());
    temp_.clear();
    return prefix + std::strerror(err);
  }
  temp_.clear();
  // The folder entry reaches the disk too; a failure here cannot undo the save.
  const int dir = ::open(FolderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return {};
}

void AtomicFileWriter::Abandon() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!temp_.empty()) {
    ::unlink(temp_.c_str());
    temp_.clear();
  }
  buffer_.clear();
}

}  // namespace vesk
