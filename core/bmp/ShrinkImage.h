#pragma once

#include "core/bmp/RgbImage.h"

// The size of a picture of `size` made to fit within `maxSide` pixels on
// each side: unchanged when it fits, otherwise its longer side made maxSide
// and the other scaled by the same factor (rounded, at least 1 pixel).
PictureSize FitWithin(PictureSize size, int maxSide);

// `image` made smaller, to `size` (taken as at least 1 and at most the
// image's own on each side; an empty image stays empty). Each pixel is the
// rounded mean of the block of source pixels it covers: a box filter in
// integers, so the same bytes on every machine.
RgbImage ShrinkImage(const RgbImage& image, PictureSize size);
