#pragma once

#include <mutex>

// Sends everything written to stderr, the file descriptor (so a library's
// own fprintf too), to /dev/null from construction to Restore() or the end
// of the scope: for a library call that prints its failures raw before it
// reports them, and ours is the one line that says so. One thread mutes at a
// time; whatever another writes to stderr meanwhile is lost as well.
class MutedStderr {
public:
    MutedStderr();
    ~MutedStderr() { Restore(); }
    MutedStderr(const MutedStderr&) = delete;
    MutedStderr& operator=(const MutedStderr&) = delete;

    // Gives stderr back (again: nothing).
    void Restore();

private:
    std::unique_lock<std::recursive_mutex> m_lock;
    int m_saved = -1;
};
