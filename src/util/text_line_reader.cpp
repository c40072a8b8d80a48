#include "util/text_line_reader.h"

#include <cerrno>

namespace vesk {

bool TextLineReader::Open(const std::string& path) {
  piece_ = {};
  pos_ = 0;
  offset_ = 0;
  lines_ = 0;
  error_.clear();
  errorNumber_ = 0;
  if (file_.Open(path)) return true;
  error_ = file_.error();
  errorNumber_ = file_.errorNumber();
  return false;
}

bool TextLineReader::more() {
  piece_ = file_.Read();
  pos_ = 0;
  return !piece_.empty();
}

bool TextLineReader::stop() {
  if (!file_.failed()) return false;
  if (!file_.error().empty()) {
    error_ = file_.error();
    errorNumber_ = file_.errorNumber();
  } else {
    // The character that cannot be decoded stands where reading stopped.
    error_ = "Не удаётся прочитать '" + file_.path() + "': в строке " + std::to_string(lines_ + 1) + " есть " +
             file_.encodingError();
    errorNumber_ = EILSEQ;
  }
  return false;
}

bool TextLineReader::Next(std::string& line, std::size_t keep, TextLineInfo* info) {
  line.clear();
  if (failed()) return false;
  TextLineInfo found;
  found.begin = offset_;
  bool any = false;
  for (;;) {
    if (pos_ == piece_.size() && !more()) {
      if (file_.failed() || !any) return stop();
      break;  // a last line without a line end
    }
    const char* text = piece_.data() + pos_;
    const std::size_t left = piece_.size() - pos_;
    std::size_t n = 0;
    while (n < left && text[n] != '\r' && text[n] != '\n') ++n;
    if (line.size() < keep) line.append(text, std::min(n, keep - line.size()));
    found.length += n;
    pos_ += n;
    offset_ += n;
    any = true;
    if (n == left) continue;
    const char end = piece_[pos_];
    ++pos_;
    ++offset_;
    found.endLength = 1;
    // An LF right after a CR belongs to the same line end, even when it
    // comes in the next piece. A failure to read on is told by the next call.
    if (end == '\r' && (pos_ < piece_.size() || more()) && piece_[pos_] == '\n') {
      ++pos_;
      ++offset_;
      found.endLength = 2;
    }
    break;
  }
  ++lines_;
  if (info != nullptr) *info = found;
  return true;
}

bool TextLineReader::Skip(std::uint64_t& count) {
  count = 0;
  if (failed()) return false;
  bool started = false;
  bool afterCr = false;
  for (;;) {
    if (pos_ == piece_.size() && !more()) break;
    offset_ += piece_.size() - pos_;
    for (; pos_ < piece_.size(); ++pos_) {
      const char c = piece_[pos_];
      if (c == '\n' && afterCr) {
        afterCr = false;
      } else if (c == '\n' || c == '\r') {
        ++count;
        started = false;
        afterCr = c == '\r';
      } else {
        started = true;
        afterCr = false;
      }
    }
  }
  lines_ += count;
  if (file_.failed()) return stop();
  if (started) {
    ++count;
    ++lines_;
  }
  return true;
}

}  // namespace vesk
