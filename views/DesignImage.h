#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/RenderMode.h"
#include "core/Result.h"
#include "core/bmp/RgbImage.h"
#include "core/design/Design.h"

// The largest picture side the offscreen renderer is asked for; Mesa's
// software renderers go to 16384.
constexpr int kMaxRenderSide = 8192;

// How many pixels a band of the picture holds at most: the offscreen buffers
// (colour and depth, 4 bytes a pixel each) stay within 32 MB whatever the
// picture's size.
constexpr long kRenderBandPixels = 4L << 20;

// Takes the picture's rows, top row first: 3 * width bytes of red, green,
// blue each.
using PictureRows = std::function<void(const unsigned char* row)>;

// The 3D view's picture of a design, drawn without any window: the view's
// own scene and frame cycle in a headless context, the design's curves,
// view and `texture` (none when null; released once OpenGL holds it), drawn
// in `mode` at width x height pixels. The picture is drawn in bands of at
// most `bandPixels` pixels, each the whole picture's frame seen through a
// window of its rows, so the bands join exactly and only one band is ever
// in memory; each band's rows go to `rows`. Gives the size the texture was
// drawn at: smaller than the texture's when OpenGL takes no texture that
// large. Refused for a size out of range or when no context could be made.
Result<PictureSize> RenderDesignImage(const Design& design, std::unique_ptr<RgbImage> texture, RenderMode mode,
                                      int width, int height, const PictureRows& rows,
                                      long bandPixels = kRenderBandPixels);
