#include "trace/micro_trace.h"

#include <cstring>

#include "core/processor.h"
#include "format/bit_string.h"
#include "memory/micro_memory.h"
#include "trace/html_text.h"
#include "trace/packed_bits.h"

namespace vesk {

namespace {

enum Flag : std::uint8_t { kC = 1, kN = 2, kZ = 4, kA8 = 8, kOdd = 16 };

// A flag's digit (as Reg_Get_С and its kin read it) into the line's flags;
// false for a digit other than 0 and 1.
bool FlagBit(int digit, std::uint8_t bit, std::uint8_t& flags) {
  if (digit == 1) {
    flags |= bit;
    return true;
  }
  return digit == 0;
}

}  // namespace

const std::array<std::string_view, MicroTrace::kColumns> MicroTrace::kCaptions{
    "CчМК до выборки МК", "РМК", "СК", "РА", "РК", "РД", "А", "С", "БР", "N", "Z", "CчМК", "Комментарий"};

MicroTrace::MicroTrace(const Processor& cpu, const MicroMemory& microMemory) : cpu_(cpu), micro_(microMemory) {
  log_.setLimit(kDefaultLineLimit);
  log_.setShortenedHandler([this] { listeners_.each([](TraceListener& l) { l.logShortened(); }); });
}

void MicroTrace::set_MCCounter(std::int32_t v) {
  mcCounter_ = v;
  listeners_.each([v](TraceListener& l) { l.counterChanged(v); });
}

std::uint32_t MicroTrace::commentId(int address) {
  if (address < 1 || address > MicroMemory::kWords) return 0;
  const auto slot = static_cast<std::size_t>(address);
  auto& id = commentCacheId_[slot];
  // No comment changed since this row's was last looked up.
  if (commentCacheVersion_[slot] == micro_.CommentsVersion()) return id;
  commentCacheVersion_[slot] = micro_.CommentsVersion();
  const std::string& comment = micro_.Comment(address);
  auto& cached = commentCache_[slot];
  if (id != 0 && cached == comment) return id;
  if (comment.empty()) {
    cached.clear();
    id = 0;
    return 0;
  }
  cached = comment;
  id = comments_.intern(comment);
  return id;
}

void MicroTrace::AddLine() {
  set_MCCounter(NextCount(mcCounter_));
  Line line{};
  line.commentId = commentId(preMCC_.isHex() ? static_cast<int>(preMCC_.value()) : HexToNum(preMCC_.text()));
  const BitValue& counter = cpu_.Value(Reg::MicroCounter);
  bool clean = preMCC_.isHex(2) && counter.isHex(2);
  line.preMCC = static_cast<std::uint8_t>(preMCC_.value());
  line.microCounter = static_cast<std::uint8_t>(counter.value());
  auto pack16 = [&clean](const BitValue& v, std::uint16_t& slot) {
    if (v.isBits(16)) slot = static_cast<std::uint16_t>(v.value());
    else clean = false;
  };
  pack16(cpu_.Value(Reg::MicroCommand), line.rmk);
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
  const BitValue& buffer = cpu_.Value(Reg::Buffer);
  if (buffer.isBits(17)) line.buffer = buffer.value();
  else clean = false;
  const BitValue& state = cpu_.Value(Reg::State);
  const int c = state.bit(0), z = state.bit(1), n = state.bit(2);
  clean = clean && FlagBit(c, kC, line.flags) && FlagBit(n, kN, line.flags) && FlagBit(z, kZ, line.flags);
  if (clean) {
    log_.add(line, nullptr);
  } else {
    line.flags = kOdd;
    const OddTexts odd{preMCC_.text(), cpu_.Micro_Reg_Get_Command(), cpu_.Reg_Get_CommandCounter(), cpu_.Reg_Get_Address(),
                        cpu_.Reg_Get_Command(), cpu_.Reg_Get_Data(), a.text(), NumToDec(c), buffer.text(), NumToDec(n),
                        NumToDec(z), counter.text()};
    log_.add(line, &odd);
  }
  listeners_.each([](TraceListener& l) { l.lineAdded(); });
}

void MicroTrace::TruncateLines(std::int64_t total) {
  if (total < 0 || total >= LinesTotal()) return;
  log_.truncateTo(total);
  listeners_.each([](TraceListener& l) { l.linesRemoved(); });
}

void MicroTrace::ClearLog() {
  log_.clear();
  listeners_.each([](TraceListener& l) { l.logCleared(); });
  clears_.each([](TraceListener& l) { l.logCleared(); });
}

void MicroTrace::cells(const Line& line, const OddTexts* odd, std::array<std::string, kColumns>& out) const {
  for (auto& s : out) s.clear();
  if ((line.flags & kOdd) != 0 && odd != nullptr) {
    const OddTexts& t = *odd;
    out[0] = t[0].str();
    for (int k : {1, 2, 3, 4, 5, 6, 8}) out[static_cast<std::size_t>(k)] = BinToHex(t[static_cast<std::size_t>(k)]).str();
    out[7] = t[7].str();
    out[9] = t[9].str();
    out[10] = t[10].str();
    out[11] = t[11].str();
  } else {
    AppendHex2(out[0], line.preMCC);
    AppendBitsHex(out[1], line.rmk, 16);
    AppendBitsHex(out[2], line.sk, 16);
    AppendBitsHex(out[3], line.ra, 16);
    AppendBitsHex(out[4], line.rk, 16);
    AppendBitsHex(out[5], line.rd, 16);
    AppendBitsHex(out[6], line.a, (line.flags & kA8) ? 8 : 16);
    out[7] = (line.flags & kC) ? "1" : "0";
    AppendBitsHex(out[8], line.buffer, 17);
    out[9] = (line.flags & kN) ? "1" : "0";
    out[10] = (line.flags & kZ) ? "1" : "0";
    AppendHex2(out[11], line.microCounter);
  }
  out[12] = comments_.text(line.commentId);
}

std::string MicroTrace::Cell(std::int64_t line, int column) const {
  if (line < 0 || line >= log_.size() || column < 0 || column >= kColumns) return {};
  std::array<std::string, kColumns> all;
  cells(log_[line], log_.odd(line), all);
  return std::move(all[static_cast<std::size_t>(column)]);
}

std::array<std::string, MicroTrace::kColumns> MicroTrace::LastCells() const {
  std::array<std::string, kColumns> all;
  cells(log_.last(), log_.lastOdd(), all);
  return all;
}

void MicroTrace::AppendHtmlRow(std::string& out, std::int64_t line) const { appendRow(out, log_[line], log_.odd(line)); }

void MicroTrace::AppendLastHtmlRow(std::string& out) const { appendRow(out, log_.last(), log_.lastOdd()); }

void MicroTrace::appendRow(std::string& out, const Line& l, const OddTexts* odd) const {
  if ((l.flags & kOdd) != 0) {
    cells(l, odd, scratch_);
    AppendHtmlCells(out, scratch_);
    return;
  }
  // The usual line, written straight from its packed fields: an export of
  // millions of lines builds no cell texts.
  static constexpr char kHex[] = "0123456789ABCDEF";
  char buf[192];
  char* p = buf;
  auto put = [&p](std::string_view s) {
    std::memcpy(p, s.data(), s.size());
    p += s.size();
  };
  auto hex = [&p](std::uint32_t v, int digits) {
    for (int d = digits - 1; d >= 0; --d) *p++ = kHex[(v >> (4 * d)) & 15u];
  };
  auto flag = [&p, &l](std::uint8_t bit) { *p++ = (l.flags & bit) ? '1' : '0'; };
  put("<tr><td>");
  hex(l.preMCC, 2);
  for (const std::uint16_t v : {l.rmk, l.sk, l.ra, l.rk, l.rd}) {
    put("</td><td>");
    hex(v, 4);
  }
  put("</td><td>");
  hex(l.a, (l.flags & kA8) ? 2 : 4);
  put("</td><td>");
  flag(kC);
  put("</td><td>");
  hex(l.buffer, 5);
  put("</td><td>");
  flag(kN);
  put("</td><td>");
  flag(kZ);
  put("</td><td>");
  hex(l.microCounter, 2);
  put("</td><td>");
  out.append(buf, static_cast<std::size_t>(p - buf));
  out += escapedComment(l.commentId);
  out += "</td></tr>";
}

const std::string& MicroTrace::escapedComment(std::uint32_t id) const {
  if (id >= escapedComments_.size()) escapedComments_.resize(id + 1);
  std::optional<std::string>& slot = escapedComments_[id];
  if (!slot) {
    slot.emplace();
    AppendHtmlEscaped(*slot, comments_.text(id));
  }
  return *slot;
}

}  // namespace vesk
