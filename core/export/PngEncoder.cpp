#include "core/export/PngEncoder.h"

#include <zlib.h>

#include <cstddef>
#include <cstring>


namespace {

constexpr std::size_t kChunkData = 1 << 16;  // deflate's output per IDAT chunk
constexpr std::uint32_t kMaxSide = 0x7fffffff;  // PNG's limit for either side

void AppendBigEndian(std::vector<unsigned char>& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(value >> shift));
}

}  // namespace

struct PngRowEncoder::Stream {
    z_stream z{};
    bool open = false;
};

PngRowEncoder::PngRowEncoder(int width, int height)
    : m_stream(std::make_unique<Stream>()),
      m_width(width > 0 ? std::uint32_t(width) : 0),
      m_height(height > 0 ? std::uint32_t(height) : 0)
{
    if (m_width == 0 || m_height == 0 || m_width > kMaxSide / 3 || m_height > kMaxSide) {
        m_failed = true;
        return;
    }
    m_failed = deflateInit(&m_stream->z, Z_BEST_SPEED) != Z_OK;
    m_stream->open = !m_failed;
    m_filtered.resize(1 + std::size_t(m_width) * 3);
    m_filtered[0] = 1;  // Sub: each byte less the same channel of the pixel to its left
    m_idat.resize(kChunkData);
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    m_png.assign(signature, signature + sizeof signature);
    std::vector<unsigned char> header;
    AppendBigEndian(header, m_width);
    AppendBigEndian(header, m_height);
    // 8 bits a channel, RGB, deflate, adaptive filtering, not interlaced.
    header.insert(header.end(), {8, 2, 0, 0, 0});
    AppendChunk("IHDR", header.data(), header.size());
}

PngRowEncoder::~PngRowEncoder()
{
    if (m_stream->open)
        deflateEnd(&m_stream->z);
}

void PngRowEncoder::AddRow(const unsigned char* rgb)
{
    if (m_failed || m_rows == m_height) {
        m_failed = true;
        return;
    }
    const std::size_t bytes = m_filtered.size() - 1;
    unsigned char* out = m_filtered.data() + 1;
    std::memcpy(out, rgb, bytes < 3 ? bytes : 3);
    for (std::size_t i = 3; i < bytes; ++i)
        out[i] = static_cast<unsigned char>(rgb[i] - rgb[i - 3]);
    m_stream->z.next_in = m_filtered.data();
    m_stream->z.avail_in = static_cast<uInt>(m_filtered.size());
    ++m_rows;
    Deflate(m_rows == m_height ? Z_FINISH : Z_NO_FLUSH);
}

void PngRowEncoder::Deflate(int flush)
{
    z_stream& z = m_stream->z;
    for (;;) {
        const std::size_t used = kChunkData - (z.next_out ? z.avail_out : kChunkData);
        if (!z.next_out || z.avail_out == 0) {
            if (z.next_out)
                AppendChunk("IDAT", m_idat.data(), used);
            z.next_out = m_idat.data();
            z.avail_out = static_cast<uInt>(kChunkData);
        }
        const int status = deflate(&z, flush);
        if (status == Z_STREAM_END) {
            AppendChunk("IDAT", m_idat.data(), kChunkData - z.avail_out);
            return;
        }
        if (status != Z_OK && status != Z_BUF_ERROR) {
            m_failed = true;
            return;
        }
        // Everything taken and room left in the output: deflate wants more input.
        if (z.avail_in == 0 && z.avail_out != 0 && flush == Z_NO_FLUSH)
            return;
    }
}

void PngRowEncoder::AppendChunk(const char type[4], const unsigned char* data, std::size_t size)
{
    AppendBigEndian(m_png, static_cast<std::uint32_t>(size));
    const std::size_t typeAt = m_png.size();
    m_png.insert(m_png.end(), type, type + 4);
    m_png.insert(m_png.end(), data, data + size);
    // The CRC covers the type and the data.
    AppendBigEndian(m_png, static_cast<std::uint32_t>(
                               crc32(0, m_png.data() + typeAt, static_cast<uInt>(m_png.size() - typeAt))));
}

std::vector<unsigned char> PngRowEncoder::Finish()
{
    if (m_failed || m_rows != m_height)
        return {};
    AppendChunk("IEND", nullptr, 0);
    return std::move(m_png);
}

std::vector<unsigned char> EncodePng(const RgbImage& image)
{
    const std::size_t row = std::size_t(image.width > 0 ? image.width : 0) * 3;
    if (image.width <= 0 || image.height <= 0 || image.pixels.size() != row * std::size_t(image.height))
        return {};
    PngRowEncoder encoder(image.width, image.height);
    // RgbImage keeps the bottom row first; PNG wants the top row first.
    for (std::size_t y = std::size_t(image.height); y-- > 0;)
        encoder.AddRow(image.pixels.data() + y * row);
    return encoder.Finish();
}
