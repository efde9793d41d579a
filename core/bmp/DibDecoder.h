#pragma once

#include <cstddef>
#include <cstdint>

#include "core/bmp/RgbImage.h"

// Decoding of Windows bitmap data held in memory, without any platform
// service: plain bytes in, plain RGB rows out.

// Why a bitmap could not be read or decoded; each maps to one message.
enum class DibResult {
    Ok,
    OpenFailure,      // "Failed to open DIB file <path>.\n" (the file reader only)
    UnknownFormat,    // "Unknown DIB file format."
    OutOfMemory,      // "Out of memory."
    ConversionError,  // "Image file conversion error."
};

// Largest picture the reader accepts: each side, and the pixel total
// (64 Mi pixels, 192 MiB of RGB). Larger ones report OutOfMemory.
constexpr std::int64_t kDibMaxSide = 32768;
constexpr std::int64_t kDibMaxPixels = std::int64_t(1) << 26;

// The normalised bitmap header and where its colour table, masks and pixel
// bits lie. All pointers point into the caller's memory block.
struct DibInfo {
    std::int32_t width = 0;
    std::int32_t height = 0;          // negative: rows stored top-down
    std::uint16_t planes = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;    // 0 RGB, 1 RLE8, 2 RLE4, 3 bit fields
    std::uint32_t sizeImage = 0;
    std::int32_t xPelsPerMeter = 0;
    std::int32_t yPelsPerMeter = 0;
    std::uint32_t clrUsed = 0;
    std::uint32_t clrImportant = 0;

    const unsigned char* palette = nullptr;  // blue, green, red[, reserved]
    unsigned paletteEntrySize = 4;           // 3 for the core header
    unsigned paletteCount = 0;
    std::uint32_t masks[3] = {0, 0, 0};      // red, green, blue (16/32 bits)
    const unsigned char* bits = nullptr;
    std::size_t bitsSize = 0;                // bytes from bits to end of block
};

// Reads the headers of a bitmap file image (optional "BM" file header, 12-
// or 40-byte bitmap header) and checks that headers, masks and colour table
// lie inside the block and that the bits start inside it.
DibResult ParseDib(const unsigned char* data, std::size_t size, DibInfo& info);

// Converts the pixel bits of `info` into `rgb`, which holds
// width * |height| * 3 zeroed bytes: red, green, blue, rows unpadded, the
// picture's bottom row first. Pixel data that ends early leaves the rest
// black; so do palette indexes beyond the colour table.
DibResult DecodeDibPixels(const DibInfo& info, unsigned char* rgb);

// Parses and decodes a whole bitmap file image into `image` (height made
// positive); anything but Ok leaves `image` empty.
DibResult DecodeDib(const unsigned char* data, std::size_t size, RgbImage& image);

// Number of colour-table entries that follow the bitmap header at `header`.
unsigned short DibColorCount(const void* header);
