#include "trace/command_trace.h"

#include "core/processor.h"
#include "format/bit_string.h"
#include "format/mnemonics.h"
#include "trace/html_text.h"
#include "trace/packed_bits.h"

namespace vesk {

namespace {

enum Flag : std::uint8_t { kC = 1, kA8 = 2, kStart = 4, kOdd = 8 };

std::string CommandText(std::string_view cmdBits) {
  const Word hex = BinToHex(cmdBits);
  std::string text = hex.str();
  text += " | ";
  text += GroupDigits(cmdBits, 4, ".").view();
  text += " | ";
  text += CodeToMnemonic(hex).view();
  return text;
}

}  // namespace

const std::array<std::string_view, CommandTrace::kColumns> CommandTrace::kCaptions{
    "Адрес", "Команда", "СК", "РА", "РК", "РД", "А", "С", "Адрес изменения", "Значение"};

std::string StartLineText(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  char buf[64];
  std::strftime(buf, sizeof buf, " --- Program has started %m-%d-%Y at %H:%M:%S --- ", &local);
  return buf;
}

CommandTrace::CommandTrace(const Processor& cpu) : cpu_(cpu), clock_([] { return std::time(nullptr); }) {
  log_.setLimit(kDefaultLineLimit);
  log_.setShortenedHandler([this] { listeners_.each([](TraceListener& l) { l.logShortened(); }); });
}

void CommandTrace::set_CCounter(std::int32_t v) {
  cCounter_ = v;
  listeners_.each([v](TraceListener& l) { l.counterChanged(v); });
}

void CommandTrace::AddLine() {
  Line line{};
  const bool start = currAddr_.empty();
  if (start) {
    line.flags |= kStart;
    line.time = clock_();
  } else {
    set_CCounter(NextCount(cCounter_));
  }
  if (log_.storing()) {
    line.effectAddrId = effects_.intern(effectAddr_);
    line.effectValId = effects_.intern(effectVal_);
  }
  bool clean = true;
  auto pack16 = [&clean](const BitValue& v, std::uint16_t& slot) {
    if (v.isBits(16)) slot = static_cast<std::uint16_t>(v.value());
    else clean = false;
  };
  if (!start) {
    pack16(currAddr_, line.currAddr);
    pack16(currCmd_, line.currCmd);
  }
  pack16(cpu_.Value(Reg::CommandCounter), line.sk);
  pack16(cpu_.Value(Reg::Address), line.ra);
  pack16(cpu_.Value(Reg::Command), line.rk);
  pack16(cpu_.Value(Reg::Data), line.rd);
  const BitValue& a = cpu_.Value(Reg::A);
  if (a.isBits(8)) {
    line.a = static_cast<std::uint16_t>(a.value());
    line.flags |= kA8;
  } else {
    pack16(a, line.a);
  }
  const int c = cpu_.Value(Reg::State).bit(0);
  if (c == 1) line.flags |= kC;
  else if (c != 0) clean = false;
  if (clean) {
    log_.add(line, nullptr);
  } else {
    line.flags = static_cast<std::uint8_t>(kOdd | (start ? kStart : 0));
    const OddTexts odd{currAddr_.text(), currCmd_.text(), cpu_.Reg_Get_CommandCounter(), cpu_.Reg_Get_Address(),
                        cpu_.Reg_Get_Command(), cpu_.Reg_Get_Data(), a.text(), cpu_.Reg_Get_С()};
    log_.add(line, &odd);
  }
  lastEffectAddr_ = effectAddr_;
  lastEffectVal_ = effectVal_;
  effectAddr_.clear();
  effectVal_.clear();
  listeners_.each([](TraceListener& l) { l.lineAdded(); });
}

void CommandTrace::TruncateLines(std::int64_t total) {
  if (total < 0 || total >= LinesTotal()) return;
  log_.truncateTo(total);
  listeners_.each([](TraceListener& l) { l.linesRemoved(); });
}

void CommandTrace::ClearLog() {
  log_.clear();
  listeners_.each([](TraceListener& l) { l.logCleared(); });
  clears_.each([](TraceListener& l) { l.logCleared(); });
}

void CommandTrace::cells(const Line& line, const OddTexts* odd, std::string_view effectAddr, std::string_view effectVal,
                         std::array<std::string, kColumns>& out) const {
  for (auto& s : out) s.clear();
  const bool start = (line.flags & kStart) != 0;
  if ((line.flags & kOdd) != 0 && odd != nullptr) {
    const OddTexts& t = *odd;
    if (!start) {
      out[0] = BinToHex(t[0]).str();
      out[1] = CommandText(t[1]);
    }
    for (std::size_t k = 2; k <= 6; ++k) out[k] = BinToHex(t[k]).str();
    out[7] = t[7].str();
  } else {
    if (!start) {
      AppendBitsHex(out[0], line.currAddr, 16);
      out[1] = CommandText(NumToBits(line.currCmd, 16));
    }
    AppendBitsHex(out[2], line.sk, 16);
    AppendBitsHex(out[3], line.ra, 16);
    AppendBitsHex(out[4], line.rk, 16);
    AppendBitsHex(out[5], line.rd, 16);
    AppendBitsHex(out[6], line.a, (line.flags & kA8) ? 8 : 16);
    out[7] = (line.flags & kC) ? "1" : "0";
  }
  if (start) out[1] = StartLineText(static_cast<std::time_t>(line.time));
  out[8] = effectAddr;
  out[9] = effectVal;
}

void CommandTrace::lastCells(std::array<std::string, kColumns>& out) const {
  cells(log_.last(), log_.lastOdd(), lastEffectAddr_, lastEffectVal_, out);
}

std::string CommandTrace::Cell(std::int64_t line, int column) const {
  if (line < 0 || line >= log_.size() || column < 0 || column >= kColumns) return {};
  std::array<std::string, kColumns> all;
  const Line& l = log_[line];
  cells(l, log_.odd(line), effects_.text(l.effectAddrId), effects_.text(l.effectValId), all);
  return std::move(all[static_cast<std::size_t>(column)]);
}

std::array<std::string, CommandTrace::kColumns> CommandTrace::LastCells() const {
  std::array<std::string, kColumns> all;
  lastCells(all);
  return all;
}

void CommandTrace::AppendHtmlRow(std::string& out, std::int64_t line) const {
  const Line& l = log_[line];
  cells(l, log_.odd(line), effects_.text(l.effectAddrId), effects_.text(l.effectValId), scratch_);
  AppendHtmlCells(out, scratch_);
}

void CommandTrace::AppendLastHtmlRow(std::string& out) const {
  lastCells(scratch_);
  AppendHtmlCells(out, scratch_);
}

}  // namespace vesk
