#include "core/export/PngEncoder.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include <stb_image_write.h>

namespace {

void AppendBytes(void* context, void* data, int size)
{
    auto* out = static_cast<std::vector<unsigned char>*>(context);
    const auto* bytes = static_cast<const unsigned char*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

std::vector<unsigned char> EncodePng(const RgbImage& image)
{
    std::vector<unsigned char> png;
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != std::size_t(image.width) * std::size_t(image.height) * 3)
        return png;
    // The encoder sizes its filtered copy, one filter byte per row, in int.
    const std::int64_t rowBytes = std::int64_t(image.width) * 3;
    if ((rowBytes + 1) * image.height > INT_MAX)
        return png;

    // RgbImage keeps the bottom row first; PNG wants the top row first.
    const auto row = static_cast<std::size_t>(rowBytes);
    const auto height = static_cast<std::size_t>(image.height);
    std::vector<unsigned char> topDown(row * height);
    for (std::size_t y = 0; y < height; ++y)
        std::memcpy(&topDown[y * row], image.pixels.data() + (height - 1 - y) * row, row);

    if (!stbi_write_png_to_func(AppendBytes, &png, image.width, image.height, 3, topDown.data(),
                                static_cast<int>(row)))
        png.clear();
    return png;
}
