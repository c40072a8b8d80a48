#include "util/temp_files.h"

#include <unistd.h>

#include <atomic>
#include <climits>
#include <cstring>

namespace vesk::temp_files {

namespace {

enum : int { kFree = 0, kFilling = 1, kHeld = 2 };

struct Slot {
  std::atomic<int> state{kFree};
  char path[PATH_MAX];
};

Slot slots[kSlots];

static_assert(std::atomic<int>::is_always_lock_free, "a signal handler reads the slots");

}  // namespace

int Remember(const char* path) {
  const std::size_t length = std::strlen(path);
  if (length >= PATH_MAX) return -1;
  for (int i = 0; i < kSlots; ++i) {
    int expected = kFree;
    if (!slots[i].state.compare_exchange_strong(expected, kFilling)) continue;
    std::memcpy(slots[i].path, path, length + 1);
    slots[i].state.store(kHeld);
    return i;
  }
  return -1;
}

void Forget(int slot) {
  if (slot < 0 || slot >= kSlots) return;
  slots[slot].state.store(kFree);
}

void RemoveAll() {
  for (Slot& slot : slots)
    if (slot.state.load() == kHeld) ::unlink(slot.path);
}

int Count() {
  int n = 0;
  for (const Slot& slot : slots) n += slot.state.load() == kHeld ? 1 : 0;
  return n;
}

}  // namespace vesk::temp_files
