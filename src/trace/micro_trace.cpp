#include "trace/micro_trace.h"

#include "core/processor.h"
#include "format/bit_string.h"
#include "memory/micro_memory.h"
#include "trace/html_text.h"
#include "trace/packed_bits.h"

namespace vesk {

namespace {

enum Flag : std::uint8_t { kC = 1, kN = 2, kZ = 4, kA8 = 8, kOdd = 16 };

bool FlagBit(std::string_view text, std::uint8_t bit, std::uint8_t& flags) {
  if (text == "1") {
    flags |= bit;
    return true;
  }
  return text == "0";
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
  const std::string& comment = micro_.Comment(address);
  auto& cached = commentCache_[static_cast<std::size_t>(address)];
  auto& id = commentCacheId_[static_cast<std::size_t>(address)];
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
  line.commentId = commentId(HexToNum(preMCC_));
  std::uint32_t v = 0;
  bool clean = PackHex2(preMCC_, line.preMCC) && PackHex2(cpu_.Micro_Reg_Get_CommandCounter(), line.microCounter);
  auto pack16 = [&clean, &v](const Word& w, std::uint16_t& slot) {
    if (clean && PackBits(w, 16, v)) slot = static_cast<std::uint16_t>(v);
    else clean = false;
  };
  pack16(cpu_.Micro_Reg_Get_Command(), line.rmk);
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
  if (clean && PackBits(cpu_.Reg_Get_Buffer(), 17, v)) line.buffer = v;
  else clean = false;
  const Word c = cpu_.Reg_Get_С(), n = cpu_.Reg_Get_N(), z = cpu_.Reg_Get_Z();
  clean = clean && FlagBit(c, kC, line.flags) && FlagBit(n, kN, line.flags) && FlagBit(z, kZ, line.flags);
  if (clean) {
    log_.add(line, nullptr);
  } else {
    line.flags = kOdd;
    const OddTexts odd{preMCC_, cpu_.Micro_Reg_Get_Command(), cpu_.Reg_Get_CommandCounter(), cpu_.Reg_Get_Address(),
                        cpu_.Reg_Get_Command(), cpu_.Reg_Get_Data(), a, c, cpu_.Reg_Get_Buffer(), n, z,
                        cpu_.Micro_Reg_Get_CommandCounter()};
    log_.add(line, &odd);
  }
  listeners_.each([](TraceListener& l) { l.lineAdded(); });
}

void MicroTrace::ClearLog() {
  log_.clear();
  listeners_.each([](TraceListener& l) { l.logCleared(); });
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

void MicroTrace::AppendHtmlRow(std::string& out, std::int64_t line) const {
  const Line& l = log_[line];
  if ((l.flags & kOdd) != 0) {
    cells(l, log_.odd(line), scratch_);
    AppendHtmlCells(out, scratch_);
    return;
  }
  // The usual line, written straight from its packed fields: an export of
  // millions of lines builds no cell texts.
  auto cell = [&out](auto&& append) {
    out += "<td>";
    append();
    out += "</td>";
  };
  out += "<tr>";
  cell([&] { AppendHex2(out, l.preMCC); });
  for (const std::uint16_t v : {l.rmk, l.sk, l.ra, l.rk, l.rd}) cell([&] { AppendBitsHex(out, v, 16); });
  cell([&] { AppendBitsHex(out, l.a, (l.flags & kA8) ? 8 : 16); });
  cell([&] { out += (l.flags & kC) ? '1' : '0'; });
  cell([&] { AppendBitsHex(out, l.buffer, 17); });
  cell([&] { out += (l.flags & kN) ? '1' : '0'; });
  cell([&] { out += (l.flags & kZ) ? '1' : '0'; });
  cell([&] { AppendHex2(out, l.microCounter); });
  cell([&] { AppendHtmlEscaped(out, comments_.text(l.commentId)); });
  out += "</tr>";
}

void MicroTrace::AppendLastHtmlRow(std::string& out) const {
  cells(log_.last(), log_.lastOdd(), scratch_);
  AppendHtmlCells(out, scratch_);
}

}  // namespace vesk
