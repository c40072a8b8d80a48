// HTML export of the two traces: windows-1251, CR LF, a fixed header, one
// table row per line, cell texts escaped.
#pragma once

#include <string>
#include <string_view>

#include "util/atomic_file.h"
#include "util/file_result.h"

namespace vesk {

class CommandTrace;
class MicroTrace;

enum class TraceKind { Command, Micro };

// Writes an export as it goes: the header on Open, rows as they come, the
// footer on Finish, which then replaces the target. vesk-run streams a trace
// this way instead of keeping it in memory.
class TraceHtmlWriter {
 public:
  // Empty text, or why the file cannot be written (see AtomicFileWriter::Open).
  std::string Open(const std::string& path, TraceKind kind, bool waitForReader = false);
  // row: "<tr>...</tr>" in UTF-8. Empty text, or why it cannot be written
  // (a character windows-1251 cannot hold, or a write that failed: a full
  // disk shows within 64 KiB); the export then fails.
  std::string AddRow(std::string_view row);
  // The footer, and everything flushed to disk; the target is not replaced
  // yet, so that several files can be replaced only when all are complete.
  std::string Close();
  // Replaces the target (Close() first if not done).
  std::string Commit();
  std::string Finish() {
    if (std::string error = Close(); !error.empty()) return error;
    return Commit();
  }
  void Abandon() { file_.Abandon(); }
  long long rows() const { return rows_; }

 private:
  AtomicFileWriter file_;
  std::string error_;
  std::string scratch_;
  bool closed_ = false;
  long long rows_ = 0;
};

// The whole stored list of a trace to an HTML file; the old file stays when
// anything fails. (The windows do not call this for an empty list.) A list
// that gave up its oldest lines says so in its first data row.
FileResult SaveTraceHtml(const CommandTrace& trace, const std::string& path);
FileResult SaveTraceHtml(const MicroTrace& trace, const std::string& path);

}  // namespace vesk
