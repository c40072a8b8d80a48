// Judging a machine by an expectations file: one readable line per value
// that differs.
#include <algorithm>
#include <string>
#include <vector>

#include "app/expectations.h"
#include "app/machine.h"
#include "asm/source_text.h"
#include "format/bit_string.h"
#include "util/cp1251.h"

namespace vesk {

namespace {

// Hex texts name the same number when they agree past their leading zeros.
bool SameNumber(std::string_view a, std::string_view b) {
  const auto significant = [](std::string_view s) {
    const auto first = s.find_first_not_of('0');
    return first == std::string_view::npos ? std::string_view("0") : s.substr(first);
  };
  const std::string_view x = significant(a), y = significant(b);
  if (x.size() != y.size()) return false;
  for (std::size_t i = 0; i < x.size(); ++i) {
    const auto up = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    if (up(x[i]) != up(y[i])) return false;
  }
  return true;
}

// Widened to `digits` with leading zeros, as the machine shows such a value.
std::string Padded(std::string hex, std::size_t digits) {
  if (hex.size() < digits) hex.insert(0, digits - hex.size(), '0');
  return hex;
}

std::string RegisterHex(const Processor& p, std::string_view key) {
  if (key == "А") return BinToHex(p.Reg_Get_A()).str();
  if (key == "РД") return BinToHex(p.Reg_Get_Data()).str();
  if (key == "РК") return BinToHex(p.Reg_Get_Command()).str();
  if (key == "СК") return BinToHex(p.Reg_Get_CommandCounter()).str();
  if (key == "РА") return BinToHex(p.Reg_Get_Address()).str();
  if (key == "КР") return BinToHex(p.Reg_Get_Key()).str();
  if (key == "БР") return BinToHex(p.Reg_Get_Buffer()).str();
  if (key == "РС") return BinToHex(p.Reg_Get_State()).str();
  if (key == "РМК") return BinToHex(p.Micro_Reg_Get_Command()).str();
  if (key == "СчМК") return p.Micro_Reg_Get_CommandCounter().str();
  if (key == "С") return p.Reg_Get_С().str();
  if (key == "N") return p.Reg_Get_N().str();
  return p.Reg_Get_Z().str();
}

// A text for a mismatch line: quoted, with line ends shown as \n.
std::string Shown(std::string_view s) {
  std::string out = "\"";
  for (const char c : s) {
    if (c == '\n') out += "\\n";
    else if (c == '"' || c == '\\') (out += '\\') += c;
    else out += c;
  }
  return out + "\"";
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t begin = 0;
  for (;;) {
    const std::size_t end = text.find('\n', begin);
    lines.push_back(text.substr(begin, end == std::string::npos ? std::string::npos : end - begin));
    if (end == std::string::npos) return lines;
    begin = end + 1;
  }
}

void CheckMonitor(const std::string& expected, const std::string& got, std::vector<std::string>& mismatches) {
  if (expected == got) return;
  const std::vector<std::string> want = Lines(expected), have = Lines(got);
  for (std::size_t i = 0; i < std::max(want.size(), have.size()); ++i) {
    const std::string w = i < want.size() ? want[i] : "", h = i < have.size() ? have[i] : "";
    if (w == h) continue;
    mismatches.push_back("monitor line " + std::to_string(i + 1) + ": expected " + Shown(w) + ", got " + Shown(h));
    return;
  }
}

}  // namespace

// The same text vesk-run --monitor prints, so an expectation can be copied
// from a run's output.
std::string MonitorText(const Monitor& monitor) { return monitor.Text(); }

std::vector<std::string> CheckExpectations(const Machine& m, const Expectations& expected, bool stopped) {
  std::vector<std::string> mismatches;
  const auto differs = [&mismatches](const std::string& what, const std::string& want, const std::string& got) {
    mismatches.push_back(what + ": expected " + want + ", got " + got);
  };
  if (expected.stopped && *expected.stopped != stopped)
    differs("stopped", *expected.stopped ? "true" : "false", stopped ? "true" : "false");
  const std::int64_t commands = m.trace.CCounter();
  if (expected.maxCommands && commands > *expected.maxCommands)
    differs("commands", "at most " + std::to_string(*expected.maxCommands), std::to_string(commands));
  for (const Expectations::Register& r : expected.registers) {
    const std::string got = RegisterHex(m.processor, r.key);
    if (SameNumber(r.value, got)) continue;
    const bool flag = r.key == "С" || r.key == "N" || r.key == "Z";
    differs((flag ? "flag " : "register ") + r.key, Padded(r.value, got.size()), got);
  }
  for (const auto& [address, word] : expected.memory) {
    const std::string got = BinToHex(m.memory.Value(address)).str();
    if (!SameNumber(word, got)) differs("cell " + HexText(address, 3), Padded(word, 4), got);
  }
  for (const auto& [address, c] : expected.controllers) {
    const int row = Controllers::RowOfAddress(address);
    const std::string name = "controller " + Controllers::AddressText(row);
    if (c.flag && *c.flag != m.controllers.Flag(row))
      differs(name + " flag", std::to_string(*c.flag), std::to_string(m.controllers.Flag(row)));
    const std::string data = BinToHex(m.controllers.Data(row)).str();
    if (c.data && !SameNumber(*c.data, data)) differs(name + " data", Padded(*c.data, 2), data);
  }
  if (expected.monitor) CheckMonitor(*expected.monitor, MonitorText(m.monitor), mismatches);
  return mismatches;
}

}  // namespace vesk
