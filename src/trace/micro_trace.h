// The micro-command trace: one line per executed micro-command with the
// registers after it and the micro-program's comment.
//
// Lines are stored packed (about 24 bytes each) and formatted only when a
// window shows them or they are exported, so ten million lines fit in a
// quarter of a gigabyte.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "format/bit_value.h"
#include "format/word.h"
#include "trace/packed_log.h"
#include "trace/trace_listener.h"
#include "util/listeners.h"
#include "util/string_pool.h"

namespace vesk {

class Processor;
class MicroMemory;

class MicroTrace {
 public:
  static constexpr int kColumns = 13;
  // Column captions of the window (with a Latin C in "CчМК").
  static const std::array<std::string_view, kColumns> kCaptions;

  MicroTrace(const Processor& cpu, const MicroMemory& microMemory);

  Listeners<TraceListener>& listeners() { return listeners_; }
  // Told only that ClearLog emptied the list (logCleared): a listener here
  // costs a run nothing.
  Listeners<TraceListener>& clearListeners() { return clears_; }

  // СчМК before the fetch, as run control stores it.
  Word PreMCC() const { return preMCC_.text(); }
  const BitValue& PreMCCValue() const { return preMCC_; }
  void set_PreMCC(std::string_view v) { preMCC_ = BitValue::OfHex(v); }
  void set_PreMCC(const BitValue& v) { preMCC_ = v; }
  // Lines logged since the program started; nothing resets it.
  std::int32_t MCCounter() const { return mcCounter_; }
  void set_MCCounter(std::int32_t v);

  // MCCounter + 1, then a line from PreMCC, the registers and the comment of
  // the micro-memory row PreMCC names.
  void AddLine();
  void ClearLog();

  // Whether lines are kept (a window keeps them; vesk-run keeps none unless
  // asked to write the trace).
  void setStoring(bool storing) { log_.setStoring(storing); }
  bool storing() const { return log_.storing(); }
  // The most lines kept: past it the oldest go (listeners hear logShortened
  // once after each ClearLog). LinesDropped: lines given up since ClearLog.
  static constexpr std::int64_t kDefaultLineLimit = 10'000'000;
  void setLineLimit(std::int64_t limit) { log_.setLimit(limit); }
  std::int64_t LineLimit() const { return log_.limit(); }
  std::int64_t LinesDropped() const { return log_.dropped(); }

  std::int64_t LineCount() const { return log_.size(); }
  // Lines added since ClearLog, the ones given up included.
  std::int64_t LinesTotal() const { return log_.dropped() + log_.size(); }
  // A step back's way out: keeps the lines numbered below `total` (counted as
  // LinesTotal counts); below the oldest line kept the list is left empty
  // and LinesDropped counts only the lines given up before `total`.
  void TruncateLines(std::int64_t total);
  std::string Cell(std::int64_t line, int column) const;
  // The cells of the line added last (stored or not).
  std::array<std::string, kColumns> LastCells() const;

  // "<tr><td>..</td>...</tr>" of a stored line / of the last line, cell texts
  // with &, < and > escaped; UTF-8.
  void AppendHtmlRow(std::string& out, std::int64_t line) const;
  void AppendLastHtmlRow(std::string& out) const;

  std::size_t bytesReserved() const { return log_.bytesReserved(); }

  struct Line {
    std::uint32_t buffer;     // БР, 17 bits
    std::uint32_t commentId;  // in the comment pool
    std::uint16_t rmk, sk, ra, rk, rd, a;
    std::uint8_t preMCC, microCounter;
    std::uint8_t flags;
    std::uint8_t spare;
  };

 private:
  // Raw texts of a line whose registers are not all clean bit strings of
  // their usual widths (only direct register writes make such lines).
  using OddTexts = std::array<Word, 12>;

  void cells(const Line& line, const OddTexts* odd, std::array<std::string, kColumns>& out) const;
  void appendRow(std::string& out, const Line& line, const OddTexts* odd) const;
  // A pooled comment with &, < and > escaped, made once.
  const std::string& escapedComment(std::uint32_t id) const;
  std::uint32_t commentId(int address);

  const Processor& cpu_;
  const MicroMemory& micro_;
  Listeners<TraceListener> listeners_;
  Listeners<TraceListener> clears_;
  BitValue preMCC_;
  std::int32_t mcCounter_ = 0;
  PackedLog<Line, OddTexts> log_;
  // Cells of the row being exported, kept so their buffers are reused.
  mutable std::array<std::string, kColumns> scratch_;
  StringPool comments_;
  mutable std::vector<std::optional<std::string>> escapedComments_;
  // The comment last seen at each micro-address and its pool id, so a line
  // costs one string compare, not a hash.
  std::array<std::string, 256> commentCache_;
  std::array<std::uint32_t, 256> commentCacheId_{};
  std::array<std::uint64_t, 256> commentCacheVersion_{};  // MicroMemory::CommentsVersion when looked up
};

}  // namespace vesk
