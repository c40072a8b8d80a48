// The whole visible state of a machine as one text, for tests that compare
// two machines: registers, lamps, the run-state text, every memory word and
// controller, the traces' variables and counters, and both traces row by
// row exactly as their HTML export writes them.
#pragma once

#include <sstream>
#include <string>

#include "app/machine.h"

namespace vesk::testing {

inline std::string TraceRowsText(const CommandTrace& trace) {
  std::string out;
  for (std::int64_t line = 0; line < trace.LineCount(); ++line) {
    trace.AppendHtmlRow(out, line);
    out += '\n';
  }
  return out;
}

inline std::string TraceRowsText(const MicroTrace& trace) {
  std::string out;
  for (std::int64_t line = 0; line < trace.LineCount(); ++line) {
    trace.AppendHtmlRow(out, line);
    out += '\n';
  }
  return out;
}

// Empty when the texts are equal; otherwise the first line that differs in
// each, numbered, so a failing comparison prints a few lines, not the whole.
inline std::string FirstDifference(const std::string& a, const std::string& b) {
  if (a == b) return {};
  std::istringstream ia(a), ib(b);
  std::string la, lb;
  for (int line = 1;; ++line) {
    const bool ha = static_cast<bool>(std::getline(ia, la));
    const bool hb = static_cast<bool>(std::getline(ib, lb));
    if (!ha) la = "<end>";
    if (!hb) lb = "<end>";
    if (la != lb || (!ha && !hb))
      return "line " + std::to_string(line) + ":\n  " + la.substr(0, 400) + "\n  " + lb.substr(0, 400);
  }
}

inline std::string MachineSnapshot(const Machine& m) {
  std::ostringstream s;
  const Processor& p = m.processor;
  s << "А " << p.Reg_Get_A().view() << "\nРД " << p.Reg_Get_Data().view() << "\nРК " << p.Reg_Get_Command().view()
    << "\nСК " << p.Reg_Get_CommandCounter().view() << "\nРА " << p.Reg_Get_Address().view() << "\nКР "
    << p.Reg_Get_Key().view() << "\nБР " << p.Reg_Get_Buffer().view() << "\nРС " << p.Reg_Get_State().view()
    << "\nРМК " << p.Micro_Reg_Get_Command().view() << "\nСчМК " << p.Micro_Reg_Get_CommandCounter().view()
    << "\nrun " << p.bIsRunning_Act << " " << p.RunStateText() << "\nlamps ";
  for (int i = 0; i < kLampCount; ++i) s << (p.LV_Get(i) ? '1' : '0');
  s << "\nmemory";
  for (int a = 0; a < MainMemory::kWords; ++a) {
    if (a % 64 == 0) s << "\n";
    s << m.memory.HexText(a) << (m.memory.Written(a) ? "" : "'") << " ";
  }
  s << "\ncontrollers";
  for (int row = 0; row < Controllers::kCount; ++row)
    if (!m.controllers.IsInitial(row))
      s << " " << row << ":" << m.controllers.Flag(row) << "/" << m.controllers.Data(row).view();
  const CommandTrace& t = m.trace;
  s << "\ntrace " << t.CCounter() << " [" << t.CURR_ADDR().view() << "|" << t.CURR_CMD().view() << "|"
    << t.EFFECT_ADDR().view() << "|" << t.EFFECT_VAL().view() << "]\n"
    << TraceRowsText(t);
  s << "\nselected " << m.memory.Selected() << " " << m.microMemory.Selected();
  s << "\nrun control " << m.runControl.Idle() << " " << m.runControl.TickCounter() << " "
    << m.runControl.Indicator().activeBar << " " << m.runControl.Indicator().lineY << " " << m.runControl.RestingLogged();
  s << "\nmonitor " << m.monitor.CursorRow() << ":" << m.monitor.CursorColumn() << "\n";
  for (int y = 1; y <= Monitor::kRows; ++y) {
    for (int x = 1; x <= Monitor::kColumns; ++x) s << static_cast<char>(m.monitor.GetChar(x, y) == 0 ? '.' : 'x');
    s << " ";
    for (int x = 1; x <= Monitor::kColumns; ++x)
      if (m.monitor.GetChar(x, y) != 0) s << m.monitor.GetChar(x, y) << ",";
    s << "\n";
  }
  s << "keyboard";
  for (std::size_t i = 0; i < m.keyboard.QueueSize(); ++i) s << " " << m.keyboard.Code(i);
  s << "\nmicro trace " << m.microTrace.MCCounter() << " [" << m.microTrace.PreMCC().view() << "]\n"
    << TraceRowsText(m.microTrace) << "\n";
  return s.str();
}

}  // namespace vesk::testing
