// Breakpoints and watchpoints: where a run stops on its own.
//
// Four kinds, each on its own range of addresses: command breakpoints on
// main-memory addresses (the run stops at the command boundary before the
// command at that address is fetched), micro-command breakpoints on
// micro-addresses (the run stops before the micro-command at that address is
// executed), memory watchpoints (the run stops after a micro-command writes
// that word) and controller watchpoints (the run stops when that
// controller's flag or data register changes). Each one is enabled or
// disabled. Run control asks on its hot path, so the questions it asks are
// one array look-up each, and "is any of this kind enabled" comes first.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "util/listeners.h"

namespace vesk {

enum class BreakKind : std::uint8_t {
  Command,      // main-memory address 000..7FF
  Micro,        // micro-address 01..FF
  MemoryWrite,  // main-memory address 000..7FF
  Controller,   // controller address 00..FF
};
inline constexpr int kBreakKinds = 4;

struct Breakpoint {
  BreakKind kind = BreakKind::Command;
  int address = 0;
  bool enabled = true;
  bool operator==(const Breakpoint&) const = default;
};

class BreakpointsListener {
 public:
  virtual ~BreakpointsListener() = default;
  // The breakpoint of this kind at this address was set, removed, enabled or
  // disabled (one call per address, also for each one RemoveAll removes).
  virtual void breakpointChanged(BreakKind /*kind*/, int /*address*/) {}
  // A run stopped (or is stopping) at a breakpoint: LastHit() names it.
  virtual void breakpointHit() {}
};

class Breakpoints {
 public:
  Breakpoints();

  Listeners<BreakpointsListener>& listeners() { return listeners_; }

  // Whether the address is in the kind's range.
  static bool ValidAddress(BreakKind kind, int address);
  // The address a text names for the kind (hex digits, either case), or
  // nothing when it is not hex or out of the kind's range.
  static std::optional<int> ParseAddress(BreakKind kind, std::string_view text);
  // "01A", "МК 1A", "W 020", "ВУ 05": how panel 3 and vesk-run name a hit.
  static std::string HitText(BreakKind kind, int address);
  // The address as its window writes it: "01A", "1A", "020", "05".
  static std::string AddressText(BreakKind kind, int address);

  // Each returns false (and changes nothing) for an address out of range, or
  // when nothing would change.
  bool Set(BreakKind kind, int address, bool enabled = true);
  bool Remove(BreakKind kind, int address);
  bool SetEnabled(BreakKind kind, int address, bool enabled);
  // Sets it when absent, removes it when present. True when it is now set.
  bool Toggle(BreakKind kind, int address);
  void RemoveAll();

  bool Has(BreakKind kind, int address) const { return state(kind, address) != kNone; }
  bool Enabled(BreakKind kind, int address) const { return state(kind, address) == kOn; }
  // Every breakpoint, by kind and then by address.
  std::vector<Breakpoint> All() const;
  // Replaces every breakpoint with the list (entries out of range are
  // skipped). For state files that keep them.
  void SetAll(const std::vector<Breakpoint>& list);
  int Count() const;

  // The hot path's questions.
  bool AnyEnabled(BreakKind kind) const { return enabledCount_[index(kind)] > 0; }
  bool Stops(BreakKind kind, int address) const {
    return AnyEnabled(kind) && address >= 0 && address < Size(kind) &&
           states_[index(kind)][static_cast<std::size_t>(address)] == kOn;
  }

  // The last breakpoint a run stopped at (HitText), empty when none yet.
  const std::string& LastHit() const { return lastHit_; }
  void RecordHit(BreakKind kind, int address);
  void ClearLastHit() { lastHit_.clear(); }

  static int Size(BreakKind kind) { return kind == BreakKind::Command || kind == BreakKind::MemoryWrite ? 2048 : 256; }

 private:
  enum : std::uint8_t { kNone = 0, kOff = 1, kOn = 2 };
  static std::size_t index(BreakKind kind) { return static_cast<std::size_t>(kind); }
  std::uint8_t state(BreakKind kind, int address) const;
  void store(BreakKind kind, int address, std::uint8_t state);

  Listeners<BreakpointsListener> listeners_;
  std::array<std::vector<std::uint8_t>, kBreakKinds> states_;
  std::array<int, kBreakKinds> enabledCount_{};
  std::array<int, kBreakKinds> count_{};
  std::string lastHit_;
};

}  // namespace vesk
