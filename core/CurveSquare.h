#pragma once

#include <array>
#include <optional>

#include "core/Vector3.h"

// A 4x4 matrix as OpenGL hands it out: 16 doubles, column by column.
using GLMatrix4 = std::array<double, 16>;

// A glViewport rectangle in window pixels.
struct ViewportRect {
    int x, y, width, height;
};

// Window coordinates (x, y and a depth in [0, 1]) back to object coordinates
// through the modelview and projection matrices, with gluUnProject's
// arithmetic in its order, so that the results equal GLU's bit for bit.
// Empty where GLU fails: a singular matrix product or a point at w == 0.
std::optional<CVector3> UnProject(const CVector3& window, const GLMatrix4& modelView,
                                  const GLMatrix4& projection, const ViewportRect& viewport);

// The points under one window pixel on the near (depth 0) and far (depth 1)
// planes of the view volume.
struct PixelRay {
    CVector3 nearPoint;
    CVector3 farPoint;
};

// The curve editors' world square, X and Y from -10 to 10, as the editor
// sees it: glOrtho(-10, 10, -10, 10, -5, 5) over an identity modelview and a
// viewport covering the whole client area. Valid for client sizes up to the
// driver's largest viewport (16384 on Mesa), where OpenGL starts clamping.
namespace curve_square {

// The projection matrix exactly as glGetDoublev reports it.
GLMatrix4 ProjectionMatrix();

// The ray under pixel (x, y) of a width x height client area, y counted
// down from the top as window systems do.
PixelRay RayAt(int x, int y, int width, int height);

// The editing-plane point (z = 0) under pixel (x, y): the X and Y of the
// ray's near point.
CVector3 WindowToWorld(int x, int y, int width, int height);

} // namespace curve_square
