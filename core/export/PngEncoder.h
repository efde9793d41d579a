#pragma once

#include <vector>

#include "core/bmp/RgbImage.h"

// The picture as the bytes of a PNG file (8-bit RGB, top row first as PNG
// stores it). Empty when the picture has no pixels or is too large for the
// encoder's int-sized buffers.
std::vector<unsigned char> EncodePng(const RgbImage& image);
