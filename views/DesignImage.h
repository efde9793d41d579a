#pragma once

#include <string>

#include "core/RenderMode.h"
#include "core/Result.h"
#include "core/bmp/RgbImage.h"
#include "core/design/Design.h"

// The largest picture side the offscreen renderer is asked for; Mesa's
// software renderers go to 16384, this keeps a picture within 256 MB.
constexpr int kMaxRenderSide = 8192;

// A picture of a design, and the size its texture was drawn at: smaller than
// the texture's picture when OpenGL takes no texture that large.
struct DesignImage {
    RgbImage image;
    PictureSize textureShown;
};

// The 3D view's picture of a design, drawn without any window: the view's
// own scene and frame cycle in a headless context of width x height pixels,
// the design's curves, view and `texture` (none when null), drawn in `mode`.
// Refused for a size out of range or when no context could be made.
Result<DesignImage> RenderDesignImage(const Design& design, const RgbImage* texture, RenderMode mode, int width,
                                      int height);
