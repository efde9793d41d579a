#include "core/bmp/BitmapFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

BitmapFile::BitmapFile(const char* path)
{
    // Looked at before opening, since opening a device can have effects of
    // its own; checked again on the open file, which may have been swapped.
    struct stat st;
    if (path == nullptr || ::stat(path, &st) != 0 || !S_ISREG(st.st_mode))
        return;
    m_fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (m_fd < 0)
        return;
    if (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

BitmapFile::~BitmapFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

BitmapFile::Contents BitmapFile::ReadAll()
{
    Contents contents;
    struct stat st;
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0 || st.st_size <= 0)
        return contents;
    const std::size_t expected = std::min(static_cast<std::uint64_t>(st.st_size),
                                          static_cast<std::uint64_t>(kMaxBytes));
    // Not zero-filled: every byte handed out is one that was read.
    contents.data.reset(new unsigned char[expected]);
    while (contents.size < expected) {
        const ssize_t n = ::pread(m_fd, contents.data.get() + contents.size, expected - contents.size,
                                  static_cast<off_t>(contents.size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return {};
        if (n == 0)
            break;  // the file shrank after it was measured
        contents.size += static_cast<std::size_t>(n);
    }
    return contents;
}
