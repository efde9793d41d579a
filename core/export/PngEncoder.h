#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/bmp/RgbImage.h"

// Writes a PNG file (8-bit RGB) row by row, top row first as PNG stores it,
// so that a picture too large to copy whole can be encoded from a strip at a
// time. Speed comes before size: every row takes the Sub filter, and zlib
// its fastest level.
class PngRowEncoder {
public:
    PngRowEncoder(int width, int height);
    ~PngRowEncoder();
    PngRowEncoder(const PngRowEncoder&) = delete;
    PngRowEncoder& operator=(const PngRowEncoder&) = delete;

    // Appends the next row: 3 * width bytes. Rows beyond the height are refused.
    void AddRow(const unsigned char* rgb);
    // The file once every row is in; empty when the size was out of range,
    // a row is missing or zlib failed.
    std::vector<unsigned char> Finish();

private:
    void Deflate(int flush);
    void AppendChunk(const char type[4], const unsigned char* data, std::size_t size);

    struct Stream;
    std::unique_ptr<Stream> m_stream;
    std::uint32_t m_width;
    std::uint32_t m_height;
    std::uint32_t m_rows = 0;
    bool m_failed = false;
    std::vector<unsigned char> m_filtered;  // one row: the filter byte and the differences
    std::vector<unsigned char> m_idat;      // deflate's output not yet in a chunk
    std::vector<unsigned char> m_png;
};

// The picture as the bytes of a PNG file. Empty when the picture has no
// pixels or its pixel count does not match its size.
std::vector<unsigned char> EncodePng(const RgbImage& image);
