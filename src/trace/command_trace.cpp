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
  line.effectAddrId = effects_.intern(effectAddr_);
  line.effectValId = effects_.intern(effectVal_);
  std::uint32_t v = 0;
  bool clean = true;
  auto pack16 = [&clean, &v](const Word& w, std::uint16_t& slot) {
    if (clean && PackBits(w, 16, v)) slot = static_cast<std::uint16_t>(v);
    else clean = false;
  };
  if (!start) {
    pack16(currAddr_, line.currAddr);
    pack16(currCmd_, line.currCmd);
  }
  pack16(cpu_.Reg_Get_CommandCounter(), line.sk);
  pack16(cpu_.Reg_Get_Address(), line.ra);
  pack16(cpu_.Reg_Get_Command(), line.rk);
  pack16(cpu_.Reg_Get_Data(), line.rd);
  const Word& a = cpu_.Reg_Get_A();
  if (a.size() == 8 && clean && PackBits(a, 8, v)) {
    line.a = static_cast<std::uint16_t>(v);
    line.flags |= kA8;
  } else {
    pack16(a, line.a);
  }
  const Word c = cpu_.Reg_Get_С();
  if (c == "1") line.flags |= kC;
  else if (c != "0") clean = false;
  if (clean) {
    log_.add(line, nullptr);
  } else {
    line.flags = static_cast<std::uint8_t>(kOdd | (start ? kStart : 0));
    const OddTexts odd{currAddr_, currCmd_, cpu_.Reg_Get_CommandCounter(), cpu_.Reg_Get_Address(),
                        cpu_.Reg_Get_Command(), cpu_.Reg_Get_Data(), a, c};
    log_.add(line, &odd);
  }
  effectAddr_.clear();
  effectVal_.clear();
  listeners_.each([](TraceListener& l) { l.lineAdded(); });
}

void CommandTrace::ClearLog() {
  log_.clear();
  listeners_.each([](TraceListener& l) { l.logCleared(); });
}

void CommandTrace::cells(const Line& line, const OddTexts* odd, std::array<std::string, kColumns>& out) const {
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
  out[8] = effects_.text(line.effectAddrId);
  out[9] = effects_.text(line.effectValId);
}

std::string CommandTrace::Cell(std::int64_t line, int column) const {
  if (line < 0 || line >= log_.size() || column < 0 || column >= kColumns) return {};
  std::array<std::string, kColumns> all;
  cells(log_[line], log_.odd(line), all);
  return std::move(all[static_cast<std::size_t>(column)]);
}

std::array<std::string, CommandTrace::kColumns> CommandTrace::LastCells() const {
  std::array<std::string, kColumns> all;
  cells(log_.last(), log_.lastOdd(), all);
  return all;
}

void CommandTrace::AppendHtmlRow(std::string& out, std::int64_t line) const {
  cells(log_[line], log_.odd(line), scratch_);
  AppendHtmlCells(out, scratch_);
}

void CommandTrace::AppendLastHtmlRow(std::string& out) const {
  cells(log_.last(), log_.lastOdd(), scratch_);
  AppendHtmlCells(out, scratch_);
}

}  // namespace vesk
