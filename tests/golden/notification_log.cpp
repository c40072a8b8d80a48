#include "golden/notification_log.h"

#include <cstdio>

namespace vesk::golden {

std::string RawRegister(const Processor& p, Reg r) {
  switch (r) {
    case Reg::A: return std::string(p.Reg_Get_A().view());
    case Reg::Data: return std::string(p.Reg_Get_Data().view());
    case Reg::Command: return std::string(p.Reg_Get_Command().view());
    case Reg::CommandCounter: return std::string(p.Reg_Get_CommandCounter().view());
    case Reg::Address: return std::string(p.Reg_Get_Address().view());
    case Reg::Key: return std::string(p.Reg_Get_Key().view());
    case Reg::Buffer: return std::string(p.Reg_Get_Buffer().view());
    case Reg::State: return std::string(p.Reg_Get_State().view());
    case Reg::MicroCommand: return std::string(p.Micro_Reg_Get_Command().view());
    case Reg::MicroCounter: return std::string(p.Micro_Reg_Get_CommandCounter().view());
  }
  return {};
}

NotificationLog::NotificationLog(Machine& m) : m_(m) {
  m_.processor.listeners().add(this);
  m_.memory.listeners().add(this);
  m_.microMemory.listeners().add(this);
  m_.controllers.listeners().add(this);
  m_.runControl.listeners().add(this);
  m_.monitor.listeners().add(this);
  m_.trace.listeners().add(&commandEvents_);
  m_.microTrace.listeners().add(&microEvents_);
}

NotificationLog::~NotificationLog() {
  m_.processor.listeners().remove(this);
  m_.memory.listeners().remove(this);
  m_.microMemory.listeners().remove(this);
  m_.controllers.listeners().remove(this);
  m_.runControl.listeners().remove(this);
  m_.monitor.listeners().remove(this);
  m_.trace.listeners().remove(&commandEvents_);
  m_.microTrace.listeners().remove(&microEvents_);
}

void NotificationLog::TraceEvents::counterChanged(std::int32_t v) {
  log_.note(std::string(1, tag_) + "# " + std::to_string(v));
}

void NotificationLog::TraceEvents::lineAdded() {
  const std::int64_t count = tag_ == 'c' ? log_.m_.trace.LineCount() : log_.m_.microTrace.LineCount();
  std::string text = std::string(1, tag_) + "+ " + std::to_string(count);
  // The cells of the new line, as a window's newest row shows them.
  if (tag_ == 'c') {
    for (const std::string& cell : log_.m_.trace.LastCells()) text += "|" + cell;
  } else {
    for (const std::string& cell : log_.m_.microTrace.LastCells()) text += "|" + cell;
  }
  log_.note(text);
}

void NotificationLog::TraceEvents::logCleared() { log_.note(std::string(1, tag_) + "-"); }

void NotificationLog::registerChanged(Reg r) {
  note("R" + std::to_string(static_cast<int>(r)) + " " + RawRegister(m_.processor, r));
}

void NotificationLog::lampChanged(int index, bool on) { note("L" + std::to_string(index) + (on ? "+" : "-")); }

void NotificationLog::runStateTextChanged(std::string_view text) {
  note("S " + std::string(text) + "|" + (m_.processor.GetRunning() ? "1" : "0"));
}

void NotificationLog::interruptButtonChanged(bool pressed) { note(pressed ? "B+" : "B-"); }

void NotificationLog::memoryRowChanged(int address) {
  note("M " + MainMemory::AddressText(address) + " " + m_.memory.HexText(address) + " " + m_.memory.Comment(address));
}

void NotificationLog::memorySelectionChanged(int address) { note("m " + std::to_string(address)); }

void NotificationLog::memoryCleared() { note("M cleared"); }

void NotificationLog::microRowChanged(int address) {
  note("U " + MicroMemory::AddressText(address) + " " + m_.microMemory.VerticalText(address));
}

void NotificationLog::microSelectionChanged(int address) { note("u " + std::to_string(address)); }

void NotificationLog::microRowsChanged() { note("U all"); }

void NotificationLog::controllerChanged(int row) {
  note("C " + Controllers::AddressText(row) + " " + std::to_string(m_.controllers.Flag(row)) + " " +
       m_.controllers.DataText(row) + " " + m_.controllers.Device(row));
}

void NotificationLog::dataRegisterWritten(int row) { note("D " + Controllers::AddressText(row)); }

void NotificationLog::flagChanged(int row) { note("F " + Controllers::AddressText(row)); }

void NotificationLog::indicatorMoved() {
  const PeriodIndicator& i = m_.runControl.Indicator();
  char text[64];
  std::snprintf(text, sizeof text, "I%d %.4f", i.activeBar, i.lineY);
  note(text);
}

void NotificationLog::intervalsChanged(int t1, int t2, int t3) {
  note("T " + std::to_string(t1) + " " + std::to_string(t2) + " " + std::to_string(t3));
}

void NotificationLog::cellChanged(int x, int y) {
  note("V " + std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(m_.monitor.GetChar(x, y)));
}

void NotificationLog::screenChanged() { note("V all"); }

}  // namespace vesk::golden
