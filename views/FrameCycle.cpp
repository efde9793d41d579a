#include "views/FrameCycle.h"

#include <GL/gl.h>

#include <cstddef>

void SetInitialFrameState(float pixelRatio)
{
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glPointSize(2.0f * pixelRatio);
}

void DrawFrame(FrameSteps& steps)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    steps.SetProjection();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    steps.ApplyTransform();
    glPushMatrix();
    steps.DrawBackground();
    glPopMatrix();
    glPushMatrix();
    steps.DrawScene();
    glPopMatrix();
    glFinish();
}

RgbImage ReadFramePixels(int width, int height)
{
    RgbImage image;
    if (width <= 0 || height <= 0)
        return image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    // RgbImage rows are packed, 3 * width bytes, whatever the width.
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, image.pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return image;
}
