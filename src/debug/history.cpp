#include "debug/history.h"

#include <algorithm>
#include <array>
#include <optional>

#include "core/run_control.h"
#include "format/bit_string.h"
#include "format/number_text.h"
#include "trace/command_trace.h"
#include "trace/micro_trace.h"

namespace vesk {

namespace {

// The packed state of one marker is built in a small buffer and appended
// at once.
class Packer {
 public:
  void byte(std::uint8_t b) {
    if (n_ == buf_.size()) flushTo();
    buf_[n_++] = b;
  }
  void integer(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) byte(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  // Any text: its length and its bytes.
  void text(std::string_view s) {
    const auto n = static_cast<std::uint32_t>(s.size());
    if (n < 0x7F) {
      byte(static_cast<std::uint8_t>(n));
    } else {
      byte(0x7F);
      integer(n);
    }
    for (const char c : s) byte(static_cast<std::uint8_t>(c));
  }
  // A value: a clean bit string as 0x80 | width and its bits, clean hex
  // digits as 0xC0 | digits and their value (little end first in as few
  // bytes as they need), anything else as its text.
  void value(const BitValue& v) {
    if (v.isBits() && v.width() <= 32) {
      byte(static_cast<std::uint8_t>(0x80u | static_cast<unsigned>(v.width())));
      number(v.value(), (v.width() + 7) / 8);
    } else if (v.isHex() && v.width() <= 8) {
      byte(static_cast<std::uint8_t>(0xC0u | static_cast<unsigned>(v.width())));
      number(v.value(), (v.width() * 4 + 7) / 8);
    } else {
      text(v.text().view());
    }
  }
  void appendTo(std::deque<std::uint8_t>& out) {
    out.insert(out.end(), buf_.begin(), buf_.begin() + static_cast<std::ptrdiff_t>(n_));
    n_ = 0;
  }
  explicit Packer(std::deque<std::uint8_t>& out) : out_(out) {}
  ~Packer() { appendTo(out_); }
  Packer(const Packer&) = delete;
  Packer& operator=(const Packer&) = delete;

 private:
  void number(std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) byte(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  void flushTo() { appendTo(out_); }
  std::deque<std::uint8_t>& out_;
  std::array<std::uint8_t, 160> buf_{};
  std::size_t n_ = 0;
};

class Unpacker {
 public:
  Unpacker(const std::deque<std::uint8_t>& in, std::size_t at) : in_(in), at_(at) {}
  std::uint8_t byte() { return in_[at_++]; }
  std::uint32_t integer() { return number(4); }
  const std::string& text() { return textOf(byte()); }
  // A value as Packer::value wrote it; a text that was not clean is read
  // back as bits or hex text as the field holds it.
  BitValue value(bool hexField) {
    const std::uint8_t head = byte();
    if ((head & 0xC0u) == 0x80u) {
      const int width = head & 0x3Fu;
      return BitValue::Bits(number((width + 7) / 8), width);
    }
    if ((head & 0xC0u) == 0xC0u) {
      const int digits = head & 0x3Fu;
      return BitValue::Hex(number((digits * 4 + 7) / 8), digits);
    }
    const std::string& t = textOf(head);
    return hexField ? BitValue::OfHex(t) : BitValue::OfBits(t);
  }

 private:
  std::uint32_t number(int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= static_cast<std::uint32_t>(byte()) << (8 * i);
    return v;
  }
  const std::string& textOf(std::uint8_t head) {
    const std::uint32_t n = head < 0x7F ? head : integer();
    text_.resize(n);
    for (std::uint32_t i = 0; i < n; ++i) text_[i] = static_cast<char>(byte());
    return text_;
  }

  const std::deque<std::uint8_t>& in_;
  std::size_t at_;
  std::string text_;
};

constexpr Reg kRegisters[] = {Reg::A,   Reg::Data,   Reg::Command, Reg::CommandCounter, Reg::Address,
                              Reg::Key, Reg::Buffer, Reg::State,   Reg::MicroCommand,   Reg::MicroCounter};

}  // namespace

History::History(HistoryOwners owners) : o_(owners) {
  commandWatch_.history = this;
  microWatch_.history = this;
}

History::~History() { SetEnabled(false); }

void History::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (enabled) {
    o_.memory.listeners().add(this);
    o_.microMemory.listeners().add(this);
    o_.controllers.listeners().add(this);
    o_.cpu.listeners().add(this);
    o_.monitor.listeners().add(this);
    o_.keyboard.listeners().add(this);
    o_.trace.listeners().add(&commandWatch_);
    o_.microTrace.listeners().add(&microWatch_);
    o_.runControl.setHistory(this);
  } else {
    o_.runControl.setHistory(nullptr);
    o_.microTrace.listeners().remove(&microWatch_);
    o_.trace.listeners().remove(&commandWatch_);
    o_.keyboard.listeners().remove(this);
    o_.monitor.listeners().remove(this);
    o_.cpu.listeners().remove(this);
    o_.controllers.listeners().remove(this);
    o_.microMemory.listeners().remove(this);
    o_.memory.listeners().remove(this);
  }
  Clear();
}

void History::SetDepth(std::int64_t depth) {
  depth_ = std::max<std::int64_t>(depth, 1);
  while (static_cast<std::int64_t>(markers_.size()) > depth_) trimFront();
  changed();
}

void History::resync() {
  words_.resize(MainMemory::kWords);
  written_.resize(MainMemory::kWords);
  for (int a = 0; a < MainMemory::kWords; ++a) {
    words_[static_cast<std::size_t>(a)] = static_cast<std::uint16_t>(BitsValue(o_.memory.Value(a)));
    written_[static_cast<std::size_t>(a)] = o_.memory.Written(a);
  }
  selected_ = o_.memory.Selected();
  controllers_.resize(Controllers::kCount);
  for (int row = 0; row < Controllers::kCount; ++row)
    controllers_[static_cast<std::size_t>(row)] = {o_.controllers.Flag(row),
                                                   static_cast<std::uint8_t>(BitsValue(o_.controllers.Data(row)))};
  screen_ = o_.monitor.Save();
  queue_ = o_.keyboard.Queue();
  screenSaved_ = queueSaved_ = false;
}

void History::Clear(const std::string& note) {
  const bool had = !markers_.empty();
  markers_.clear();
  journal_.clear();
  bytes_.clear();
  screens_.clear();
  queues_.clear();
  journalBase_ = bytesBase_ = 0;
  if (enabled_) resync();
  if (had) {
    changed();
    if (!note.empty()) listeners_.each([&note](HistoryListener& l) { l.historyNote(note); });
  }
}

void History::changed() {
  listeners_.each([](HistoryListener& l) { l.historyChanged(); });
}

bool History::recording() const { return input_ || o_.runControl.Busy() || o_.cpu.GetRunning(); }

void History::userEdit() {
  if (restoring_) return;
  if (recording()) return;
  if (markers_.empty()) {
    resync();
    return;
  }
  Clear(kClearedNote);
}

void History::push(Entry e) { journal_.push_back(e); }

void History::Mark(bool atRest) {
  if (!enabled_) return;
  Marker m{};
  m.atRest = atRest;
  m.shortRest = atRest && o_.cpu.MODE == 2;
  m.journal = journalBase_ + journal_.size();
  m.bytes = bytesBase_ + bytes_.size();
  m.traceLines = o_.trace.LinesTotal();
  m.microLines = o_.microTrace.LinesTotal();
  m.commandCounter = static_cast<std::int16_t>(o_.cpu.Value(Reg::CommandCounter).bitsValue() & 0x7FFu);
  const BitValue& counter = o_.cpu.Value(Reg::MicroCounter);
  const auto micro = counter.isHex(2) ? std::optional<int>(static_cast<int>(counter.value()))
                                      : ParseHexBelow(counter.text().view(), 256);
  m.microCounter = static_cast<std::int16_t>(micro ? *micro : -1);
  m.restingLogged = o_.runControl.RestingLogged();
  m.indicatorBar = static_cast<std::int8_t>(o_.runControl.Indicator().activeBar);
  m.indicatorLine = o_.runControl.Indicator().lineY;
  packState();
  // The devices' state as of this marker is what the next change journals.
  if (screenSaved_) screen_ = o_.monitor.Save();
  if (queueSaved_) queue_ = o_.keyboard.Queue();
  screenSaved_ = queueSaved_ = false;
  markers_.push_back(m);
  if (static_cast<std::int64_t>(markers_.size()) > depth_) trimFront();
  if (markers_.size() == 1) changed();
}

void History::MarkBoundary() {
  if (!markers_.empty()) markers_.back().boundary = true;
}

void History::DropMark() {
  if (markers_.empty()) return;
  const Marker& m = markers_.back();
  bytes_.resize(static_cast<std::size_t>(m.bytes - bytesBase_));
  markers_.pop_back();
  if (markers_.empty()) changed();
}

void History::trimFront() {
  markers_.pop_front();
  const std::uint64_t journalEnd = markers_.empty() ? journalBase_ + journal_.size() : markers_.front().journal;
  while (journalBase_ < journalEnd) {
    const Entry& e = journal_.front();
    if (e.kind == EntryKind::MonitorScreen) screens_.pop_front();
    if (e.kind == EntryKind::KeyboardQueue) queues_.pop_front();
    journal_.pop_front();
    ++journalBase_;
  }
  const std::uint64_t bytesEnd = markers_.empty() ? bytesBase_ + bytes_.size() : markers_.front().bytes;
  bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(bytesEnd - bytesBase_));
  bytesBase_ = bytesEnd;
}

std::size_t History::MemoryBytes() const {
  std::size_t n = markers_.size() * sizeof(Marker) + journal_.size() * sizeof(Entry) + bytes_.size() +
                  screens_.size() * sizeof(Monitor::State);
  for (const auto& q : queues_) n += q.size() + sizeof(q);
  return n;
}

void History::packState() {
  const Processor& cpu = o_.cpu;
  Packer out(bytes_);
  for (const Reg r : kRegisters) out.value(cpu.Value(r));
  std::uint32_t lamps = 0;
  for (int i = 0; i < kLampCount; ++i)
    if (cpu.LV_Get(i)) lamps |= 1u << i;
  out.integer(lamps);
  // The run-state text is one of two nearly always: a code for those.
  const std::string& runText = cpu.RunStateText();
  if (runText == kStatusRunning) out.byte(1);
  else if (runText == kStatusStopped) out.byte(2);
  else {
    out.byte(0);
    out.text(runText);
  }
  out.byte(static_cast<std::uint8_t>((cpu.InterruptButtonPressed() ? 1 : 0) | (cpu.bIsRunning_Act ? 2 : 0)));
  out.value(cpu.ALU_LEFT);
  out.value(cpu.ALU_RIGHT);
  out.value(o_.trace.CurrAddrValue());
  out.value(o_.trace.CurrCmdValue());
  out.text(o_.trace.EFFECT_ADDR().view());
  out.text(o_.trace.EFFECT_VAL().view());
  out.integer(static_cast<std::uint32_t>(o_.trace.CCounter()));
  out.value(o_.microTrace.PreMCCValue());
  out.integer(static_cast<std::uint32_t>(o_.microTrace.MCCounter()));
  out.integer(static_cast<std::uint32_t>(o_.microMemory.Selected()));
}

void History::unpackState(const Marker& m) {
  Unpacker in(bytes_, static_cast<std::size_t>(m.bytes - bytesBase_));
  Processor& cpu = o_.cpu;
  for (const Reg r : kRegisters) cpu.Restore(r, in.value(r == Reg::MicroCounter));
  const std::uint32_t lamps = in.integer();
  for (int i = 0; i < kLampCount; ++i) cpu.LV_Set(i, (lamps >> i) & 1u);
  const std::uint8_t runCode = in.byte();
  const std::string runText =
      runCode == 1 ? std::string(kStatusRunning) : runCode == 2 ? std::string(kStatusStopped) : in.text();
  const std::uint8_t flags = in.byte();
  cpu.RestoreRunState(runText, (flags & 1u) != 0);
  cpu.bIsRunning_Act = (flags & 2u) != 0;
  cpu.ALU_LEFT = in.value(false);
  cpu.ALU_RIGHT = in.value(false);
  o_.trace.set_CURR_ADDR(in.value(false));
  o_.trace.set_CURR_CMD(in.value(false));
  o_.trace.set_EFFECT_ADDR(in.text());
  o_.trace.set_EFFECT_VAL(in.text());
  const auto commands = static_cast<std::int32_t>(in.integer());
  if (commands != o_.trace.CCounter()) o_.trace.set_CCounter(commands);
  o_.microTrace.set_PreMCC(in.value(true));
  const auto micro = static_cast<std::int32_t>(in.integer());
  if (micro != o_.microTrace.MCCounter()) o_.microTrace.set_MCCounter(micro);
  o_.microMemory.RestoreSelection(static_cast<std::int32_t>(in.integer()));
}

void History::undoTo(std::size_t i, bool logBoundary) {
  const Marker m = markers_[i];
  // Where the machine rested, it rests again as it was; a boundary passed in
  // a run becomes a stop there.
  logBoundary = logBoundary && !m.atRest;
  restoring_ = true;
  while (journalBase_ + journal_.size() > m.journal) {
    const Entry e = journal_.back();
    switch (e.kind) {
      case EntryKind::MemoryWord:
        o_.memory.RestoreWord(e.index, NumToBits(static_cast<std::uint32_t>(e.value), 16), e.flag != 0);
        words_[e.index] = static_cast<std::uint16_t>(e.value);
        written_[e.index] = e.flag != 0;
        break;
      case EntryKind::MemorySelection:
        o_.memory.RestoreSelection(e.value);
        selected_ = e.value;
        break;
      case EntryKind::Controller:
        o_.controllers.RestoreRow(e.index, e.flag, NumToBits(static_cast<std::uint32_t>(e.value), 8));
        controllers_[e.index] = {e.flag, static_cast<std::uint8_t>(e.value)};
        break;
      case EntryKind::MonitorScreen:
        screen_ = screens_.back();
        screens_.pop_back();
        o_.monitor.Restore(screen_);
        break;
      case EntryKind::KeyboardQueue:
        queue_ = std::move(queues_.back());
        queues_.pop_back();
        o_.keyboard.RestoreQueue(queue_);
        break;
    }
    journal_.pop_back();
  }
  unpackState(m);
  // A stop at a boundary happens in the fetch, after it noted the address.
  if (logBoundary) o_.microTrace.set_PreMCC(o_.cpu.Micro_Reg_Get_CommandCounter());
  o_.trace.TruncateLines(m.traceLines);
  o_.microTrace.TruncateLines(m.microLines);
  bytes_.resize(static_cast<std::size_t>(m.bytes - bytesBase_));
  markers_.erase(markers_.begin() + static_cast<std::ptrdiff_t>(i), markers_.end());
  screenSaved_ = queueSaved_ = false;
  o_.runControl.RestAt(m.restingLogged, logBoundary, m.indicatorBar, m.indicatorLine);
  restoring_ = false;
  changed();
}

bool History::CanStepBack(int mode) const {
  if (mode != 2) return !markers_.empty();
  return std::any_of(markers_.begin(), markers_.end(), [](const Marker& m) { return ShortStop(m); });
}

std::int64_t History::stepTarget(int mode) const {
  if (mode != 2) return static_cast<std::int64_t>(markers_.size()) - 1;
  for (std::size_t i = markers_.size(); i-- > 0;)
    if (ShortStop(markers_[i])) return static_cast<std::int64_t>(i);
  return -1;
}

bool History::StepBack(int mode) {
  if (!enabled_ || !o_.runControl.Idle()) return false;
  const std::int64_t t = stepTarget(mode);
  if (t < 0) return false;
  const auto i = static_cast<std::size_t>(t);
  undoTo(i, mode == 2 && markers_[i].boundary);
  return true;
}

History::StepChanges History::LastStepChanges(int mode) const {
  StepChanges c;
  const std::int64_t t = stepTarget(mode);
  if (t < 0) return c;
  const Marker& m = markers_[static_cast<std::size_t>(t)];
  Unpacker in(bytes_, static_cast<std::size_t>(m.bytes - bytesBase_));
  for (const Reg r : kRegisters)
    if (!(in.value(r == Reg::MicroCounter) == o_.cpu.Value(r))) c.registers.push_back(r);
  for (std::uint64_t p = m.journal; p < journalBase_ + journal_.size(); ++p) {
    const Entry& e = journal_[static_cast<std::size_t>(p - journalBase_)];
    if (e.kind == EntryKind::MemoryWord && std::find(c.memoryWritten.begin(), c.memoryWritten.end(), e.index) ==
                                               c.memoryWritten.end())
      c.memoryWritten.push_back(e.index);
    if (e.kind == EntryKind::MemorySelection) c.memoryRead = o_.memory.Selected();
    if (e.kind == EntryKind::Controller && std::find(c.controllerRows.begin(), c.controllerRows.end(), e.index) ==
                                               c.controllerRows.end())
      c.controllerRows.push_back(e.index);
  }
  if (std::find(c.memoryWritten.begin(), c.memoryWritten.end(), c.memoryRead) != c.memoryWritten.end())
    c.memoryRead = -1;
  // The micro-command executed last: the newest line of the micro-command trace.
  const std::int64_t lines = o_.microTrace.LineCount();
  if (o_.microTrace.LinesTotal() > m.microLines && lines > 0)
    if (const auto last = ParseHexBelow(o_.microTrace.Cell(lines - 1, 0), 256); last && *last > 0) c.microAddress = *last;
  return c;
}

bool History::StepBackToBreakpoint(int mode) {
  if (!enabled_ || !o_.runControl.Idle() || markers_.empty()) return false;
  const Breakpoints& b = o_.breakpoints;
  const std::size_t last = markers_.size() - 1;
  for (std::size_t i = markers_.size(); i-- > 0;) {
    const Marker& m = markers_[i];
    // What micro-command i wrote: a watchpoint stops right after it (in the
    // short period at the next boundary), so only where that place is
    // behind us.
    const std::uint64_t end = i == last ? journalBase_ + journal_.size() : markers_[i + 1].journal;
    BreakKind watchKind{};
    int watchAddress = -1;
    for (std::uint64_t p = m.journal; p < end && watchAddress < 0; ++p) {
      const Entry& e = journal_[static_cast<std::size_t>(p - journalBase_)];
      if (e.kind == EntryKind::MemoryWord && b.Stops(BreakKind::MemoryWrite, e.index)) {
        watchKind = BreakKind::MemoryWrite;
        watchAddress = e.index;
      } else if (e.kind == EntryKind::Controller && b.Stops(BreakKind::Controller, Controllers::AddressOfRow(e.index))) {
        watchKind = BreakKind::Controller;
        watchAddress = Controllers::AddressOfRow(e.index);
      }
    }
    if (watchAddress >= 0 && i < last) {
      std::size_t at = i + 1;
      if (mode == 2)
        while (at <= last && !ShortStop(markers_[at])) ++at;
      if (at <= last) {
        undoTo(at, mode == 2 && markers_[at].boundary);
        o_.breakpoints.RecordHit(watchKind, watchAddress);
        return true;
      }
    }
    if (m.boundary && b.Stops(BreakKind::Command, m.commandCounter)) {
      const int address = m.commandCounter;
      undoTo(i, true);
      o_.breakpoints.RecordHit(BreakKind::Command, address);
      return true;
    }
    if (m.microCounter > 0 && b.Stops(BreakKind::Micro, m.microCounter)) {
      const int address = m.microCounter;
      undoTo(i, false);
      o_.breakpoints.RecordHit(BreakKind::Micro, address);
      return true;
    }
  }
  undoTo(0, mode == 2 && markers_.front().boundary);
  listeners_.each([](HistoryListener& l) { l.historyNote(kUsedUpNote); });
  return true;
}

History::Touched History::TouchedSinceLastMark() const {
  Touched t;
  if (markers_.empty()) return t;
  for (std::uint64_t p = markers_.back().journal; p < journalBase_ + journal_.size(); ++p) {
    const Entry& e = journal_[static_cast<std::size_t>(p - journalBase_)];
    if (e.kind == EntryKind::MemoryWord) t.memoryWords.push_back(e.index);
    if (e.kind == EntryKind::Controller) t.controllerRows.push_back(e.index);
  }
  return t;
}

// Listener calls.

void History::memoryRowChanged(int address) {
  if (restoring_) return;
  if (!recording()) return userEdit();
  const auto a = static_cast<std::size_t>(address);
  if (a >= words_.size()) return;
  if (!markers_.empty())
    push({EntryKind::MemoryWord, static_cast<std::uint8_t>(written_[a] ? 1 : 0), static_cast<std::uint16_t>(address),
          words_[a]});
  words_[a] = static_cast<std::uint16_t>(BitsValue(o_.memory.Value(address)));
  written_[a] = o_.memory.Written(address);
}

void History::memorySelectionChanged(int address) {
  if (restoring_) return;
  if (!recording()) {
    selected_ = address;
    return;  // a window's reading moves no machine state
  }
  if (!markers_.empty()) push({EntryKind::MemorySelection, 0, 0, selected_});
  selected_ = address;
}

void History::memoryCleared() { userEdit(); }
void History::microRowChanged(int /*address*/) { userEdit(); }
void History::microRowsChanged() { userEdit(); }

void History::controllerChanged(int row) {
  if (restoring_) return;
  if (!recording()) return userEdit();
  const auto r = static_cast<std::size_t>(row);
  if (r >= controllers_.size()) return;
  const std::pair<int, std::uint8_t> now{o_.controllers.Flag(row),
                                         static_cast<std::uint8_t>(BitsValue(o_.controllers.Data(row)))};
  if (now == controllers_[r]) return;
  if (!markers_.empty())
    push({EntryKind::Controller, static_cast<std::uint8_t>(controllers_[r].first), static_cast<std::uint16_t>(row),
          controllers_[r].second});
  controllers_[r] = now;
}

void History::dataRegisterWritten(int row) {
  if (restoring_ || !recording()) return;
  if (o_.controllers.Device(row) == kDeviceNetAdapter) Clear(kNetworkNote);
}

void History::registerChanged(Reg) {
  if (!restoring_ && !recording()) userEdit();
}

void History::interruptButtonChanged(bool) {
  if (!restoring_ && !recording()) userEdit();
}

void History::monitorChanged() {
  if (restoring_) return;
  if (!recording()) return userEdit();
  if (markers_.empty()) {
    screen_ = o_.monitor.Save();
    return;
  }
  if (screenSaved_) return;
  screens_.push_back(screen_);
  push({EntryKind::MonitorScreen, 0, 0, 0});
  screenSaved_ = true;
}

void History::cellChanged(int, int) { monitorChanged(); }
void History::screenChanged() { monitorChanged(); }

void History::keyboardChanged() {
  if (restoring_) return;
  if (!recording()) return userEdit();
  if (markers_.empty()) {
    queue_ = o_.keyboard.Queue();
    return;
  }
  if (queueSaved_) return;
  queues_.push_back(queue_);
  push({EntryKind::KeyboardQueue, 0, 0, 0});
  queueSaved_ = true;
}

void History::keysAppended(std::size_t) { keyboardChanged(); }
void History::keysRemoved(std::size_t, std::size_t) { keyboardChanged(); }

}  // namespace vesk
