#pragma once

#include <string>
#include <vector>

// A minimal PNG reader for comparing decoded bitmaps with reference
// renderings: non-interlaced grey, grey+alpha, RGB, RGBA and palette
// images of any bit depth, flattened to 8-bit RGB (alpha ignored).
struct PngTestImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;  // top row first, 3 bytes a pixel
};

// Returns an empty string on success, otherwise what went wrong.
std::string ReadPngForTest(const std::string& path, PngTestImage& image);
