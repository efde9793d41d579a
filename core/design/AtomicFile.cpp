#include "core/design/AtomicFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "core/design/ErrorText.h"
#include "core/design/TemporaryFiles.h"

namespace {

Failure SystemFailure(const std::string& path, const std::string& doing, int err)
{
    return {path + ": " + doing + " (" + design_detail::ErrorText(err) + ")"};
}

std::string FolderText(const std::string& folder) { return folder.empty() ? "." : folder; }

std::string PathIn(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
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

// Why renaming over `name` would fail, as an errno value, or 0. Checked for
// every file before the first rename, so that these refusals change nothing.
int ReplaceProblem(int folder, const struct stat& folderInfo, const std::string& name)
{
    struct stat target;
    if (::fstatat(folder, name.c_str(), &target, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? 0 : errno;
    if (S_ISDIR(target.st_mode))
        return EISDIR;
    // Nor a file the user may not write: replacing it would get round its permissions.
    if (S_ISREG(target.st_mode) && ::faccessat(folder, name.c_str(), W_OK, AT_EACCESS) != 0)
        return errno;
    // In a sticky folder (/tmp) only the owners of the file or folder may replace it.
    const uid_t me = ::geteuid();
    if ((folderInfo.st_mode & S_ISVTX) && me != 0 && target.st_uid != me && folderInfo.st_uid != me)
        return EPERM;
    return 0;
}

// The set's temporary files, in the set's open folder; those not renamed into
// place are removed when it goes.
class Temporaries {
public:
    Temporaries(int folder, const std::string& folderPath) : folder_(folder), folderPath_(folderPath) {}
    ~Temporaries()
    {
        for (const Temporary& temporary : list_)
            if (!temporary.inPlace) {
                ::unlinkat(folder_, temporary.name.c_str(), 0);
                ForgetTemporaryFile(temporary.entry);
            }
    }
    Temporaries(const Temporaries&) = delete;
    Temporaries& operator=(const Temporaries&) = delete;

    // Writes `file` to a new temporary file, flushed to disk.
    Result<void> Add(const FileToWrite& file)
    {
        const std::string path = PathIn(folderPath_, file.name);
        const int fd = Create(file.name);
        if (fd < 0) {
            const int err = errno;
            return SystemFailure(path, "cannot create a temporary file in " + FolderText(folderPath_), err);
        }
        const auto fail = [&](const char* doing, bool open) {
            const int err = errno;
            if (open)
                ::close(fd);
            return Result<void>(SystemFailure(path, doing, err));
        };
        // Permission bits only: a set-user-ID program replaced by root must
        // not become a root program.
        struct stat previous;
        const mode_t mode = ::fstatat(folder_, file.name.c_str(), &previous, 0) == 0 && S_ISREG(previous.st_mode)
                                ? previous.st_mode & 0777
                                : 0666 & ~CurrentUmask();
        if (::fchmod(fd, mode) != 0)
            return fail("cannot set the temporary file's permissions", true);
        if (!WriteAll(fd, file.bytes))
            return fail("cannot write the temporary file", true);
        if (::fsync(fd) != 0)
            return fail("cannot flush the temporary file to disk", true);
        if (::close(fd) != 0)
            return fail("cannot close the temporary file", false);
        return {};
    }

    // Renames the temporary files over `files`, in order. Termination signals
    // wait until all are in place, so that Ctrl+C does not cut the set.
    Result<void> RenameAll(const std::vector<FileToWrite>& files)
    {
        const TerminationSignalsHeld held;
        for (std::size_t i = 0; i < files.size(); ++i) {
            Temporary& temporary = list_[i];
            if (::renameat(folder_, temporary.name.c_str(), folder_, files[i].name.c_str()) != 0) {
                const int err = errno;
                return SystemFailure(PathIn(folderPath_, files[i].name), "cannot replace the file", err);
            }
            temporary.inPlace = true;
            ForgetTemporaryFile(temporary.entry);
        }
        return {};
    }

private:
    struct Temporary {
        std::string name;
        int entry;
        bool inPlace;
    };

    // A new empty file ".<name>.XXXXXX", remembered for the signal handlers;
    // -1 with errno set when there is none.
    int Create(const std::string& name)
    {
        static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
        for (int attempt = 0; attempt < 100; ++attempt) {
            unsigned char random[6];
            if (::getrandom(random, sizeof random, 0) != ssize_t(sizeof random))
                return -1;
            // The name is cut to stay within NAME_MAX.
            std::string temporary = "." + name.substr(0, 200) + ".";
            for (const unsigned char r : random)
                temporary += kLetters[r % (sizeof kLetters - 1)];
            const TerminationSignalsHeld held;
            const int fd = ::openat(folder_, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                                    0600);
            if (fd < 0 && errno == EEXIST)
                continue;
            if (fd < 0)
                return -1;
            const int entry = RememberTemporaryFile(folder_, temporary.c_str());
            if (entry < 0) {
                ::unlinkat(folder_, temporary.c_str(), 0);
                ::close(fd);
                errno = EMFILE;  // too many files being written at once
                return -1;
            }
            list_.push_back({temporary, entry, false});
            return fd;
        }
        errno = EEXIST;
        return -1;
    }

    int folder_;
    std::string folderPath_;
    std::vector<Temporary> list_;
};

// Closes the folder when it goes, which also ends its lock.
class OpenFolder {
public:
    explicit OpenFolder(const std::string& path)
        : fd_(::open(path.empty() ? "." : path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
    }
    ~OpenFolder()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;

    int fd() const { return fd_; }

private:
    int fd_;
};

Result<void> WriteSet(const std::string& folderPath, const std::vector<FileToWrite>& files)
{
    if (files.empty())
        return Failure{"nothing to write"};
    for (const FileToWrite& file : files)
        if (file.name.empty() || file.name == "." || file.name == ".." || file.name.find('/') != std::string::npos)
            return Failure{PathIn(folderPath, file.name) + ": not a file name"};
    const OpenFolder folder(folderPath);
    if (folder.fd() < 0) {
        const int err = errno;
        return SystemFailure(PathIn(folderPath, files.front().name),
                             "cannot create a temporary file in " + FolderText(folderPath), err);
    }
    Temporaries temporaries(folder.fd(), folderPath);
    for (const FileToWrite& file : files)
        if (Result<void> added = temporaries.Add(file); !added)
            return added;

    // Writers of one folder take turns from here on: an advisory lock on the
    // folder itself, so that no lock file is left beside the user's files.
    // A file system without locks (some network ones) goes on unlocked.
    while (::flock(folder.fd(), LOCK_EX) != 0 && errno == EINTR) {
    }
    struct stat folderInfo;
    if (::fstat(folder.fd(), &folderInfo) != 0) {
        const int err = errno;
        return SystemFailure(FolderText(folderPath), "cannot read the folder", err);
    }
    for (const FileToWrite& file : files)
        if (const int err = ReplaceProblem(folder.fd(), folderInfo, file.name))
            return SystemFailure(PathIn(folderPath, file.name), "cannot replace the file", err);
    if (Result<void> renamed = temporaries.RenameAll(files); !renamed)
        return renamed;
    if (::fsync(folder.fd()) != 0) {
        const int err = errno;
        return SystemFailure(PathIn(folderPath, files.back().name),
                             "replaced, but cannot flush the folder " + FolderText(folderPath) + " to disk", err);
    }
    return {};
}

Failure OutOfMemory(const std::string& path) noexcept
{
    try {
        return {path + ": cannot write (out of memory)"};
    } catch (...) {  // this fits in place
        return {"out of memory"};
    }
}

} // namespace

Result<void> WriteFilesAtomically(const std::string& folder, const std::vector<FileToWrite>& files) noexcept
{
    try {
        return WriteSet(folder, files);
    } catch (...) {  // only running out of memory for the names
        return OutOfMemory(folder);
    }
}

Result<void> WriteFileAtomically(const std::string& path, std::string_view bytes) noexcept
{
    try {
        const std::size_t slash = path.rfind('/');
        const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash == 0 ? 1 : slash);
        return WriteSet(folder, {{path.substr(slash + 1), bytes}});
    } catch (...) {
        return OutOfMemory(path);
    }
}
