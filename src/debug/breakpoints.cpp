#include "debug/breakpoints.h"

#include "format/number_text.h"

namespace vesk {

namespace {

std::string Hex(int value, int digits) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string s(static_cast<std::size_t>(digits), '0');
  for (int i = digits - 1; i >= 0; --i, value >>= 4) s[static_cast<std::size_t>(i)] = kDigits[value & 15];
  return s;
}

}  // namespace

Breakpoints::Breakpoints() {
  for (int k = 0; k < kBreakKinds; ++k)
    states_[static_cast<std::size_t>(k)].assign(static_cast<std::size_t>(Size(static_cast<BreakKind>(k))), kNone);
}

bool Breakpoints::ValidAddress(BreakKind kind, int address) {
  if (kind == BreakKind::Micro) return address >= 1 && address <= 0xFF;
  return address >= 0 && address < Size(kind);
}

std::optional<int> Breakpoints::ParseAddress(BreakKind kind, std::string_view text) {
  const auto v = ParseHexBelow(Trim(text), Size(kind));
  if (!v || !ValidAddress(kind, *v)) return std::nullopt;
  return v;
}

std::string Breakpoints::AddressText(BreakKind kind, int address) {
  return Hex(address, kind == BreakKind::Command || kind == BreakKind::MemoryWrite ? 3 : 2);
}

std::string Breakpoints::HitText(BreakKind kind, int address) {
  switch (kind) {
    case BreakKind::Command: return AddressText(kind, address);
    case BreakKind::Micro: return "МК " + AddressText(kind, address);
    case BreakKind::MemoryWrite: return "W " + AddressText(kind, address);
    case BreakKind::Controller: return "ВУ " + AddressText(kind, address);
  }
  return {};
}

std::uint8_t Breakpoints::state(BreakKind kind, int address) const {
  if (!ValidAddress(kind, address)) return kNone;
  return states_[index(kind)][static_cast<std::size_t>(address)];
}

void Breakpoints::store(BreakKind kind, int address, std::uint8_t next) {
  const std::size_t k = index(kind);
  std::uint8_t& cell = states_[k][static_cast<std::size_t>(address)];
  if (cell == kOn) --enabledCount_[k];
  if (cell != kNone) --count_[k];
  cell = next;
  if (cell == kOn) ++enabledCount_[k];
  if (cell != kNone) ++count_[k];
  listeners_.each([kind, address](BreakpointsListener& l) { l.breakpointChanged(kind, address); });
}

bool Breakpoints::Set(BreakKind kind, int address, bool enabled) {
  if (!ValidAddress(kind, address)) return false;
  const std::uint8_t next = enabled ? kOn : kOff;
  if (state(kind, address) == next) return false;
  store(kind, address, next);
  return true;
}

bool Breakpoints::Remove(BreakKind kind, int address) {
  if (state(kind, address) == kNone) return false;
  store(kind, address, kNone);
  return true;
}

bool Breakpoints::SetEnabled(BreakKind kind, int address, bool enabled) {
  if (state(kind, address) == kNone) return false;
  return Set(kind, address, enabled);
}

bool Breakpoints::Toggle(BreakKind kind, int address) {
  if (!ValidAddress(kind, address)) return false;
  if (Has(kind, address)) {
    Remove(kind, address);
    return false;
  }
  Set(kind, address, true);
  return true;
}

void Breakpoints::RemoveAll() {
  for (const Breakpoint& b : All()) Remove(b.kind, b.address);
}

std::vector<Breakpoint> Breakpoints::All() const {
  std::vector<Breakpoint> list;
  for (int k = 0; k < kBreakKinds; ++k) {
    const auto kind = static_cast<BreakKind>(k);
    if (count_[static_cast<std::size_t>(k)] == 0) continue;
    const auto& states = states_[static_cast<std::size_t>(k)];
    for (std::size_t a = 0; a < states.size(); ++a)
      if (states[a] != kNone) list.push_back({kind, static_cast<int>(a), states[a] == kOn});
  }
  return list;
}

void Breakpoints::SetAll(const std::vector<Breakpoint>& list) {
  RemoveAll();
  for (const Breakpoint& b : list) Set(b.kind, b.address, b.enabled);
}

int Breakpoints::Count() const {
  int n = 0;
  for (const int c : count_) n += c;
  return n;
}

void Breakpoints::RecordHit(BreakKind kind, int address) {
  lastHit_ = HitText(kind, address);
  listeners_.each([](BreakpointsListener& l) { l.breakpointHit(); });
}

}  // namespace vesk
