#include "core/design/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "core/design/ErrorText.h"

namespace {

std::string Failure(const std::string& path, const std::string& doing, int err)
{
    return path + ": " + doing + " (" + design_detail::ErrorText(err) + ")";
}

// The process's umask, read without changing it; 022 where it cannot be read.
mode_t CurrentUmask()
{
    mode_t mask = 022;
    if (std::FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned int value = 0;
        while (std::fgets(line, sizeof line, status) != nullptr)
            if (std::sscanf(line, "Umask: %o", &value) == 1) {
                mask = static_cast<mode_t>(value & 0777);
                break;
            }
        std::fclose(status);
    }
    return mask;
}

bool WriteAll(int fd, std::string_view bytes)
{
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;  // no progress and no reason given
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

bool WriteReplacing(const std::string& path, std::string_view bytes, std::string& reason)
{
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") {
        reason = path + ": not a file name";
        return false;
    }

    // ".<name>.XXXXXX" beside the target; the name is cut to stay in NAME_MAX.
    std::string pattern = folder + "/." + name.substr(0, 200) + ".XXXXXX";
    std::vector<char> temp(pattern.begin(), pattern.end());
    temp.push_back('\0');
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        reason = Failure(path, "cannot create a temporary file in " + folder, err);
        return false;
    }
    // Removes the temporary file; call it straight after the failed call.
    const auto fail = [&](const char* doing, bool open) {
        const int err = errno;
        if (open)
            ::close(fd);
        ::unlink(temp.data());
        reason = Failure(path, doing, err);
        return false;
    };

    struct stat previous;
    const mode_t mode = ::stat(path.c_str(), &previous) == 0 && S_ISREG(previous.st_mode)
                            ? previous.st_mode & 07777
                            : 0666 & ~CurrentUmask();
    if (::fchmod(fd, mode) != 0)
        return fail("cannot set the temporary file's permissions", true);
    if (!WriteAll(fd, bytes))
        return fail("cannot write the temporary file", true);
    if (::fsync(fd) != 0)
        return fail("cannot flush the temporary file to disk", true);
    if (::close(fd) != 0)
        return fail("cannot close the temporary file", false);
    if (::rename(temp.data(), path.c_str()) != 0)
        return fail("cannot replace the file", false);

    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0 || ::fsync(dir) != 0) {
        const int err = errno;
        if (dir >= 0)
            ::close(dir);
        reason = Failure(path, "replaced, but cannot flush the folder " + folder + " to disk", err);
        return false;
    }
    ::close(dir);
    return true;
}

} // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& reason) noexcept
{
    try {
        return WriteReplacing(path, bytes, reason);
    } catch (...) {  // only running out of memory for the names
        try {
            reason = path + ": cannot write (out of memory)";
        } catch (...) {  // this fits in place
            reason.assign("out of memory");
        }
        return false;
    }
}
