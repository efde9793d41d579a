#include "PngTestReader.h"

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

std::uint32_t Be32(const unsigned char* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

int Paeth(int a, int b, int c)
{
    const int p = a + b - c;
    const int pa = std::abs(p - a);
    const int pb = std::abs(p - b);
    const int pc = std::abs(p - c);
    if (pa <= pb && pa <= pc)
        return a;
    return pb <= pc ? b : c;
}

} // namespace

std::string ReadPngForTest(const std::string& path, PngTestImage& image)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return "cannot open " + path;
    const std::vector<unsigned char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (file.size() < 8 || std::memcmp(file.data(), kSignature, 8) != 0)
        return "not a PNG";

    std::uint32_t width = 0, height = 0;
    int depth = 0, colourType = -1, interlace = 0;
    std::vector<unsigned char> palette, compressed;
    for (std::size_t at = 8; at + 12 <= file.size();) {
        const std::uint32_t length = Be32(&file[at]);
        if (length > file.size() - at - 12)
            return "truncated chunk";
        const std::string type(reinterpret_cast<const char*>(&file[at + 4]), 4);
        const unsigned char* body = &file[at + 8];
        if (type == "IHDR" && length >= 13) {
            width = Be32(body);
            height = Be32(body + 4);
            depth = body[8];
            colourType = body[9];
            interlace = body[12];
        } else if (type == "PLTE") {
            palette.assign(body, body + length);
        } else if (type == "IDAT") {
            compressed.insert(compressed.end(), body, body + length);
        } else if (type == "IEND") {
            break;
        }
        at += 12 + length;
    }
    if (interlace != 0)
        return "interlaced PNG not supported";
    int channels = 0;
    switch (colourType) {
    case 0: channels = 1; break;
    case 2: channels = 3; break;
    case 3: channels = 1; break;
    case 4: channels = 2; break;
    case 6: channels = 4; break;
    default: return "bad colour type";
    }
    if (width == 0 || height == 0 || width > 1u << 16 || height > 1u << 16 || depth == 0 || depth > 16)
        return "bad IHDR";

    const std::size_t bitsPerPixel = std::size_t(channels) * depth;
    const std::size_t rowBytes = (width * bitsPerPixel + 7) / 8;
    const std::size_t step = bitsPerPixel >= 8 ? bitsPerPixel / 8 : 1;
    std::vector<unsigned char> raw(height * (rowBytes + 1));
    uLongf rawSize = static_cast<uLongf>(raw.size());
    if (uncompress(raw.data(), &rawSize, compressed.data(), static_cast<uLong>(compressed.size())) != Z_OK ||
        rawSize != raw.size())
        return "inflate failed";

    std::vector<unsigned char> rows(height * rowBytes);
    for (std::size_t y = 0; y < height; ++y) {
        const unsigned filter = raw[y * (rowBytes + 1)];
        const unsigned char* src = &raw[y * (rowBytes + 1) + 1];
        unsigned char* cur = &rows[y * rowBytes];
        const unsigned char* prev = y > 0 ? &rows[(y - 1) * rowBytes] : nullptr;
        for (std::size_t i = 0; i < rowBytes; ++i) {
            const int a = i >= step ? cur[i - step] : 0;
            const int b = prev ? prev[i] : 0;
            const int c = (prev && i >= step) ? prev[i - step] : 0;
            int predictor = 0;
            switch (filter) {
            case 0: predictor = 0; break;
            case 1: predictor = a; break;
            case 2: predictor = b; break;
            case 3: predictor = (a + b) / 2; break;
            case 4: predictor = Paeth(a, b, c); break;
            default: return "bad filter";
            }
            cur[i] = static_cast<unsigned char>(src[i] + predictor);
        }
    }

    // Sample `index` of a row, scaled to 8 bits (palette indexes unscaled).
    auto sample = [&](const unsigned char* row, std::size_t index, bool scale) -> unsigned {
        if (depth == 16)
            return row[index * 2];
        if (depth == 8)
            return row[index];
        const std::size_t bit = index * depth;
        const unsigned v = (row[bit / 8] >> (8 - depth - bit % 8)) & ((1u << depth) - 1);
        return scale ? v * 255 / ((1u << depth) - 1) : v;
    };

    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.rgb.assign(std::size_t(width) * height * 3, 0);
    for (std::size_t y = 0; y < height; ++y) {
        const unsigned char* row = &rows[y * rowBytes];
        for (std::size_t x = 0; x < width; ++x) {
            unsigned char* out = &image.rgb[(y * width + x) * 3];
            const std::size_t first = x * channels;
            if (colourType == 3) {
                const unsigned index = sample(row, first, false);
                if (index * 3 + 2 >= palette.size())
                    return "palette index out of range";
                std::memcpy(out, &palette[index * 3], 3);
            } else if (colourType == 0 || colourType == 4) {
                out[0] = out[1] = out[2] = static_cast<unsigned char>(sample(row, first, true));
            } else {
                for (int c = 0; c < 3; ++c)
                    out[c] = static_cast<unsigned char>(sample(row, first + c, true));
            }
        }
    }
    return {};
}
