#include "core/bmp/DibDecoder.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>


namespace {

std::uint16_t Read16(const unsigned char* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t Read32(const unsigned char* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;
constexpr std::uint32_t kBitFields = 3;

// Which bit depth / compression pairs this decoder handles. Compressed
// bitmaps cannot be stored top-down.
bool EncodingSupported(const DibInfo& info)
{
    const bool topDown = info.height < 0;
    switch (info.compression) {
    case kRgb:
        switch (info.bitCount) {
        case 1: case 2: case 4: case 8: case 16: case 24: case 32:
            return true;
        default:
            return false;
        }
    case kRle8:
        return info.bitCount == 8 && !topDown;
    case kRle4:
        return info.bitCount == 4 && !topDown;
    case kBitFields:
        return info.bitCount == 16 || info.bitCount == 32;
    default:
        return false;  // JPEG, PNG, Huffman and anything newer
    }
}

// The palette expanded to RGB triples; indexes beyond the table stay black.
struct Lut {
    unsigned char rgb[256][3];
    std::uint32_t word[256];  // the same triples in memory order, one spare byte
};

void BuildLut(const DibInfo& info, Lut& lut)
{
    std::memset(&lut, 0, sizeof lut);
    if (info.bitCount > 8 || info.palette == nullptr)
        return;
    const unsigned entries = std::min(info.paletteCount, 1u << info.bitCount);
    for (unsigned i = 0; i < entries; ++i) {
        const unsigned char* e = info.palette + std::size_t(i) * info.paletteEntrySize;
        lut.rgb[i][0] = e[2];
        lut.rgb[i][1] = e[1];
        lut.rgb[i][2] = e[0];
    }
    for (unsigned i = 0; i < 256; ++i)
        std::memcpy(&lut.word[i], lut.rgb[i], 3);
}

// One colour channel of a 16- or 32-bit pixel, scaled to 0..255 with rounding.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint64_t max = 0;

    explicit Channel(std::uint32_t m) : mask(m)
    {
        if (mask == 0)
            return;
        while (((mask >> shift) & 1u) == 0)
            ++shift;
        max = mask >> shift;
    }

    unsigned char operator()(std::uint32_t v) const
    {
        if (max == 0)
            return 0;
        const std::uint64_t value = (v & mask) >> shift;
        return static_cast<unsigned char>((value * 255 + max / 2) / max);
    }
};

void DecodeRow(const DibInfo& info, const Lut& lut, const Channel* ch, const unsigned char* src,
               std::int64_t count, unsigned char* dst)
{
    const unsigned bpp = info.bitCount;
    switch (bpp) {
    case 1: case 2: case 4: {
        const unsigned perByte = 8 / bpp;
        const unsigned indexMask = (1u << bpp) - 1;
        for (std::int64_t x = 0; x < count; ++x) {
            const unsigned shift = 8 - bpp - unsigned(x % perByte) * bpp;
            const unsigned index = (src[x / perByte] >> shift) & indexMask;
            std::memcpy(dst + x * 3, lut.rgb[index], 3);
        }
        break;
    }
    case 8: {
        // Four-byte stores overlap the next pixel, which is written after;
        // the row's last pixel takes a three-byte copy so nothing spills.
        std::int64_t x = 0;
        for (; x + 1 < count; ++x)
            std::memcpy(dst + x * 3, &lut.word[src[x]], 4);
        if (x < count)
            std::memcpy(dst + x * 3, &lut.word[src[x]], 3);
        break;
    }
    case 16:
        for (std::int64_t x = 0; x < count; ++x) {
            const std::uint32_t v = Read16(src + x * 2);
            dst[x * 3] = ch[0](v);
            dst[x * 3 + 1] = ch[1](v);
            dst[x * 3 + 2] = ch[2](v);
        }
        break;
    case 24: {
        const unsigned char* __restrict in = src;
        unsigned char* __restrict out = dst;
        for (std::int64_t i = 0; i < count * 3; i += 3) {
            out[i] = in[i + 2];
            out[i + 1] = in[i + 1];
            out[i + 2] = in[i];
        }
        break;
    }
    case 32:
        if (ch[0].mask == 0xFF0000u && ch[1].mask == 0xFF00u && ch[2].mask == 0xFFu) {
            for (std::int64_t x = 0; x < count; ++x) {
                dst[x * 3] = src[x * 4 + 2];
                dst[x * 3 + 1] = src[x * 4 + 1];
                dst[x * 3 + 2] = src[x * 4];
            }
        } else {
            for (std::int64_t x = 0; x < count; ++x) {
                const std::uint32_t v = Read32(src + x * 4);
                dst[x * 3] = ch[0](v);
                dst[x * 3 + 1] = ch[1](v);
                dst[x * 3 + 2] = ch[2](v);
            }
        }
        break;
    default:
        break;
    }
}

void DecodeUncompressed(const DibInfo& info, const Lut& lut, unsigned char* rgb)
{
    const std::int64_t width = info.width;
    const std::int64_t height = info.height < 0 ? -std::int64_t(info.height) : info.height;
    const std::int64_t bpp = info.bitCount;
    const std::int64_t stride = (width * bpp + 31) / 32 * 4;
    const std::int64_t rowBytes = (width * bpp + 7) / 8;
    const std::int64_t available = static_cast<std::int64_t>(info.bitsSize);

    std::uint32_t masks[3] = {info.masks[0], info.masks[1], info.masks[2]};
    if (info.compression != kBitFields) {
        if (bpp == 16) {
            masks[0] = 0x7C00; masks[1] = 0x03E0; masks[2] = 0x001F;
        } else {
            masks[0] = 0xFF0000; masks[1] = 0xFF00; masks[2] = 0xFF;
        }
    }
    const Channel ch[3] = {Channel(masks[0]), Channel(masks[1]), Channel(masks[2])};

    for (std::int64_t row = 0; row < height; ++row) {
        const std::int64_t start = row * stride;
        if (start >= available)
            break;  // the rest stays black
        const std::int64_t bytes = std::min(rowBytes, available - start);
        const std::int64_t count = std::min(width, bytes * 8 / bpp);
        const std::int64_t outRow = info.height < 0 ? height - 1 - row : row;
        DecodeRow(info, lut, ch, info.bits + start, count, rgb + outRow * width * 3);
    }
}

// Run-length data (RLE8 or RLE4): every step consumes at least two bytes,
// writes are clipped to the picture, and broken or short data just stops.
void DecodeRle(const DibInfo& info, const Lut& lut, unsigned char* rgb)
{
    const bool four = info.compression == kRle4;
    const std::int64_t width = info.width;
    const std::int64_t height = info.height;
    const unsigned char* b = info.bits;
    const std::size_t n = info.bitsSize;
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::size_t p = 0;

    auto put = [&](std::int64_t px, unsigned index) {
        if (px < width && y < height)
            std::memcpy(rgb + (y * width + px) * 3, lut.rgb[index], 3);
    };

    while (n - p >= 2 && y < height) {
        const unsigned count = b[p];
        const unsigned value = b[p + 1];
        p += 2;
        if (count > 0) {
            for (unsigned i = 0; i < count && x + i < width; ++i)
                put(x + i, four ? ((i & 1) ? (value & 0xF) : (value >> 4)) : value);
            x += count;
        } else if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            if (n - p < 2)
                break;
            x += b[p];
            y += b[p + 1];
            p += 2;
        } else {
            const std::size_t bytes = four ? (value + 1) / 2 : value;
            const std::size_t have = std::min(bytes, n - p);
            for (unsigned i = 0; i < value && x + i < width; ++i) {
                const std::size_t at = four ? i / 2 : i;
                if (at >= have)
                    break;
                put(x + i, four ? ((i & 1) ? (b[p + at] & 0xF) : (b[p + at] >> 4)) : b[p + at]);
            }
            if (have < bytes)
                break;
            x += value;
            p += bytes + (bytes & 1);  // absolute runs are padded to 16 bits
            if (p > n)
                break;
        }
    }
}

} // namespace

DibResult ParseDib(const unsigned char* data, std::size_t size, DibInfo& info)
{
    info = DibInfo();
    const bool fileHeader = size >= 2 && data[0] == 'B' && data[1] == 'M';
    const std::size_t headerAt = fileHeader ? 14 : 0;
    if (size < headerAt + 4)
        return DibResult::UnknownFormat;
    const unsigned char* h = data + headerAt;
    const std::uint32_t headerSize = Read32(h);
    if (headerSize != 12 && headerSize != 40)
        return DibResult::UnknownFormat;
    if (size - headerAt < headerSize)
        return DibResult::ConversionError;

    const unsigned count = DibColorCount(h);
    std::uint64_t tableAt = headerAt + headerSize;
    if (headerSize == 12) {
        info.width = Read16(h + 4);
        info.height = Read16(h + 6);
        info.planes = Read16(h + 8);
        info.bitCount = Read16(h + 10);
        info.clrUsed = count;
        info.clrImportant = count;
        info.paletteEntrySize = 3;
    } else {
        info.width = static_cast<std::int32_t>(Read32(h + 4));
        info.height = static_cast<std::int32_t>(Read32(h + 8));
        info.planes = Read16(h + 12);
        info.bitCount = Read16(h + 14);
        info.compression = Read32(h + 16);
        info.sizeImage = Read32(h + 20);
        info.xPelsPerMeter = static_cast<std::int32_t>(Read32(h + 24));
        info.yPelsPerMeter = static_cast<std::int32_t>(Read32(h + 28));
        info.clrUsed = Read32(h + 32);
        info.clrImportant = Read32(h + 36);
        info.paletteEntrySize = 4;
        // Bit-field masks sit between the header and the colour table.
        if (info.compression == kBitFields) {
            if (size < tableAt + 12)
                return DibResult::ConversionError;
            for (int i = 0; i < 3; ++i)
                info.masks[i] = Read32(data + tableAt + 4 * i);
            tableAt += 12;
        }
    }
    const std::uint64_t tableEnd = tableAt + std::uint64_t(count) * info.paletteEntrySize;
    if (tableEnd > size)
        return DibResult::ConversionError;
    info.palette = data + tableAt;
    info.paletteCount = count;

    const std::uint64_t bitsAt = fileHeader ? Read32(data + 10) : tableEnd;
    if (bitsAt >= size)
        return DibResult::ConversionError;
    info.bits = data + bitsAt;
    info.bitsSize = static_cast<std::size_t>(size - bitsAt);

    if (info.sizeImage == 0) {
        const std::uint32_t w = static_cast<std::uint32_t>(info.width);
        const std::uint32_t hgt = static_cast<std::uint32_t>(info.height);
        info.sizeImage = (w * info.bitCount + 7u) / 8u * hgt;
    }
    if (info.clrUsed == 0)
        info.clrUsed = count;
    return DibResult::Ok;
}

DibResult DecodeDibPixels(const DibInfo& info, unsigned char* rgb)
{
    if (info.width <= 0 || info.height == 0 || info.bits == nullptr || !EncodingSupported(info))
        return DibResult::ConversionError;
    Lut lut;
    BuildLut(info, lut);
    if (info.compression == kRle8 || info.compression == kRle4)
        DecodeRle(info, lut, rgb);
    else
        DecodeUncompressed(info, lut, rgb);
    return DibResult::Ok;
}

DibResult DecodeDib(const unsigned char* data, std::size_t size, RgbImage& image)
{
    image = RgbImage();
    DibInfo info;
    const DibResult parsed = ParseDib(data, size, info);
    if (parsed != DibResult::Ok)
        return parsed;

    const std::int64_t width = info.width;
    const std::int64_t height = info.height < 0 ? -std::int64_t(info.height) : info.height;
    if (width <= 0 || height == 0)
        return DibResult::ConversionError;
    if (width > kDibMaxSide || height > kDibMaxSide || width * height > kDibMaxPixels)
        return DibResult::OutOfMemory;
    if (!EncodingSupported(info))
        return DibResult::ConversionError;

    // Zero-filled, so whatever the data does not cover stays black.
    RgbImage decoded;
    try {
        decoded.pixels.assign(static_cast<std::size_t>(width * height) * 3, 0);
    } catch (const std::bad_alloc&) {
        return DibResult::OutOfMemory;
    }
    const DibResult result = DecodeDibPixels(info, decoded.pixels.data());
    if (result != DibResult::Ok)
        return result;
    decoded.width = static_cast<int>(width);
    decoded.height = static_cast<int>(height);  // rows are bottom-up whatever the file's order
    image = std::move(decoded);
    return DibResult::Ok;
}

namespace {

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
