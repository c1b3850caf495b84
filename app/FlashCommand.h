// A firmware update from the command line: --flash FILE with --restore or --no-restore, its
// progress on standard error, and Ctrl+C that lets the block on the wire finish.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "CommandLine.h"
#include "ConnectionController.h"
#include "QuietView.h"

namespace corvane {

// While it lives, SIGINT and SIGTERM are noted instead of ending the program.
class InterruptGuard {
public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;
    // The signal noted (0: none), and the exit status it asks for (128 + the signal).
    static int Signal();
    static int Status() { return 128 + Signal(); }
};

// Runs the update on the connected ESC and, once it is read again, the restore (or not).
// Returns the exit status: 0, 1 (said on standard error), or InterruptGuard::Status().
int RunFlash(ConnectionController& controller, QuietView& view, const SettingsCommand& command,
             std::FILE* out, std::FILE* err, bool quiet);

// Waits, running the event loop, until done() or ms have passed; false on the time limit.
bool WaitUntil(const std::function<bool()>& done, int ms);
// Waits (at most a write's time) for the parameter write under way to end; its outcome, or
// Running when it did not end in time.
WriteOutcome AwaitWriteEnd(ConnectionController& controller);
// Says why an option failed, as one line on standard error (after what `out` holds), and
// returns the exit status 1.
int FailWith(std::FILE* out, const QString& reason);

} // namespace corvane
