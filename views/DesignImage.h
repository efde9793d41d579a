#pragma once

#include <string>

#include "core/RenderMode.h"
#include "core/bmp/RgbImage.h"
#include "core/design/Design.h"

// The largest picture side the offscreen renderer is asked for; Mesa's
// software renderers go to 16384, this keeps a picture within 256 MB.
constexpr int kMaxRenderSide = 8192;

// The 3D view's picture of a design, drawn without any window: the view's
// own scene and frame cycle in a headless context of width x height pixels,
// the design's curves, view and `texture` (none when null), drawn in `mode`.
// `textureShown` is the size the texture was drawn at: smaller than the
// picture when OpenGL takes no texture that large. False, with the reason,
// when no context could be made.
bool RenderDesignImage(const Design& design, const RgbImage* texture, RenderMode mode, int width, int height,
                       RgbImage& image, PictureSize& textureShown, std::string& reason);
