#include "core/bmp/ShrinkImage.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

PictureSize FitWithin(PictureSize size, int maxSide)
{
    maxSide = std::max(maxSide, 1);
    const std::int64_t longer = std::max(size.width, size.height);
    if (longer <= maxSide)
        return size;
    const auto scaled = [&](std::int64_t side) {
        return static_cast<int>(std::max<std::int64_t>(1, (side * maxSide + longer / 2) / longer));
    };
    return {scaled(size.width), scaled(size.height)};
}

RgbImage ShrinkImage(const RgbImage& image, PictureSize size)
{
    if (image.width < 1 || image.height < 1)
        return {};
    // Never larger: every output pixel covers at least one source pixel.
    size.width = std::clamp(size.width, 1, image.width);
    size.height = std::clamp(size.height, 1, image.height);
    const std::int64_t width = image.width, height = image.height;
    RgbImage shrunk;
    shrunk.width = size.width;
    shrunk.height = size.height;
    shrunk.pixels.resize(std::size_t(size.width) * std::size_t(size.height) * 3);
    // Output column x covers the source columns from first[x] to first[x + 1];
    // the blocks tile the picture, so every source pixel is read once.
    std::vector<std::size_t> first(std::size_t(size.width) + 1);
    for (int x = 0; x <= size.width; ++x)
        first[std::size_t(x)] = std::size_t(x * width / size.width);
    std::vector<std::uint64_t> sums(std::size_t(size.width) * 3);
    for (int y = 0; y < size.height; ++y) {
        const std::int64_t top = y * height / size.height;
        const std::int64_t bottom = (y + 1) * height / size.height;
        std::fill(sums.begin(), sums.end(), 0);
        for (std::int64_t row = top; row < bottom; ++row) {
            const unsigned char* source = image.pixels.data() + std::size_t(row * width) * 3;
            for (std::size_t x = 0; x < std::size_t(size.width); ++x)
                for (std::size_t column = first[x]; column < first[x + 1]; ++column)
                    for (std::size_t channel = 0; channel < 3; ++channel)
                        sums[x * 3 + channel] += source[column * 3 + channel];
        }
        unsigned char* target = shrunk.pixels.data() + std::size_t(y) * std::size_t(size.width) * 3;
        for (std::size_t x = 0; x < std::size_t(size.width); ++x) {
            const std::uint64_t count = std::uint64_t(bottom - top) * (first[x + 1] - first[x]);
            for (std::size_t channel = 0; channel < 3; ++channel)
                target[x * 3 + channel] = static_cast<unsigned char>((sums[x * 3 + channel] + count / 2) / count);
        }
    }
    return shrunk;
}
