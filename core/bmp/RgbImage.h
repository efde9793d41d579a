#pragma once

#include <vector>

// A decoded picture: width * height pixels of red, green, blue bytes, rows
// unpadded, the picture's bottom row first.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;
};
