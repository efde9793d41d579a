#pragma once

#include "core/bmp/RgbImage.h"

// The four drawing steps of a frame, which every view supplies. They issue
// GL calls only, into whatever context is current.
class FrameSteps {
public:
    virtual void DrawBackground() = 0;
    virtual void ApplyTransform() = 0;
    virtual void DrawScene() = 0;
    virtual void SetProjection() = 0;

protected:
    ~FrameSteps() = default;
};

// The state a view's fresh context starts from: white clear colour, points
// 2 pixels wide at a device pixel ratio of 1, as wide on a scaled display.
// The context must be current.
void SetInitialFrameState(float pixelRatio);

// One frame into the current context's draw buffer, from the clear to the
// glFinish; the caller makes the context current and shows the result. A
// window and an offscreen renderer draw the same pixels through it.
void DrawFrame(FrameSteps& steps);

// The current read buffer's pixels from the lower left corner, width x
// height, bottom row first as RgbImage keeps them.
RgbImage ReadFramePixels(int width, int height);
