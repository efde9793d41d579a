#include "core/design/TemporaryFiles.h"

#include <limits.h>
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

namespace {

// A set of three export files written at once, a save and a picture from
// other threads fit many times over.
constexpr int kEntries = 32;

enum State : int { kFree, kFilling, kLive, kRemoving };

struct Entry {
    std::atomic<int> state{kFree};
    int folder = -1;
    char name[NAME_MAX + 1] = "";
};

static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "the handler may only touch lock-free atomics");

Entry g_entries[kEntries];
// Set by a handler before it removes the files: a file remembered on another
// thread after the handler looked removes itself.
std::atomic<bool> g_ending{false};

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

sigset_t TerminationSignals()
{
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : kSignals)
        sigaddset(&set, signal);
    return set;
}

// Claims a live entry so that no one reuses it while its file is removed.
void Remove(Entry& entry)
{
    int live = kLive;
    if (entry.state.compare_exchange_strong(live, kRemoving))
        ::unlinkat(entry.folder, entry.name, 0);
}

// The disposition is back to the default on entry (SA_RESETHAND), so raising
// the signal again ends the program as the signal would have.
void RemoveAndEnd(int signal)
{
    g_ending.store(true);
    for (Entry& entry : g_entries)
        Remove(entry);
    ::raise(signal);
}

} // namespace

int RememberTemporaryFile(int folder, const char* name) noexcept
{
    const std::size_t length = std::strlen(name);
    if (length > NAME_MAX)
        return -1;
    for (int i = 0; i < kEntries; ++i) {
        Entry& entry = g_entries[i];
        int free = kFree;
        if (!entry.state.compare_exchange_strong(free, kFilling))
            continue;
        entry.folder = folder;
        std::memcpy(entry.name, name, length + 1);
        entry.state.store(kLive);
        if (g_ending.load())
            Remove(entry);
        return i;
    }
    return -1;
}

void ForgetTemporaryFile(int entry) noexcept
{
    // Fails only while a handler removes the file: the program is ending.
    int live = kLive;
    g_entries[entry].state.compare_exchange_strong(live, kFree);
}

void RemoveTemporaryFilesOnTermination() noexcept
{
    struct sigaction action = {};
    action.sa_handler = RemoveAndEnd;
    action.sa_mask = TerminationSignals();
    action.sa_flags = SA_RESETHAND;
    for (const int signal : kSignals) {
        struct sigaction current;
        if (::sigaction(signal, nullptr, &current) == 0 && !(current.sa_flags & SA_SIGINFO) &&
            current.sa_handler == SIG_DFL)
            ::sigaction(signal, &action, nullptr);
    }
}

TerminationSignalsHeld::TerminationSignalsHeld() noexcept
{
    const sigset_t held = TerminationSignals();
    ::pthread_sigmask(SIG_BLOCK, &held, &previous_);
}

TerminationSignalsHeld::~TerminationSignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
