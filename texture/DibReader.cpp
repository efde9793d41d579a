#include "texture/DibReader.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/MessageBox.h"
#include "texture/DibDecoder.h"

namespace {

// The open file and its read-only view; destruction releases them in
// reverse order whatever way LoadDibImage leaves.
class MappedFile {
public:
    explicit MappedFile(const char* path)
    {
        // Non-blocking so that a FIFO cannot stall the GUI thread; only
        // regular files are mapped.
        fd_ = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        if (fd_ < 0)
            return;
        struct stat st;
        if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0)
            return;  // an empty file cannot be mapped
        if (static_cast<std::uint64_t>(st.st_size) > SIZE_MAX)
            return;
        const std::size_t size = static_cast<std::size_t>(st.st_size);
        void* view = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd_, 0);
        if (view == MAP_FAILED)
            return;
        view_ = static_cast<const unsigned char*>(view);
        size_ = size;
    }

    ~MappedFile()
    {
        if (view_ != nullptr)
            ::munmap(const_cast<unsigned char*>(view_), size_);
        if (fd_ >= 0)
            ::close(fd_);
    }

    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    const unsigned char* data() const { return view_; }
    std::size_t size() const { return size_; }

private:
    int fd_ = -1;
    const unsigned char* view_ = nullptr;
    std::size_t size_ = 0;
};

void ShowOpenFailure(const char* path)
{
    static const char kFormat[] = "Failed to open DIB file %s.\n";
    const char* shown = path != nullptr ? path : "(null)";
    // Room for the whole path: long paths are shown in full, never cut.
    std::vector<char> text(std::strlen(shown) + sizeof kFormat);
    std::snprintf(text.data(), text.size(), kFormat, shown);
    ShowMessageBox(text.data(), "Error", MessageIcon::None);
}

unsigned short ColorsForDepth(unsigned bitCount)
{
    switch (bitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

} // namespace

unsigned short DibColorCount(const void* header)
{
    const auto* h = static_cast<const unsigned char*>(header);
    auto read16 = [h](int at) { return unsigned(h[at]) | (unsigned(h[at + 1]) << 8); };
    auto read32 = [h](int at) {
        return std::uint32_t(h[at]) | (std::uint32_t(h[at + 1]) << 8) |
               (std::uint32_t(h[at + 2]) << 16) | (std::uint32_t(h[at + 3]) << 24);
    };
    if (read32(0) == 12)
        return ColorsForDepth(read16(10));
    const std::uint32_t used = read32(32);
    if (used != 0)
        return static_cast<unsigned short>(used & 0xFFFFu);
    return ColorsForDepth(read16(14));
}

RgbImage* LoadDibImage(const char* path)
{
    if (path == nullptr) {
        ShowOpenFailure(path);
        return nullptr;
    }
    const MappedFile file(path);
    if (file.data() == nullptr) {
        ShowOpenFailure(path);
        return nullptr;
    }
    // The headers, table and bits are read in place from the mapping.
    return DecodeDibImage(file.data(), file.size());
}
