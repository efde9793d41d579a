#pragma once

#include <signal.h>

// The temporary files being written, kept where a signal handler can reach
// them, so that Ctrl+C, a kill or a closed terminal leaves none behind. The
// list is fixed static storage: the handlers allocate nothing and call only
// async-signal-safe functions (unlinkat, raise).

// Remembers the temporary file `name` in the open folder `folder`, which must
// stay open until the file is forgotten. Call it with the termination signals
// held (TerminationSignalsHeld) straight after creating the file, so that no
// handler on this thread runs between the two. -1 when the list is full or
// the name too long: the caller then removes the file and gives up.
int RememberTemporaryFile(int folder, const char* name) noexcept;

// Drops entry `entry` once its file is renamed into place or removed.
void ForgetTemporaryFile(int entry) noexcept;

// Installs handlers for SIGINT, SIGTERM and SIGHUP that remove every
// remembered temporary file and then end the program by the same signal, as
// it would have ended without them. A signal the program was started
// ignoring (nohup) stays ignored.
void RemoveTemporaryFilesOnTermination() noexcept;

// Holds SIGINT, SIGTERM and SIGHUP back in the calling thread while it lives;
// one that arrives meanwhile is handled when it goes.
class TerminationSignalsHeld {
public:
    TerminationSignalsHeld() noexcept;
    ~TerminationSignalsHeld();
    TerminationSignalsHeld(const TerminationSignalsHeld&) = delete;
    TerminationSignalsHeld& operator=(const TerminationSignalsHeld&) = delete;

private:
    sigset_t previous_;
};
