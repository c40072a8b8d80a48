// How the programs end on a signal. SIGINT, SIGTERM and SIGHUP remove the
// temporary files of saves in progress (util/temp_files.h), print one line
// on standard error and exit with 128 + the signal's number (130, 143, 129),
// as shells report. SIGXFSZ is ignored, so a write past the file-size limit
// fails with "File too large" and the save says so; SIGPIPE is ignored, so a
// reader that goes away makes a write fail with "Broken pipe" instead of
// killing the program. A stop signal the program was started with ignored
// (nohup ignores SIGHUP) stays ignored, as for any Unix program.
#pragma once

namespace vesk {

// line: the start of the line printed, for instance "vesk-run: stopped by";
// the signal's name and a line end follow. Kept as given (not copied): pass
// a string literal.
void ExitCleanlyOnSignals(const char* line);

// Only the ignored signals above, for a program that handles the others itself.
void IgnoreFileSignals();

// Installs handler for SIGINT, SIGTERM and SIGHUP, each blocked while it runs,
// except a signal that was ignored when the program started.
void HandleStopSignals(void (*handler)(int));

// "SIGINT" and so on; "signal" for others. Async-signal-safe.
const char* SignalName(int signo);

}  // namespace vesk
