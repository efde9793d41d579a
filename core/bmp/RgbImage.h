#pragma once

#include <vector>

// A decoded picture: width * height pixels of red, green, blue bytes, rows
// unpadded, the picture's bottom row first.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;
};

// A picture's size in pixels.
struct PictureSize {
    int width = 0;
    int height = 0;

    bool operator==(const PictureSize& other) const { return width == other.width && height == other.height; }
    bool operator!=(const PictureSize& other) const { return !(*this == other); }
};
