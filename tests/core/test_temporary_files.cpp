// A termination signal during a write removes the temporary files before the
// program ends by it.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "core/design/AtomicFile.h"
#include "core/design/TemporaryFiles.h"

namespace fs = std::filesystem;

namespace {

volatile sig_atomic_t g_signal = 0;

// How a child process running `body` ended.
int InChild(const std::function<void()>& body)
{
    const pid_t child = ::fork();
    if (child == 0) {
        body();
        ::_exit(0);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child ? status : -1;
}

bool Exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

} // namespace

TEST(TemporaryFiles, ATerminationSignalRemovesThemAndEndsTheProgramByIt)
{
    char name[] = "/tmp/velmora-signal-XXXXXX";
    ASSERT_NE(::mkdtemp(name), nullptr);
    const std::string dir = name;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        // The signal comes in the middle of the write: where the file grows
        // past 4 KiB, SIGXFSZ's handler sends it.
        g_signal = signal;
        const int status = InChild([&] {
            RemoveTemporaryFilesOnTermination();
            ::signal(SIGXFSZ, [](int) { ::raise(g_signal); });
            const rlimit limit{4096, 4096};
            if (::setrlimit(RLIMIT_FSIZE, &limit) == 0)
                (void)WriteFileAtomically(dir + "/vase.obj", std::string(65536, 'n'));
        });
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal << ": " << status;
        EXPECT_TRUE(fs::is_empty(dir)) << signal;
    }

    // A signal the program was started ignoring stays ignored, and only the
    // files still remembered go.
    const int status = InChild([&] {
        ::signal(SIGHUP, SIG_IGN);
        RemoveTemporaryFilesOnTermination();
        const int folder = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
        for (const char* file : {"renamed", "written"})
            ::close(::openat(folder, file, O_WRONLY | O_CREAT, 0600));
        ForgetTemporaryFile(RememberTemporaryFile(folder, "renamed"));
        if (RememberTemporaryFile(folder, "written") < 0)
            ::_exit(2);
        ::raise(SIGHUP);
        if (!Exists(dir + "/written"))
            ::_exit(3);
        ::raise(SIGINT);
        ::_exit(4);
    });
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
    EXPECT_TRUE(Exists(dir + "/renamed"));
    EXPECT_FALSE(Exists(dir + "/written"));
    fs::remove_all(dir);
}
