// The temporary files of saves in progress, known to the signal handlers
// (util/exit_signals.h) so that a program stopped by SIGINT, SIGTERM or SIGHUP
// leaves none behind. Remember and Forget may be called from any thread;
// RemoveAll is async-signal-safe.
#pragma once

#include <cstddef>

namespace vesk::temp_files {

// Saves in progress at one time that are looked after; a further one still
// works, it is only not removed on a signal.
constexpr int kSlots = 32;

// Remembers path (copied); returns the slot to Forget, or -1 when every slot
// is taken or the path is too long to keep.
int Remember(const char* path);
void Forget(int slot);
// Unlinks every remembered file. Only async-signal-safe calls.
void RemoveAll();
// Files remembered now (for tests).
int Count();

}  // namespace vesk::temp_files
