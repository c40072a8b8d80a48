#include "util/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "util/system_error_text.h"
#include "util/temp_files.h"

namespace vesk {

namespace {

constexpr std::string_view kTempTag = ".vesk-tmp-";
constexpr std::size_t kTagLength = 6;
// Cut so that the temporary name stays within the 255 bytes a name may have.
constexpr std::size_t kNameKept = 200;

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

// The path a save finally replaces: symbolic links followed one by one, a
// relative link read from the link's own folder.
std::string FollowLinks(const std::string& path) {
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    std::string text(PATH_MAX, '\0');
    const ssize_t n = ::readlink(current.c_str(), text.data(), text.size());
    if (n <= 0 || n >= PATH_MAX) return current;
    text.resize(static_cast<std::size_t>(n));
    current = text.front() == '/' ? text : FolderOf(current) + "/" + text;
  }
  return current;
}

// What a target that is neither a regular file nor a folder is, for refusals.
const char* KindOf(mode_t mode) {
  if (S_ISSOCK(mode)) return "это сокет";
  if (S_ISBLK(mode)) return "это блочное устройство";
  return "это не обычный файл";
}

std::string RandomTag() {
  static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  unsigned char bytes[kTagLength] = {};
  if (::getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bytes)) {
    auto mix = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    for (unsigned char& b : bytes) {
      mix = mix * 6364136223846793005ULL + 1442695040888963407ULL;
      b = static_cast<unsigned char>(mix >> 56);
    }
  }
  std::string tag;
  for (const unsigned char b : bytes) tag.push_back(kLetters[b % (sizeof kLetters - 1)]);
  return tag;
}

// The process a temporary name ".NAME.vesk-tmp-PID-XXXXXX" belongs to, or 0
// when rest (what follows ".NAME.vesk-tmp-") is not "PID-XXXXXX".
pid_t OwnerOf(std::string_view rest) {
  const std::size_t dash = rest.find('-');
  if (dash == 0 || dash == std::string_view::npos || dash > 9 || rest.size() != dash + 1 + kTagLength) return 0;
  pid_t pid = 0;
  for (std::size_t i = 0; i < dash; ++i) {
    if (rest[i] < '0' || rest[i] > '9') return 0;
    pid = pid * 10 + (rest[i] - '0');
  }
  return pid;
}

// Removes the temporary files of this target whose process is gone.
void RemoveStaleTemporaries(const std::string& folder, const std::string& prefix) {
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name.substr(0, prefix.size()) != prefix) continue;
    const pid_t owner = OwnerOf(name.substr(prefix.size()));
    if (owner <= 0 || owner == ::getpid()) continue;
    // EPERM: the process lives, under another user.
    if (::kill(owner, 0) == 0 || errno != ESRCH) continue;
    ::unlinkat(::dirfd(dir), entry->d_name, 0);
  }
  ::closedir(dir);
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

int OpenRetrying(const char* path, int flags, mode_t mode = 0) {
  for (;;) {
    const int fd = ::open(path, flags, mode);
    if (fd >= 0 || errno != EINTR) return fd;
  }
}

}  // namespace

AtomicFileWriter::~AtomicFileWriter() { Abandon(); }

std::string AtomicFileWriter::Open(const std::string& path, bool waitForReader) {
  Abandon();
  path_ = path;
  straight_ = false;
  errno_ = 0;
  writeError_.clear();
  buffer_.clear();
  const std::string prefix = "Не удаётся сохранить '" + path + "': ";
  if (path.empty()) return prefix + "не указано имя файла";

  struct stat st {};
  bool exists = ::stat(path.c_str(), &st) == 0;
  if (!exists && errno != ENOENT) return prefix + SystemErrorText(errno);
  int straightFlags = -1;
  if (exists) {
    if (S_ISDIR(st.st_mode)) return prefix + SystemErrorText(EISDIR);
    if (S_ISFIFO(st.st_mode)) straightFlags = waitForReader ? 0 : O_NONBLOCK;
    else if (S_ISCHR(st.st_mode)) straightFlags = 0;
    else if (!S_ISREG(st.st_mode)) return prefix + KindOf(st.st_mode) + ", в него нельзя сохранить";
  }
  if (straightFlags < 0) {
    target_ = FollowLinks(path);
    mode_ = exists ? (st.st_mode & 07777) : NewFileMode();
    struct stat found {};
    // A regular file that has no name of its own to replace (one a program
    // has open behind /proc/self/fd, already deleted) is written straight.
    if (exists && (::lstat(target_.c_str(), &found) != 0 || found.st_dev != st.st_dev || found.st_ino != st.st_ino))
      straightFlags = O_TRUNC;
  }
  if (straightFlags >= 0) {
    fd_ = OpenRetrying(path.c_str(), O_WRONLY | O_CLOEXEC | straightFlags);
    if (fd_ < 0) {
      if (errno == ENXIO) return prefix + "из этого канала (FIFO) никто не читает";
      return prefix + SystemErrorText(errno);
    }
    if ((straightFlags & O_NONBLOCK) != 0) ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
    straight_ = true;
    buffer_.reserve(kChunk);
    return {};
  }

  const std::string folder = FolderOf(target_);
  const std::string namePrefix = "." + NameOf(target_).substr(0, kNameKept) + std::string(kTempTag);
  RemoveStaleTemporaries(folder, namePrefix);
  const std::string base = folder + "/" + namePrefix + std::to_string(::getpid()) + "-";
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    temp_ = base + RandomTag();
    // Known to the signal handlers before it exists, so it never exists unknown.
    tempSlot_ = temp_files::Remember(temp_.c_str());
    fd_ = OpenRetrying(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd_ >= 0) break;
    const int err = errno;
    temp_files::Forget(tempSlot_);
    tempSlot_ = -1;
    temp_.clear();
    if (err != EEXIST) return prefix + "не удаётся создать временный файл в '" + folder + "': " + SystemErrorText(err);
  }
  if (fd_ < 0) return prefix + "не удаётся создать временный файл в '" + folder + "'";
  buffer_.reserve(kChunk);
  return {};
}

bool AtomicFileWriter::flush() {
  if (fd_ < 0) return false;
  if (errno_ == 0 && !buffer_.empty() && !WriteAll(fd_, buffer_)) {
    errno_ = errno;
    writeError_ = "Не удаётся сохранить '" + path_ + "': " + SystemErrorText(errno_);
  }
  buffer_.clear();
  return errno_ == 0;
}

void AtomicFileWriter::Write(std::string_view bytes) {
  if (fd_ < 0 || errno_ != 0) return;
  buffer_.append(bytes);
  if (buffer_.size() >= kChunk) flush();
}

std::string AtomicFileWriter::fail(int err) {
  Abandon();
  return "Не удаётся сохранить '" + path_ + "': " + SystemErrorText(err);
}

std::string AtomicFileWriter::Prepare() {
  if (prepared_) return {};
  if (fd_ < 0) return "Не удаётся сохранить '" + path_ + "': файл не открыт";
  if (!flush()) return fail(errno_);
  if (!straight_) {
    if (::fchmod(fd_, mode_) != 0) return fail(errno);
    if (::fsync(fd_) != 0) return fail(errno);
  }
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) return fail(errno);
  prepared_ = true;
  return {};
}

std::string AtomicFileWriter::Commit() {
  if (std::string error = Prepare(); !error.empty()) return error;
  prepared_ = false;
  if (straight_) return {};
  if (::rename(temp_.c_str(), target_.c_str()) != 0) return fail(errno);
  temp_files::Forget(tempSlot_);
  tempSlot_ = -1;
  temp_.clear();
  // The folder entry reaches the disk too; a failure here cannot undo the save.
  const int dir = ::open(FolderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return {};
}

void AtomicFileWriter::dropTemporary() {
  if (!temp_.empty()) ::unlink(temp_.c_str());
  temp_files::Forget(tempSlot_);
  tempSlot_ = -1;
  temp_.clear();
}

void AtomicFileWriter::Abandon() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  dropTemporary();
  prepared_ = false;
  buffer_.clear();
}

}  // namespace vesk
