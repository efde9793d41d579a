#include "views/DesignImage.h"

#include <GL/gl.h>

#include <vector>

#include "core/Bezier.h"
#include "views/FrameCycle.h"
#include "views/HeadlessGLContext.h"
#include "views/SurfaceScene.h"

Result<DesignImage> RenderDesignImage(const Design& design, const RgbImage* texture, RenderMode mode, int width,
                                      int height)
{
    if (width < 1 || height < 1 || width > kMaxRenderSide || height > kMaxRenderSide)
        return Failure{"the picture size is out of range"};
    HeadlessGLContext context(width, height);
    if (!context.IsValid())
        return Failure{context.Problem()};
    DesignImage drawn;
    // The window's order: its initial state, the surface after the curves
    // are set, then the texture.
    SurfaceScene scene;
    glViewport(0, 0, width, height);
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
    if (texture)
        drawn.textureShown = scene.ReplaceTexture(texture);
    DrawFrame(scene);
    drawn.image = ReadFramePixels(width, height);
    return drawn;
}
