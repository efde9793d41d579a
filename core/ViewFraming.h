#pragma once

#include <optional>
#include <vector>

#include "core/Vector3.h"

// The 3D view's lens: a frustum as wide as it is high whatever the view's
// shape, its sides 30 degrees off the line of sight, from the near plane to
// the far one. The camera looks down -z at the turned scene from its
// distance, so the scene turns about the origin.
constexpr double kViewNear = 1.0;
constexpr double kViewFar = 1000.0;
// Half the frustum's side at unit distance (tan 30 degrees, as the view has
// always computed it).
double ViewHalfSide();

// The share of the view's half-width and half-height a framed surface may
// reach: the rest is the margin around it.
constexpr double kFramedShare = 0.9;

// The camera distance at which every point, turned by `rotation` (column
// major, as OpenGL takes it), lies within kFramedShare of the view across
// and up and beyond the near plane, but never nearer than the zoom allows.
// Nothing for no points or a distance beyond what a float holds.
std::optional<float> FramingDistance(const std::vector<CVector3>& points, const float rotation[16]);
