#include "views/DesignImage.h"

#include <GL/gl.h>

#include <algorithm>
#include <vector>

#include "core/Bezier.h"
#include "views/FrameCycle.h"
#include "views/HeadlessGLContext.h"
#include "views/SurfaceScene.h"

namespace {

// Wider than the widest point or line the scene draws.
constexpr int kBandMargin = 8;

}  // namespace

Result<PictureSize> RenderDesignImage(const Design& design, std::unique_ptr<RgbImage> texture, RenderMode mode,
                                      int width, int height, const PictureRows& rows, long bandPixels)
{
    if (width < 1 || height < 1 || width > kMaxRenderSide || height > kMaxRenderSide)
        return Failure{"the picture size is out of range"};
    const int bandRows = static_cast<int>(std::clamp<long>(bandPixels / width, 1, height));
    // Bands are drawn with rows to spare above and below, not kept: some
    // drivers (softpipe) drop a point whose centre lies beyond the buffer's
    // edge, though it covers pixels within. A picture in one band is drawn
    // as it always was.
    const int margin = bandRows < height ? kBandMargin : 0;
    HeadlessGLContext context(width, bandRows + 2 * margin);
    if (!context.IsValid())
        return Failure{context.Problem()};
    // The window's order: its initial state, the surface after the curves
    // are set, then the texture.
    SurfaceScene scene;
    SetInitialFrameState(1.0f);
    scene.InitGL();
    CTrackball trackball;
    trackball.SetViewportSize(width, height);
    trackball.SetView(design.viewRotation, design.viewDistance);
    scene.SeeThrough(trackball);
    scene.SetRenderMode(mode);
    std::vector<CVector3> samples;
    std::vector<float> params;
    EvaluateCurve(design.profile, samples, params);
    scene.BuildSurface(samples, design.path, design.profile);
    PictureSize textureShown;
    if (texture)
        textureShown = scene.ReplaceTexture(texture.get());
    texture.reset();
    // From the top band down, as the rows are wanted. OpenGL counts rows
    // from the bottom: a band's lowest row is `bottom`, and the viewport,
    // the whole picture's, lies `bottom` rows below it in the band's buffer.
    const std::size_t rowBytes = std::size_t(width) * 3;
    std::vector<unsigned char> band(rowBytes * std::size_t(bandRows));
    for (int top = height; top > 0; top -= bandRows) {
        const int bottom = std::max(0, top - bandRows);
        const int count = top - bottom;
        glViewport(0, margin - bottom, width, height);
        DrawFrame(scene);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, margin, width, count, GL_RGB, GL_UNSIGNED_BYTE, band.data());
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        for (int row = count - 1; row >= 0; --row)
            rows(band.data() + rowBytes * std::size_t(row));
    }
    return textureShown;
}
