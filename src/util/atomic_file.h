// A file written in pieces that replaces its target only when complete.
//
// What the target is decides how it is written:
// - a regular file, or no file yet: the bytes go to a temporary file in the
//   target's folder (".NAME.vesk-tmp-PID-XXXXXX"), and Commit() flushes it to
//   disk and renames it over the target. Until then, and whenever anything
//   fails, the old file stays as it was; an uncommitted writer removes its
//   temporary file, and so do the signal handlers (util/exit_signals.h). A
//   save also removes the temporary files of the same target left by a
//   process that no longer exists (one killed by SIGKILL, say).
// - a FIFO or a character device (a pipe to another program, a terminal,
//   /dev/stdout): written straight into, in one pass, without a temporary
//   file; what was written stays written even if the save then fails.
// - anything else (a directory, a socket, a block device): refused by Open,
//   and left alone.
// A symbolic link is followed to the file it finally names; the link stays.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vesk {

class AtomicFileWriter {
 public:
  // Bytes are handed to the system at least every this many, so a full disk
  // shows within this many bytes of the moment it happens.
  static constexpr std::size_t kChunk = std::size_t{64} << 10;

  AtomicFileWriter() = default;
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
  ~AtomicFileWriter();

  // Gets the target ready. Returns an empty text, or the reason
  // ("Не удаётся сохранить 'x.html': нет прав доступа"). A FIFO nobody reads from
  // is refused at once, unless waitForReader: then Open waits for a reader,
  // as a shell's redirection does.
  std::string Open(const std::string& path, bool waitForReader = false);
  // Buffers bytes and writes them in pieces of kChunk.
  void Write(std::string_view bytes);
  // The first failure of a write so far ("Не удаётся сохранить 'x': на диске
  // нет места"), or an empty text. Later writes are dropped.
  const std::string& WriteError() const { return writeError_; }
  // Writes what is buffered and flushes it to disk, without touching the
  // target yet. Empty text, or the reason (the temporary file is then gone).
  std::string Prepare();
  // Prepare(), if not done, then the rename over the target. Empty text, or
  // the reason (then the old file is untouched).
  std::string Commit();
  // Drops the temporary file (a straight target keeps what it got).
  void Abandon();
  bool isOpen() const { return fd_ >= 0 || prepared_; }
  // True for a FIFO or a character device.
  bool writesStraight() const { return straight_; }

 private:
  bool flush();
  std::string fail(int err);
  void dropTemporary();

  std::string path_;
  std::string target_;
  std::string temp_;
  int tempSlot_ = -1;
  std::string buffer_;
  std::string writeError_;
  int fd_ = -1;
  int errno_ = 0;  // the first write failure
  unsigned mode_ = 0;
  bool straight_ = false;
  bool prepared_ = false;
};

}  // namespace vesk
