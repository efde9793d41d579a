#include "texture/DibReader.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/MessageBox.h"
#include "texture/BitmapFile.h"
#include "texture/DibDecoder.h"

namespace {

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
    BitmapFile file(path);
    const BitmapFile::Contents bytes = file.ReadAll();
    // A file that could not be opened, or that was emptied since.
    if (bytes.size == 0) {
        ShowOpenFailure(path);
        return nullptr;
    }
    return DecodeDibImage(bytes.data.get(), bytes.size);
}
