// The step-back history: a bounded journal of what execution changed, with a
// marker before every micro-command.
//
// Run control calls Mark() as it fetches a micro-command (and when a stopped
// machine is started, continued or stepped). Most markers cost four bytes
// (their micro-address, whether they begin a command and there СК, whether
// their micro-command read memory). A checkpoint keeps the small state whole
// (registers, lamps, run-state text, the traces' variables, counters and line
// counts, the selections) where the machine rested, after an input or a
// change from outside run control, where run control's own state moved, and
// at least every few hundred micro-commands; between checkpoints the machine ran
// on its own in the short-period order, so any place there is reached again
// by putting the checkpoint back and letting run control replay the
// micro-commands from it. What is large is journalled instead, old value
// first, as its owner announces the change: memory words, controllers' flags
// and data registers, the monitor's screen and the keyboard's queue. Stepping
// back undoes the journal to a checkpoint, puts its small state back, cuts
// both traces to its line counts, replays to the marker asked for, and lets
// the machine rest there.
//
// The history covers execution only: an owner's change while run control is
// not acting and the machine is not running is a user's edit, a load or a
// reset, and clears it. A byte that goes to the network cannot come back, so
// the history ends there.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <deque>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "core/processor.h"
#include "core/run_control.h"
#include "debug/breakpoints.h"
#include "io/controllers.h"
#include "io/keyboard.h"
#include "io/monitor.h"
#include "memory/main_memory.h"
#include "memory/micro_memory.h"
#include "trace/trace_listener.h"
#include "util/listeners.h"
#include "util/ring.h"

namespace vesk {

class CommandTrace;
class MicroTrace;
class RunControl;

class HistoryListener {
 public:
  virtual ~HistoryListener() = default;
  // Markers were added or removed (the step-back commands may change state).
  virtual void historyChanged() {}
  // A note for the status bar: why the history was cleared or ended, or why
  // a step back went no further.
  virtual void historyNote(const std::string& /*text*/) {}
};

struct HistoryOwners {
  Processor& cpu;
  MainMemory& memory;
  MicroMemory& microMemory;
  Controllers& controllers;
  CommandTrace& trace;
  MicroTrace& microTrace;
  RunControl& runControl;
  Monitor& monitor;
  Keyboard& keyboard;
  Breakpoints& breakpoints;
};

class History : MainMemoryListener,
                MicroMemoryListener,
                ControllersListener,
                ProcessorListener,
                MonitorListener,
                KeyboardListener {
 public:
  static constexpr std::int64_t kDefaultDepth = 100000;
  static constexpr std::size_t kRegisterCount = 10;
  // РМК and СчМК change with every micro-command; between checkpoints they are
  // known without copying: СчМК from the marker's micro-address, РМК from the
  // word the micro-command before fetched.
  static constexpr std::uint32_t kMicroRegisters = (1u << static_cast<unsigned>(Reg::MicroCommand)) |
                                                   (1u << static_cast<unsigned>(Reg::MicroCounter));
  static inline const std::string kClearedNote = "История шагов назад очищена: машина изменена вне выполнения";
  static inline const std::string kNetworkNote = "История шагов назад прервана: байт ушёл в сеть и не вернётся";
  static inline const std::string kUsedUpNote = "История шагов назад исчерпана";

  explicit History(HistoryOwners owners);
  ~History() override;
  History(const History&) = delete;
  History& operator=(const History&) = delete;

  Listeners<HistoryListener>& listeners() { return listeners_; }

  // Off: no marks, no listeners, no cost. Turning it on starts empty.
  void SetEnabled(bool enabled);
  bool Enabled() const { return enabled_; }
  // Markers kept at most (at least 1); the oldest go first.
  void SetDepth(std::int64_t depth);
  std::int64_t Depth() const { return depth_; }

  // Run control's calls: a marker before a fetch, or where a resting machine
  // starts, continues or steps (atRest). executesNow: the micro-command runs
  // whole within this fetch (the short-period order); boundary: it begins a
  // command.
  void Mark(bool atRest = false, bool executesNow = false, bool boundary = false) {
    if (!enabled_) return;
    if (executesNow && next_ < sparseUntil_ && indicator_->activeBar == sparseBar_ && indicator_->lineY == sparseLine_)
      markBetween(boundary);
    else markCheckpoint(atRest, executesNow, boundary);
  }
  void MarkBoundary();
  void DropMark();

  // Run control's own state that markers between checkpoints share (whether
  // the command before is logged) moved: the next marker is a checkpoint.
  void RunControlMoved();

  // At most this many markers between two checkpoints (1: every marker is
  // one). More is cheaper to record; a step back replays up to this many
  // micro-commands.
  static constexpr int kCheckpointSpacing = 256;
  void SetCheckpointSpacing(int markers) { spacing_ = std::max(markers, 1); }

  // Markers (micro-commands that can be stepped back over) held now.
  std::int64_t Size() const { return checkpoints_.empty() || next_ <= oldest_ ? 0 : static_cast<std::int64_t>(next_ - oldest_); }
  bool Empty() const { return Size() == 0; }
  // Whether a step back in this timing mode has somewhere to go.
  bool CanStepBack(int mode) const;
  // Bytes the journal and the markers take.
  std::size_t MemoryBytes() const;

  // "Шаг назад": the machine must rest (run control idle). Short period
  // (mode 2): to the previous command boundary, stopped there as "Стоп"
  // would stop; full period: to before the previous micro-command. False
  // when there is nowhere to go.
  bool StepBack(int mode);
  // "Назад до точки останова": back to where a breakpoint or watchpoint
  // would have stopped a run, or as far as the history goes. The hit is
  // recorded as a forward run would record it.
  bool StepBackToBreakpoint(int mode);

  // An input that is no edit of the machine (the interrupt button): its
  // changes are the machine's own, kept in the next marker.
  template <class F>
  void Input(F&& change) {
    sparseUntil_ = 0;  // the next marker is a checkpoint
    const bool was = input_;
    input_ = true;
    change();
    input_ = was;
  }

  // Forgets everything; the note is told when something was forgotten.
  void Clear(const std::string& note = {});

  // What the last step changed (the last command in the short period, the
  // last micro-command in the full one), as a step back would undo it:
  // registers whose text differs, memory words written, the word read last,
  // controllers whose flag or data changed, and the micro-command executed.
  struct StepChanges {
    std::vector<Reg> registers;
    std::vector<int> memoryWritten;
    int memoryRead = -1;
    std::vector<int> controllerRows;
    int microAddress = -1;
  };
  StepChanges LastStepChanges(int mode) const;

 private:
  enum class EntryKind : std::uint8_t { MemoryWord, Controller, MonitorScreen, KeyboardQueue };
  struct Entry {
    std::uint64_t marker;  // made by the micro-command after this marker
    EntryKind kind;
    std::uint8_t flag;   // MemoryWord: written; Controller: flag
    std::uint16_t index; // address or row
    std::int32_t value;  // word, data register, selection, or side-store position
  };
  // A value packed: a clean bit string or hex digits by number, any other
  // text by its place in the side store.
  struct Packed {
    std::uint32_t value;  // the number, or the text's absolute position
    std::uint8_t width;
    std::uint8_t kind;  // 0 bits, 1 hex digits, 2 text
    // A clean value by number (a clean text has at most 32 bits or 8 hex
    // digits); kind 2 (and nothing else) for any other.
    static Packed Of(const BitValue& v) {
      if (v.isOdd()) return {0, 0, 2};
      return {v.value(), static_cast<std::uint8_t>(v.width()), static_cast<std::uint8_t>(v.isHex() ? 1 : 0)};
    }
    // The clean value (kind 0 or 1).
    BitValue Clean() const { return kind == 0 ? BitValue::Bits(value, width) : BitValue::Hex(value, width); }
  };
  // A register's value kept cheaply: a clean one by number, another by its
  // place in the pool of odd values (keep() and kept()). Plain data: the
  // marks copy these around.
  struct Kept {
    Packed packed{};
  };
  static_assert(std::is_trivially_copyable_v<Kept>);
  // A short text kept in place (up to 11 bytes), a longer one in the side store.
  struct ShortText {
    char bytes[11];
    std::uint8_t size;  // 0xFF: in the side store at `at`
    std::uint32_t at;
  };
  // The small state whole, at one marker. Plain data, in a ring: made and
  // dropped every few hundred micro-commands of a run.
  struct Checkpoint {
    std::uint64_t marker;
    std::uint64_t journal;  // absolute position of the first entry after it
    std::uint64_t texts;    // absolute position of its first side text
    std::int64_t traceLines;
    std::int64_t microLines;
    bool restingLogged;
    bool atRest;       // the machine rested here (a start, continue or step)
    bool shortRest;    // ... in the short period
    bool executesNow;  // its micro-command ran whole within the fetch
    bool interruptButton;
    bool runRequest;
    std::int8_t indicatorBar;
    std::uint8_t runCode;  // 1 running, 2 stopped, 0 the text in runText
    double indicatorLine;
    std::array<Packed, 10> registers;
    std::array<Packed, 10> previous;        // at the marker before it
    std::array<Packed, 10> boundaryBefore;  // at the last command boundary before it
    std::uint32_t lamps;
    Packed runText;
    Packed aluLeft, aluRight, currAddr, currCmd, preMCC;
    ShortText effectAddr, effectVal;
    std::int32_t commands, microCommands, microSelected, memorySelected;
  };
  static_assert(std::is_trivially_copyable_v<Checkpoint>);

  // Listener calls.
  void memoryRowChanged(int address) override;
  void memorySelectionChanged(int address) override;
  void memoryCleared() override;
  void microRowChanged(int address) override;
  void microRowsChanged() override;
  void controllerChanged(int row) override;
  void dataRegisterWritten(int row) override;
  void registerChanged(Reg) override;
  void interruptButtonChanged(bool) override;
  void cellChanged(int x, int y) override;
  void screenChanged() override;
  void keysAppended(std::size_t count) override;
  void keysRemoved(std::size_t first, std::size_t count) override;
  struct TraceWatch : TraceListener {
    History* history = nullptr;
    void logCleared() override { history->userEdit(); }
  };

  bool recording() const;
  void userEdit();
  void resync();
  void push(EntryKind kind, std::uint8_t flag, std::uint16_t index, std::int32_t value);
  void monitorChanged();
  void keyboardChanged();
  // A marker between checkpoints: the machine runs on from the last one on
  // its own, and a replay comes here again. Only the registers at this marker
  // are kept (those the last micro-command changed are copied; at a boundary,
  // what they were too, for a stop there).
  void markBetween(bool boundary) {
    const std::uint32_t copy =
        (o_.cpu.TakeChangedRegisters() | std::exchange(staleRegisters_, 0u)) & (kAllRegisters & ~kMicroRegisters);
    if (boundary) droppedMask_ = copy;
    for (std::uint32_t m = copy; m != 0; m &= m - 1) {
      const auto i = static_cast<std::size_t>(std::countr_zero(m));
      if (boundary) dropped_[i] = before_[i];
      keep(before_[i], o_.cpu.Value(static_cast<Reg>(i)));
    }
    micro_.push_back(MicroEntry(static_cast<int>(o_.cpu.Value(Reg::MicroCounter).value()), boundary,
                                boundary ? o_.cpu.Value(Reg::CommandCounter).bitsValue() : 0u));
    if (boundary) boundaryMarked();
    if (++next_ > oldest_ + static_cast<std::uint64_t>(depth_)) {
      oldest_ = next_ - static_cast<std::uint64_t>(depth_);
      if (trimAt_ <= oldest_) trimFront();
    }
  }
  [[gnu::noinline]] void markCheckpoint(bool atRest, bool executesNow, bool boundary);
  void keep(Kept& k, const BitValue& v) {
    k.packed = Packed::Of(v);
    if (k.packed.kind == 2) keepOdd(k, v);
  }
  [[gnu::noinline]] void keepOdd(Kept& k, const BitValue& v);
  BitValue kept(const Kept& k) const { return k.packed.kind == 2 ? odds_[k.packed.value] : k.packed.Clean(); }
  // As a checkpoint keeps it.
  Packed packKept(const Kept& k) { return k.packed.kind == 2 ? pack(odds_[k.packed.value]) : k.packed; }
  void checkpoint(bool atRest, bool executesNow, bool boundary, std::uint32_t changedRegisters);
  void restore(const Checkpoint& c);
  Packed pack(const BitValue& v);
  // Register r at marker m: a checkpoint's, or for the last marker as kept.
  BitValue registerAt(std::uint64_t m, Reg r) const;
  BitValue unpack(const Packed& p, bool hexField) const;
  ShortText packText(std::string_view t);
  std::string_view unpackText(const ShortText& t) const;
  std::uint64_t firstMarker() const { return checkpoints_.front().marker; }
  void noteTrim() { trimAt_ = checkpoints_.size() > 1 ? checkpoints_[1].marker : ~std::uint64_t{0}; }
  // The index of the last checkpoint at or before marker m.
  std::size_t checkpointAt(std::uint64_t m) const;
  // The journal position of the first entry made after marker m.
  std::uint64_t journalAt(std::uint64_t m) const;
  // Per marker: its micro-address (0 when none), whether it is a command
  // boundary, and there СК; whether its micro-command read memory.
  static constexpr std::uint32_t kBoundaryBit = 0x100u;
  static constexpr std::uint32_t kReadBit = 0x200u;
  static std::uint32_t MicroEntry(int micro, bool boundary, std::uint32_t counter) {
    return static_cast<std::uint32_t>(micro > 0 ? micro : 0) | (boundary ? kBoundaryBit | ((counter & 0x7FFu) << 16) : 0u);
  }
  std::uint32_t entry(std::uint64_t m) const { return micro_[static_cast<std::size_t>(m - firstMarker())]; }
  bool isBoundary(std::uint64_t m) const { return (entry(m) & kBoundaryBit) != 0; }
  // Where a short-period step back may go: a boundary, or where the machine
  // rested in the short period.
  bool shortStop(std::uint64_t m) const;
  // The last such place before marker m (not before the oldest), or -1.
  std::int64_t lastShortStop(std::uint64_t m) const;
  // The marker just made (its registers kept in before_) is a boundary: the
  // registers there are kept.
  void boundaryMarked();
  // Undoes everything after marker m and rests there.
  void undoTo(std::uint64_t m, bool logBoundary);
  // Undoes everything after checkpoint i (dropping it and those after).
  void undoToCheckpoint(std::size_t i);
  // The marker a step back in this mode goes to, or -1.
  std::int64_t stepTarget(int mode) const;
  void trimFront();
  void changed();

  HistoryOwners o_;
  Listeners<HistoryListener> listeners_;
  TraceWatch commandWatch_, microWatch_;
  bool enabled_ = false;
  bool restoring_ = false;
  bool input_ = false;
  // Markers before this one may go without a checkpoint (0: the next marker
  // is one): within the spacing of the last checkpoint, while nothing from
  // outside run control changed the machine.
  std::uint64_t sparseUntil_ = 0;
  // ... and where the period indicator stood there.
  const PeriodIndicator* indicator_ = nullptr;
  int sparseBar_ = 0;
  double sparseLine_ = 0.0;
  std::int64_t depth_ = kDefaultDepth;
  int spacing_ = kCheckpointSpacing;

  std::uint64_t next_ = 0;    // the marker Mark() makes next
  std::uint64_t oldest_ = 0;  // the oldest marker a step back may go to (the depth's bound)
  std::uint64_t trimAt_ = ~std::uint64_t{0};  // the second checkpoint's marker
  Ring<Checkpoint> checkpoints_;
  Ring<std::uint32_t> micro_;  // per marker from firstMarker(), see MicroEntry
  Ring<Entry> journal_;
  std::uint64_t journalBase_ = 0;  // absolute position of journal_.front()
  std::deque<Monitor::State> screens_;
  std::deque<std::deque<std::uint8_t>> queues_;
  std::deque<std::string> texts_;  // the checkpoints' odd texts
  std::uint64_t textsBase_ = 0;    // absolute position of texts_.front()

  // The registers at the last marker (for what the last micro-command
  // changed), and those the processor's record of changes does not cover.
  std::array<Kept, 10> before_;
  std::uint32_t staleRegisters_ = 0;
  // Those a boundary marker overwrote (DropMark puts them back).
  std::array<Kept, 10> dropped_;
  std::uint32_t droppedMask_ = 0;
  // The registers at the last command boundary marked (boundary_[lastBoundary_])
  // and at the one before.
  std::array<std::array<Kept, 10>, 2> boundary_;
  std::size_t lastBoundary_ = 0;
  static constexpr std::uint32_t kAllRegisters = (1u << kRegisterCount) - 1u;
  // The odd values the Kept above refer to (texts a register holds that are
  // no clean number: only a user's direct write makes one). Older ones no
  // Kept refers to are dropped when the pool grows past a bound.
  std::vector<BitValue> odds_;

  // The large state as of now, to know old values when an owner announces
  // a change after making it.
  std::vector<std::uint16_t> words_;
  std::vector<bool> written_;
  int selected_ = -1;
  std::vector<std::pair<int, std::uint8_t>> controllers_;
  Monitor::State screen_;
  bool screenSaved_ = false;  // the screen before this micro-command is journalled
  std::deque<std::uint8_t> queue_;
  bool queueSaved_ = false;
};

}  // namespace vesk
