// The command trace: one line per executed command, fed through five public
// variables that the executor, main memory and run control set.
//
// Lines are stored packed and formatted when shown or exported.
#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>

#include "format/bit_value.h"
#include "format/word.h"
#include "trace/packed_log.h"
#include "trace/trace_listener.h"
#include "util/listeners.h"
#include "util/string_pool.h"

namespace vesk {

class Processor;

class CommandTrace {
 public:
  static constexpr int kColumns = 10;
  static const std::array<std::string_view, kColumns> kCaptions;

  explicit CommandTrace(const Processor& cpu);

  Listeners<TraceListener>& listeners() { return listeners_; }
  // Told only that ClearLog emptied the list (logCleared): a listener here
  // costs a run nothing.
  Listeners<TraceListener>& clearListeners() { return clears_; }

  // Address the current command was fetched from (СК after row 02).
  Word CURR_ADDR() const { return currAddr_.text(); }
  const BitValue& CurrAddrValue() const { return currAddr_; }
  void set_CURR_ADDR(std::string_view v) { currAddr_ = BitValue::OfBits(v); }
  void set_CURR_ADDR(const BitValue& v) { currAddr_ = v; }
  // The current command word (РК after row 06).
  Word CURR_CMD() const { return currCmd_.text(); }
  const BitValue& CurrCmdValue() const { return currCmd_; }
  void set_CURR_CMD(std::string_view v) { currCmd_ = BitValue::OfBits(v); }
  void set_CURR_CMD(const BitValue& v) { currCmd_ = v; }
  // "(W) " + address of the last memory write of the command.
  const Word& EFFECT_ADDR() const { return effectAddr_; }
  void set_EFFECT_ADDR(std::string_view v) { effectAddr_ = v; }
  // The new value of that cell, four hex digits.
  const Word& EFFECT_VAL() const { return effectVal_; }
  void set_EFFECT_VAL(std::string_view v) { effectVal_ = v; }
  // Commands logged since the last start.
  std::int32_t CCounter() const { return cCounter_; }
  void set_CCounter(std::int32_t v);

  // A command line (or, when CURR_ADDR is empty, the start line with the date
  // and time), then EFFECT_ADDR and EFFECT_VAL := "".
  void AddLine();
  // Removes all lines; the counter and the variables stay.
  void ClearLog();

  void setStoring(bool storing) { log_.setStoring(storing); }
  bool storing() const { return log_.storing(); }
  // The most lines kept: past it the oldest go (listeners hear logShortened
  // once after each ClearLog). LinesDropped: lines given up since ClearLog.
  static constexpr std::int64_t kDefaultLineLimit = 1'000'000;
  void setLineLimit(std::int64_t limit) { log_.setLimit(limit); }
  std::int64_t LineLimit() const { return log_.limit(); }
  std::int64_t LinesDropped() const { return log_.dropped(); }
  // The clock the start line reads (tests set a fixed one).
  void setClock(std::function<std::time_t()> clock) { clock_ = std::move(clock); }

  std::int64_t LineCount() const { return log_.size(); }
  // Lines added since ClearLog, the ones given up included.
  std::int64_t LinesTotal() const { return log_.dropped() + log_.size(); }
  // A step back's way out: keeps the lines numbered below `total` (counted as
  // LinesTotal counts); below the oldest line kept the list is left empty
  // and LinesDropped counts only the lines given up before `total`.
  void TruncateLines(std::int64_t total);
  std::string Cell(std::int64_t line, int column) const;
  std::array<std::string, kColumns> LastCells() const;
  void AppendHtmlRow(std::string& out, std::int64_t line) const;
  void AppendLastHtmlRow(std::string& out) const;

  struct Line {
    std::int64_t time;  // start lines: when the run started
    std::uint32_t effectAddrId, effectValId;
    std::uint16_t currAddr, currCmd, sk, ra, rk, rd, a;
    std::uint8_t flags;
    std::uint8_t spare;
  };

 private:
  using OddTexts = std::array<Word, 8>;  // CURR_ADDR, CURR_CMD, СК, РА, РК, РД, А, С

  void cells(const Line& line, const OddTexts* odd, std::string_view effectAddr, std::string_view effectVal,
             std::array<std::string, kColumns>& out) const;
  void lastCells(std::array<std::string, kColumns>& out) const;

  const Processor& cpu_;
  Listeners<TraceListener> listeners_;
  Listeners<TraceListener> clears_;
  BitValue currAddr_, currCmd_;
  Word effectAddr_, effectVal_;
  // The effect texts of the line added last (stored lines keep theirs in the
  // pool; lines nobody keeps are not pooled).
  Word lastEffectAddr_, lastEffectVal_;
  std::int32_t cCounter_ = 0;
  std::function<std::time_t()> clock_;
  PackedLog<Line, OddTexts> log_;
  // Cells of the row being exported, kept so their buffers are reused.
  mutable std::array<std::string, kColumns> scratch_;
  StringPool effects_;
};

// " --- Program has started mm-dd-yyyy at hh:mm:ss --- " in local time.
std::string StartLineText(std::time_t when);

}  // namespace vesk
