// WriteFileAtomically: replacing a file, and failures that leave the previous
// file whole. Written to pass as root, whom permission bits do not stop.

#include <gtest/gtest.h>

#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/design/AtomicFile.h"

namespace fs = std::filesystem;

namespace {

class AtomicFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        char name[] = "/tmp/velmora-atomic-XXXXXX";
        ASSERT_NE(::mkdtemp(name), nullptr);
        dir = name;
        file = dir + "/vase.velmora";
        std::ofstream(file, std::ios::binary) << "old bytes";
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string Read(const std::string& path) const
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::size_t Entries() const { return std::size_t(std::distance(fs::directory_iterator(dir), {})); }

    std::string dir;
    std::string file;
};

} // namespace

TEST_F(AtomicFile, ReplacesTheFileKeepingItsPermissions)
{
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    Result<void> written = WriteFileAtomically(file, "new bytes");
    ASSERT_TRUE(written) << written.Error();
    EXPECT_EQ(Read(file), "new bytes");
    struct stat info;
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(Entries(), 1u);  // no temporary file left

    const mode_t mask = ::umask(027);
    written = WriteFileAtomically(dir + "/fresh", "");
    ASSERT_TRUE(written) << written.Error();
    ::umask(mask);
    ASSERT_EQ(::stat((dir + "/fresh").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(AtomicFile, ATargetThatIsAFolderOrAMissingFolderIsReported)
{
    const std::string folder = dir + "/folder";
    ASSERT_TRUE(fs::create_directory(folder));
    EXPECT_EQ(WriteFileAtomically(folder, "new bytes").Error(), folder + ": cannot replace the file (Is a directory)");
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(Entries(), 2u);

    EXPECT_EQ(WriteFileAtomically(dir + "/none/vase.velmora", "new bytes").Error(),
              dir + "/none/vase.velmora: cannot create a temporary file in " + dir + "/none (No such file or directory)");
    EXPECT_EQ(Read(file), "old bytes");
}

TEST_F(AtomicFile, AFullDiskLeavesThePreviousFileWhole)
{
    // A child whose files may not grow past 4 KiB writes 64 KiB: write()
    // fails with EFBIG, as it would with ENOSPC on a full disk.
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        std::string reason = "setrlimit failed";
        if (::setrlimit(RLIMIT_FSIZE, &limit) == 0) {
            const Result<void> written = WriteFileAtomically(file, std::string(65536, 'n'));
            reason = written ? "written" : written.Error();
        }
        ::_exit(::write(fds[1], reason.data(), reason.size()) == ssize_t(reason.size()) ? 0 : 1);
    }
    ::close(fds[1]);
    char buffer[512];
    const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
    ::close(fds[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(std::string(buffer, std::size_t(n > 0 ? n : 0)), file + ": cannot write the temporary file (File too large)");
    EXPECT_EQ(Read(file), "old bytes");
    EXPECT_EQ(Entries(), 1u);
}

TEST_F(AtomicFile, AReplacedFileKeepsOnlyItsPermissionBits)
{
    // Root replacing another user's set-user-ID program must not make it a
    // root one: the new file gets the permission bits alone.
    for (const mode_t special : {04755, 02755, 01755, 06755}) {
        if (::geteuid() == 0) {
            ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
        }
        ASSERT_EQ(::chmod(file.c_str(), special), 0);
        const Result<void> written = WriteFileAtomically(file, "new bytes");
        ASSERT_TRUE(written) << written.Error();
        struct stat info;
        ASSERT_EQ(::stat(file.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0755u) << std::oct << special;
    }
}

TEST_F(AtomicFile, AFileTheUserMayNotWriteIsNotReplaced)
{
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    ASSERT_EQ(::chmod(dir.c_str(), 0777), 0);
    // Root may write anything: the writer is a child that is nobody then.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(2);
        const Result<void> refused = WriteFileAtomically(file, "new bytes");
        ::_exit(!refused && refused.Error() == file + ": cannot replace the file (Permission denied)" ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(Read(file), "old bytes");
    EXPECT_EQ(Entries(), 1u);
}
