// A file written in pieces that replaces its target only when complete: the
// bytes go to a temporary file in the target's folder, and Commit() flushes it
// to disk and renames it over the target. Until then, and whenever anything
// fails, the old file stays as it was; an uncommitted writer removes its
// temporary file.
#pragma once

#include <string>
#include <string_view>

namespace vesk {

class AtomicFileWriter {
 public:
  AtomicFileWriter() = default;
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
  ~AtomicFileWriter();

  // Creates the temporary file. Returns an empty text, or the reason
  // ("Cannot save 'x.html': Permission denied").
  std::string Open(const std::string& path);
  // Buffers bytes and writes them in large pieces.
  void Write(std::string_view bytes);
  // Writes what is buffered, flushes to disk, renames over the target.
  // Returns an empty text or the reason (then the old file is untouched).
  std::string Commit();
  // Drops the temporary file.
  void Abandon();
  bool isOpen() const { return fd_ >= 0; }

 private:
  bool flush();

  std::string path_;
  std::string target_;
  std::string temp_;
  std::string buffer_;
  int fd_ = -1;
  int errno_ = 0;  // the first write failure
  unsigned mode_ = 0;
};

}  // namespace vesk
