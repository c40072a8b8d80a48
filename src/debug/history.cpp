#include "debug/history.h"

#include <algorithm>
#include <bit>
#include <optional>
#include <utility>

#include "core/run_control.h"
#include "format/bit_string.h"
#include "format/number_text.h"
#include "trace/command_trace.h"
#include "trace/micro_trace.h"

namespace vesk {

namespace {

constexpr Reg kRegisters[] = {Reg::A,   Reg::Data,   Reg::Command, Reg::CommandCounter, Reg::Address,
                              Reg::Key, Reg::Buffer, Reg::State,   Reg::MicroCommand,   Reg::MicroCounter};
constexpr std::size_t kRegisterCount = History::kRegisterCount;
static_assert(std::size(kRegisters) == kRegisterCount);

std::size_t IndexOf(Reg r) { return static_cast<std::size_t>(r); }

// РМК and СчМК change with every micro-command; between checkpoints they are
// known without copying: СчМК from the marker's micro-address, РМК from the
// word the micro-command before fetched.
constexpr std::uint32_t kMicroRegisters = History::kMicroRegisters;
bool IsMicroRegister(std::size_t i) { return ((kMicroRegisters >> i) & 1u) != 0; }

// СчМК as a micro-address, -1 when it names none.
int MicroAddress(const BitValue& counter) {
  if (counter.isHex(2)) return static_cast<int>(counter.value());
  const auto a = ParseHexBelow(counter.text().view(), 256);
  return a ? *a : -1;
}

}  // namespace

History::History(HistoryOwners owners) : o_(owners), indicator_(&owners.runControl.Indicator()) {
  commandWatch_.history = this;
  microWatch_.history = this;
}

History::~History() { SetEnabled(false); }

void History::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (enabled) {
    o_.memory.listeners().add(this);
    o_.microMemory.rowListeners().add(this);
    o_.controllers.listeners().add(this);
    o_.cpu.editListeners().add(this);
    o_.monitor.listeners().add(this);
    o_.keyboard.listeners().add(this);
    o_.trace.clearListeners().add(&commandWatch_);
    o_.microTrace.clearListeners().add(&microWatch_);
    o_.runControl.setHistory(this);
  } else {
    o_.runControl.setHistory(nullptr);
    o_.microTrace.clearListeners().remove(&microWatch_);
    o_.trace.clearListeners().remove(&commandWatch_);
    o_.keyboard.listeners().remove(this);
    o_.monitor.listeners().remove(this);
    o_.cpu.editListeners().remove(this);
    o_.controllers.listeners().remove(this);
    o_.microMemory.rowListeners().remove(this);
    o_.memory.listeners().remove(this);
  }
  Clear();
}

void History::SetDepth(std::int64_t depth) {
  depth_ = std::max<std::int64_t>(depth, 1);
  const auto d = static_cast<std::uint64_t>(depth_);
  if (next_ > oldest_ + d) oldest_ = next_ - d;
  while (trimAt_ <= oldest_) trimFront();
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
  odds_.clear();
  for (const Reg r : kRegisters) {
    keep(before_[IndexOf(r)], o_.cpu.Value(r));
    keep(boundary_[0][IndexOf(r)], o_.cpu.Value(r));
    keep(boundary_[1][IndexOf(r)], o_.cpu.Value(r));
  }
  dropped_ = before_;
  o_.cpu.TakeChangedRegisters();
  staleRegisters_ = 0;
}

void History::Clear(const std::string& note) {
  const bool had = Size() > 0;
  checkpoints_.clear();
  micro_.clear();
  journal_.clear();
  screens_.clear();
  queues_.clear();
  texts_.clear();
  journalBase_ = textsBase_ = 0;
  oldest_ = next_;
  sparseUntil_ = 0;
  noteTrim();
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
  if (Size() == 0) {
    resync();
    return;
  }
  Clear(kClearedNote);
}

void History::push(EntryKind kind, std::uint8_t flag, std::uint16_t index, std::int32_t value) {
  journal_.push_back({next_ - 1, kind, flag, index, value});
  // A change from outside run control (a key typed into a running machine,
  // a byte from the network) is no replay's to repeat: the next place is a
  // checkpoint.
  if (!o_.runControl.Busy()) sparseUntil_ = 0;
}

void History::RunControlMoved() { sparseUntil_ = 0; }

void History::markCheckpoint(bool atRest, bool executesNow, bool boundary) {
  // The devices' state as of this marker is what the next change journals.
  if (screenSaved_) screen_ = o_.monitor.Save();
  if (queueSaved_) queue_ = o_.keyboard.Queue();
  screenSaved_ = queueSaved_ = false;
  const bool first = Size() == 0;
  checkpoint(atRest, executesNow, boundary,
             o_.cpu.TakeChangedRegisters() | std::exchange(staleRegisters_, 0u));
  if (boundary) boundaryMarked();
  ++next_;
  if (next_ > oldest_ + static_cast<std::uint64_t>(depth_)) oldest_ = next_ - static_cast<std::uint64_t>(depth_);
  if (trimAt_ <= oldest_) trimFront();
  if (first) changed();
}

void History::keepOdd(Kept& k, const BitValue& v) {
  // The pool keeps what the marks refer to; past its bound, only those.
  constexpr std::size_t kOddPoolBound = 256;
  if (odds_.size() >= kOddPoolBound) {
    std::vector<BitValue> live;
    const auto relocate = [&](Kept& held) {
      if (held.packed.kind != 2 || &held == &k) return;
      if (held.packed.value >= odds_.size()) {
        held.packed = {0, 0, 0};  // refers to nothing any more
        return;
      }
      live.push_back(odds_[held.packed.value]);
      held.packed.value = static_cast<std::uint32_t>(live.size() - 1);
    };
    for (Kept& held : before_) relocate(held);
    for (Kept& held : dropped_) relocate(held);
    for (auto& regs : boundary_)
      for (Kept& held : regs) relocate(held);
    odds_ = std::move(live);
  }
  odds_.push_back(v);
  k.packed.value = static_cast<std::uint32_t>(odds_.size() - 1);
}

void History::boundaryMarked() {
  // The registers kept for this marker are the registers now, but for РМК
  // and СчМК.
  lastBoundary_ ^= 1u;
  std::array<Kept, 10>& regs = boundary_[lastBoundary_];
  regs = before_;
  for (const Reg r : {Reg::MicroCommand, Reg::MicroCounter}) keep(regs[IndexOf(r)], o_.cpu.Value(r));
}

inline History::Packed History::pack(const BitValue& v) {
  if (const Packed p = Packed::Of(v); p.kind != 2) return p;
  texts_.emplace_back(v.text().view());
  return {static_cast<std::uint32_t>(textsBase_ + texts_.size() - 1), 0, 2};
}

BitValue History::unpack(const Packed& p, bool hexField) const {
  if (p.kind != 2) return p.Clean();
  const std::string& t = texts_[static_cast<std::size_t>(p.value - textsBase_)];
  return hexField ? BitValue::OfHex(t) : BitValue::OfBits(t);
}

History::ShortText History::packText(std::string_view t) {
  ShortText s{};
  if (t.size() <= sizeof(s.bytes)) {
    s.size = static_cast<std::uint8_t>(t.size());
    std::copy(t.begin(), t.end(), s.bytes);
  } else {
    s.size = 0xFF;
    texts_.emplace_back(t);
    s.at = static_cast<std::uint32_t>(textsBase_ + texts_.size() - 1);
  }
  return s;
}

std::string_view History::unpackText(const ShortText& t) const {
  if (t.size != 0xFF) return {t.bytes, t.size};
  return texts_[static_cast<std::size_t>(t.at - textsBase_)];
}

BitValue History::registerAt(std::uint64_t m, Reg r) const {
  const Checkpoint& c = checkpoints_[checkpointAt(m)];
  const std::size_t i = IndexOf(r);
  if (c.marker == m) return unpack(c.registers[i], r == Reg::MicroCounter);
  const std::uint64_t first = firstMarker();
  if (r == Reg::MicroCounter) return BitValue::Hex(micro_[static_cast<std::size_t>(m - first)] & 0xFFu, 2);
  if (r == Reg::MicroCommand)
    return BitValue::Bits(o_.microMemory.Bits(static_cast<int>(micro_[static_cast<std::size_t>(m - 1 - first)] & 0xFFu)), 16);
  // The others as kept for the last marker.
  return kept(before_[i]);
}

void History::checkpoint(bool atRest, bool executesNow, bool boundary, std::uint32_t changedRegisters) {
  // РМК and СчМК at the marker before, while it is there to look at.
  constexpr std::size_t kCommand = static_cast<std::size_t>(Reg::MicroCommand);
  constexpr std::size_t kCounter = static_cast<std::size_t>(Reg::MicroCounter);
  Packed microCommandBefore{}, microCounterBefore{};
  if (Size() > 0) {
    const Checkpoint& b = checkpoints_.back();
    if (b.marker + 1 == next_) {
      microCommandBefore = b.registers[kCommand];
      microCounterBefore = b.registers[kCounter];
    } else {
      // Between checkpoints: as the micro-commands fetched them.
      const std::size_t at = static_cast<std::size_t>(next_ - 1 - firstMarker());
      microCounterBefore = {micro_[at] & 0xFFu, 2, 1};
      microCommandBefore = {o_.microMemory.Bits(static_cast<int>(micro_[at - 1] & 0xFFu)), 16, 0};
    }
  }
  Checkpoint& c = checkpoints_.emplace_back();
  const Processor& cpu = o_.cpu;
  c.marker = next_;
  c.journal = journalBase_ + journal_.size();
  c.texts = textsBase_ + texts_.size();
  c.traceLines = o_.trace.LinesTotal();
  c.microLines = o_.microTrace.LinesTotal();
  micro_.push_back(MicroEntry(MicroAddress(cpu.Value(Reg::MicroCounter)), boundary,
                              cpu.Value(Reg::CommandCounter).bitsValue()));
  c.restingLogged = o_.runControl.RestingLogged();
  c.atRest = atRest;
  c.shortRest = atRest && cpu.MODE == 2;
  c.executesNow = executesNow;
  c.indicatorBar = static_cast<std::int8_t>(o_.runControl.Indicator().activeBar);
  c.indicatorLine = o_.runControl.Indicator().lineY;
  // Markers after it go without a checkpoint while the machine runs on as
  // now (a replay from here does what the run did).
  sparseUntil_ = executesNow && !atRest ? next_ + static_cast<std::uint64_t>(spacing_) : 0;
  sparseBar_ = c.indicatorBar;
  sparseLine_ = c.indicatorLine;
  // The registers at the marker before (as kept), then at this one.
  for (std::size_t i = 0; i < kRegisterCount; ++i) {
    const bool changed = ((changedRegisters >> i) & 1u) != 0;
    if (IsMicroRegister(i)) {
      c.previous[i] = i == kCommand ? microCommandBefore : microCounterBefore;
      c.registers[i] = pack(cpu.Value(static_cast<Reg>(i)));
      continue;
    }
    c.previous[i] = packKept(before_[i]);
    if (changed) {
      const BitValue& now = cpu.Value(static_cast<Reg>(i));
      keep(before_[i], now);
      c.registers[i] = pack(now);
    } else {
      c.registers[i] = c.previous[i];
    }
  }
  for (std::size_t i = 0; i < kRegisterCount; ++i) {
    c.boundaryBefore[i] = packKept(boundary_[lastBoundary_][i]);
  }
  droppedMask_ = 0;
  c.lamps = cpu.Lamps();
  // The run-state text is one of two nearly always: a code for those.
  const std::string& runText = cpu.RunStateText();
  c.runCode = runText == kStatusRunning ? 1 : runText == kStatusStopped ? 2 : 0;
  if (c.runCode == 0) {
    texts_.push_back(runText);
    c.runText = {static_cast<std::uint32_t>(textsBase_ + texts_.size() - 1), 0, 2};
  }
  c.interruptButton = cpu.InterruptButtonPressed();
  c.runRequest = cpu.bIsRunning_Act;
  c.aluLeft = pack(cpu.ALU_LEFT);
  c.aluRight = pack(cpu.ALU_RIGHT);
  c.currAddr = pack(o_.trace.CurrAddrValue());
  c.currCmd = pack(o_.trace.CurrCmdValue());
  c.effectAddr = packText(o_.trace.EFFECT_ADDR().view());
  c.effectVal = packText(o_.trace.EFFECT_VAL().view());
  c.commands = o_.trace.CCounter();
  c.preMCC = pack(o_.microTrace.PreMCCValue());
  c.microCommands = o_.microTrace.MCCounter();
  c.microSelected = o_.microMemory.Selected();
  c.memorySelected = o_.memory.Selected();
  noteTrim();
}

void History::restore(const Checkpoint& c) {
  Processor& cpu = o_.cpu;
  for (const Reg r : kRegisters) cpu.Restore(r, unpack(c.registers[IndexOf(r)], r == Reg::MicroCounter));
  for (int i = 0; i < kLampCount; ++i) cpu.LV_Set(i, (c.lamps >> i) & 1u);
  const std::string runText = c.runCode == 1   ? std::string(kStatusRunning)
                              : c.runCode == 2 ? std::string(kStatusStopped)
                                               : texts_[static_cast<std::size_t>(c.runText.value - textsBase_)];
  cpu.RestoreRunState(runText, c.interruptButton);
  cpu.bIsRunning_Act = c.runRequest;
  cpu.ALU_LEFT = unpack(c.aluLeft, false);
  cpu.ALU_RIGHT = unpack(c.aluRight, false);
  o_.trace.set_CURR_ADDR(unpack(c.currAddr, false));
  o_.trace.set_CURR_CMD(unpack(c.currCmd, false));
  o_.trace.set_EFFECT_ADDR(unpackText(c.effectAddr));
  o_.trace.set_EFFECT_VAL(unpackText(c.effectVal));
  if (c.commands != o_.trace.CCounter()) o_.trace.set_CCounter(c.commands);
  o_.microTrace.set_PreMCC(unpack(c.preMCC, true));
  if (c.microCommands != o_.microTrace.MCCounter()) o_.microTrace.set_MCCounter(c.microCommands);
  o_.microMemory.RestoreSelection(c.microSelected);
  o_.memory.RestoreSelection(c.memorySelected);
  selected_ = c.memorySelected;
}

void History::MarkBoundary() {
  if (Size() == 0 || (micro_.back() & kBoundaryBit) != 0) return;
  micro_.back() |= MicroEntry(0, true, o_.cpu.Value(Reg::CommandCounter).bitsValue());
  droppedMask_ = 0;
  // The registers as they are now (what changed since the last marker is
  // not in the registers kept for it).
  lastBoundary_ ^= 1u;
  for (const Reg r : kRegisters) keep(boundary_[lastBoundary_][IndexOf(r)], o_.cpu.Value(r));
}

void History::DropMark() {
  if (Size() == 0) return;
  --next_;
  const bool boundary = (micro_.back() & kBoundaryBit) != 0;
  if (!checkpoints_.empty() && checkpoints_.back().marker == next_) {
    // The registers at the marker before, as the dropped one kept them; the
    // next marker copies them all again.
    const Checkpoint& c = checkpoints_.back();
    for (const Reg r : kRegisters) keep(before_[IndexOf(r)], unpack(c.previous[IndexOf(r)], r == Reg::MicroCounter));
    staleRegisters_ = kAllRegisters;
    texts_.resize(static_cast<std::size_t>(c.texts - textsBase_));
    checkpoints_.pop_back();
    noteTrim();
    sparseUntil_ = 0;
  } else {
    for (std::uint32_t m = droppedMask_; m != 0; m &= m - 1) {
      const auto i = static_cast<std::size_t>(std::countr_zero(m));
      if (i < kRegisterCount) std::swap(before_[i], dropped_[i]);
    }
    staleRegisters_ |= droppedMask_;
  }
  droppedMask_ = 0;
  if (boundary) lastBoundary_ ^= 1u;
  micro_.pop_back();
  if (oldest_ > next_) oldest_ = next_;
  if (Size() == 0) {
    sparseUntil_ = 0;
    changed();
  }
}

void History::trimFront() {
  checkpoints_.pop_front();
  const Checkpoint& front = checkpoints_.front();
  while (journalBase_ < front.journal) {
    const Entry& e = journal_.front();
    if (e.kind == EntryKind::MonitorScreen) screens_.pop_front();
    if (e.kind == EntryKind::KeyboardQueue) queues_.pop_front();
    journal_.pop_front();
    ++journalBase_;
  }
  while (textsBase_ < front.texts) {
    texts_.pop_front();
    ++textsBase_;
  }
  const std::size_t drop = micro_.size() - static_cast<std::size_t>(next_ - front.marker);
  micro_.pop_front(drop);
  noteTrim();
}

std::size_t History::MemoryBytes() const {
  std::size_t n = checkpoints_.capacity() * sizeof(Checkpoint) + journal_.size() * sizeof(Entry) + micro_.capacity() +
                  screens_.size() * sizeof(Monitor::State);
  for (const auto& t : texts_) n += sizeof(t) + (t.size() > 15 ? t.size() : 0);
  for (const auto& q : queues_) n += q.size() + sizeof(q);
  return n;
}

std::size_t History::checkpointAt(std::uint64_t m) const {
  // The first checkpoint after m, by halves; the one before it.
  std::size_t lo = 0, hi = checkpoints_.size();
  while (lo < hi) {
    const std::size_t mid = lo + (hi - lo) / 2;
    if (checkpoints_[mid].marker <= m) lo = mid + 1;
    else hi = mid;
  }
  return lo - 1;
}

std::uint64_t History::journalAt(std::uint64_t m) const {
  std::size_t lo = 0, hi = journal_.size();
  while (lo < hi) {
    const std::size_t mid = lo + (hi - lo) / 2;
    if (journal_[mid].marker < m) lo = mid + 1;
    else hi = mid;
  }
  return journalBase_ + lo;
}

void History::undoToCheckpoint(std::size_t i) {
  const Checkpoint c = checkpoints_[i];
  while (journalBase_ + journal_.size() > c.journal) {
    const Entry e = journal_.back();
    switch (e.kind) {
      case EntryKind::MemoryWord:
        o_.memory.RestoreWord(e.index, NumToBits(static_cast<std::uint32_t>(e.value), 16), e.flag != 0);
        words_[e.index] = static_cast<std::uint16_t>(e.value);
        written_[e.index] = e.flag != 0;
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
  restore(c);
  // The registers at the marker before; the next marker copies them all.
  for (const Reg r : kRegisters) {
    keep(before_[IndexOf(r)], unpack(c.previous[IndexOf(r)], r == Reg::MicroCounter));
    keep(boundary_[lastBoundary_][IndexOf(r)], unpack(c.boundaryBefore[IndexOf(r)], r == Reg::MicroCounter));
  }
  staleRegisters_ = kAllRegisters;
  droppedMask_ = 0;
  sparseUntil_ = 0;
  texts_.resize(static_cast<std::size_t>(c.texts - textsBase_));
  o_.trace.TruncateLines(c.traceLines);
  o_.microTrace.TruncateLines(c.microLines);
  checkpoints_.truncate(i);
  micro_.truncate(micro_.size() - static_cast<std::size_t>(next_ - c.marker));
  next_ = c.marker;
  screenSaved_ = queueSaved_ = false;
  noteTrim();
}

void History::undoTo(std::uint64_t m, bool logBoundary) {
  const std::size_t i = checkpointAt(m);
  const Checkpoint c = checkpoints_[i];
  restoring_ = true;
  undoToCheckpoint(i);
  restoring_ = false;
  bool restingLogged = c.restingLogged;
  if (c.marker == m) {
    // Where the machine rested, it rests again as it was.
    logBoundary = logBoundary && !c.atRest;
  } else {
    // The run went on from the checkpoint on its own: the same
    // micro-commands again lead to m, marking as they go (the registers
    // before the last of them and at the last boundary included).
    sparseUntil_ = 0;
    o_.runControl.Replay(static_cast<std::int64_t>(m - c.marker), c.restingLogged, c.indicatorBar, c.indicatorLine);
    restingLogged = o_.runControl.RestingLogged();
  }
  // A boundary passed in a run becomes a stop there; a stop at a boundary
  // happens in the fetch, after it noted the address.
  restoring_ = true;
  if (logBoundary) o_.microTrace.set_PreMCC(o_.cpu.Micro_Reg_Get_CommandCounter());
  o_.runControl.RestAt(restingLogged, logBoundary, c.indicatorBar, c.indicatorLine);
  restoring_ = false;
  // The next marker copies every register: what changed since this one is
  // not all in the processor's record.
  staleRegisters_ = kAllRegisters;
  changed();
}

bool History::shortStop(std::uint64_t m) const {
  if (isBoundary(m)) return true;
  const Checkpoint& c = checkpoints_[checkpointAt(m)];
  return c.marker == m && c.shortRest;
}

std::int64_t History::lastShortStop(std::uint64_t m) const {
  if (Size() == 0 || m <= oldest_) return -1;
  // Walk back with a cursor on the checkpoints rather than a search each.
  std::size_t ci = checkpointAt(m - 1) + 1;
  for (std::uint64_t k = m; k-- > oldest_;) {
    while (ci > 0 && checkpoints_[ci - 1].marker > k) --ci;
    if (isBoundary(k) || (ci > 0 && checkpoints_[ci - 1].marker == k && checkpoints_[ci - 1].shortRest))
      return static_cast<std::int64_t>(k);
  }
  return -1;
}

bool History::CanStepBack(int mode) const {
  if (Size() == 0) return false;
  return mode != 2 || lastShortStop(next_) >= 0;
}

std::int64_t History::stepTarget(int mode) const {
  if (Size() == 0) return -1;
  if (mode != 2) return static_cast<std::int64_t>(next_ - 1);
  return lastShortStop(next_);
}

bool History::StepBack(int mode) {
  if (!enabled_ || !o_.runControl.Idle()) return false;
  const std::int64_t t = stepTarget(mode);
  if (t < 0) return false;
  const auto m = static_cast<std::uint64_t>(t);
  undoTo(m, mode == 2 && isBoundary(m));
  return true;
}

History::StepChanges History::LastStepChanges(int mode) const {
  StepChanges c;
  const std::int64_t t = stepTarget(mode);
  if (t < 0) return c;
  const auto m = static_cast<std::uint64_t>(t);
  // The registers at the target: its checkpoint's, or those kept for the
  // last marker.
  const Checkpoint& at = checkpoints_[checkpointAt(m)];
  for (const Reg r : kRegisters) {
    const std::size_t i = IndexOf(r);
    // Between checkpoints: the last marker as kept, or the last boundary.
    const bool same = at.marker == m ? unpack(at.registers[i], r == Reg::MicroCounter) == o_.cpu.Value(r)
                      : mode == 2    ? kept(boundary_[lastBoundary_][i]) == o_.cpu.Value(r)
                                     : registerAt(m, r) == o_.cpu.Value(r);
    if (!same) c.registers.push_back(r);
  }
  for (std::uint64_t p = journalAt(m); p < journalBase_ + journal_.size(); ++p) {
    const Entry& e = journal_[static_cast<std::size_t>(p - journalBase_)];
    if (e.kind == EntryKind::MemoryWord && std::find(c.memoryWritten.begin(), c.memoryWritten.end(), e.index) ==
                                               c.memoryWritten.end())
      c.memoryWritten.push_back(e.index);
    if (e.kind == EntryKind::Controller && std::find(c.controllerRows.begin(), c.controllerRows.end(), e.index) ==
                                               c.controllerRows.end())
      c.controllerRows.push_back(e.index);
  }
  for (std::uint64_t k = m; k < next_; ++k)
    if ((entry(k) & kReadBit) != 0) c.memoryRead = o_.memory.Selected();
  if (std::find(c.memoryWritten.begin(), c.memoryWritten.end(), c.memoryRead) != c.memoryWritten.end())
    c.memoryRead = -1;
  // The micro-command executed last: the newest line of the micro-command trace.
  const std::int64_t lines = o_.microTrace.LineCount();
  if (o_.microTrace.LinesTotal() > at.microLines && lines > 0)
    if (const auto last = ParseHexBelow(o_.microTrace.Cell(lines - 1, 0), 256); last && *last > 0) c.microAddress = *last;
  return c;
}

bool History::StepBackToBreakpoint(int mode) {
  if (!enabled_ || !o_.runControl.Idle() || Size() == 0) return false;
  const Breakpoints& b = o_.breakpoints;
  const std::uint64_t last = next_ - 1;
  const std::uint64_t first = firstMarker();
  std::uint64_t end = journalBase_ + journal_.size();
  for (std::uint64_t m = last;; --m) {
    // What micro-command m wrote: a watchpoint stops right after it (in the
    // short period at the next boundary), so only where that place is
    // behind us.
    std::uint64_t start = end;
    while (start > journalBase_ && journal_[static_cast<std::size_t>(start - 1 - journalBase_)].marker >= m) --start;
    BreakKind watchKind{};
    int watchAddress = -1;
    for (std::uint64_t p = start; p < end && watchAddress < 0; ++p) {
      const Entry& e = journal_[static_cast<std::size_t>(p - journalBase_)];
      if (e.kind == EntryKind::MemoryWord && b.Stops(BreakKind::MemoryWrite, e.index)) {
        watchKind = BreakKind::MemoryWrite;
        watchAddress = e.index;
      } else if (e.kind == EntryKind::Controller && b.Stops(BreakKind::Controller, Controllers::AddressOfRow(e.index))) {
        watchKind = BreakKind::Controller;
        watchAddress = Controllers::AddressOfRow(e.index);
      }
    }
    end = start;
    if (watchAddress >= 0 && m < last) {
      std::optional<std::uint64_t> at = m + 1;
      if (mode == 2) {
        at.reset();
        for (std::uint64_t k = m + 1; k <= last; ++k)
          if (shortStop(k)) {
            at = k;
            break;
          }
      }
      if (at) {
        undoTo(*at, mode == 2 && isBoundary(*at));
        o_.breakpoints.RecordHit(watchKind, watchAddress);
        return true;
      }
    }
    const std::uint32_t e = micro_[static_cast<std::size_t>(m - first)];
    if ((e & kBoundaryBit) != 0 && b.Stops(BreakKind::Command, static_cast<int>(e >> 16))) {
      const int address = static_cast<int>(e >> 16);
      undoTo(m, true);
      o_.breakpoints.RecordHit(BreakKind::Command, address);
      return true;
    }
    const int micro = static_cast<int>(e & 0xFFu);
    if (micro > 0 && b.Stops(BreakKind::Micro, micro)) {
      undoTo(m, false);
      o_.breakpoints.RecordHit(BreakKind::Micro, micro);
      return true;
    }
    if (m == oldest_) break;
  }
  undoTo(oldest_, mode == 2 && isBoundary(oldest_));
  listeners_.each([](HistoryListener& l) { l.historyNote(kUsedUpNote); });
  return true;
}

// Listener calls.

void History::memoryRowChanged(int address) {
  if (restoring_) return;
  if (!recording()) return userEdit();
  const auto a = static_cast<std::size_t>(address);
  if (a >= words_.size()) return;
  if (!checkpoints_.empty())
    push(EntryKind::MemoryWord, static_cast<std::uint8_t>(written_[a] ? 1 : 0), static_cast<std::uint16_t>(address),
         words_[a]);
  words_[a] = static_cast<std::uint16_t>(BitsValue(o_.memory.Value(address)));
  written_[a] = o_.memory.Written(address);
}

void History::memorySelectionChanged(int address) {
  if (restoring_) return;
  if (!recording()) {
    selected_ = address;
    return;  // a window's reading moves no machine state
  }
  // Where the micro-command after the last marker read is all a step back
  // needs: checkpoints keep the selection, a replay reads again.
  if (Size() > 0) micro_.back() |= kReadBit;
  if (!o_.runControl.Busy()) sparseUntil_ = 0;
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
  if (!checkpoints_.empty())
    push(EntryKind::Controller, static_cast<std::uint8_t>(controllers_[r].first), static_cast<std::uint16_t>(row),
         controllers_[r].second);
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
  if (checkpoints_.empty()) {
    screen_ = o_.monitor.Save();
    return;
  }
  if (screenSaved_) return;
  screens_.push_back(screen_);
  push(EntryKind::MonitorScreen, 0, 0, 0);
  screenSaved_ = true;
  sparseUntil_ = 0;  // the next marker keeps the state as of now
}

void History::cellChanged(int, int) { monitorChanged(); }
void History::screenChanged() { monitorChanged(); }

void History::keyboardChanged() {
  if (restoring_) return;
  if (!recording()) return userEdit();
  if (checkpoints_.empty()) {
    queue_ = o_.keyboard.Queue();
    return;
  }
  if (queueSaved_) return;
  queues_.push_back(queue_);
  push(EntryKind::KeyboardQueue, 0, 0, 0);
  queueSaved_ = true;
  sparseUntil_ = 0;  // the next marker keeps the state as of now
}

void History::keysAppended(std::size_t) { keyboardChanged(); }
void History::keysRemoved(std::size_t, std::size_t) { keyboardChanged(); }

}  // namespace vesk
