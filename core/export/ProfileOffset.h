#pragma once

#include <vector>

#include "core/Result.h"
#include "core/Vector3.h"
#include "core/export/ProfileOutline.h"

// The inner side of a wall `thickness` thick (above 0): the outline moved
// that far towards the solid's inside, square to each edge, as rings (x, y,
// 0) to sweep. Edges meet where their moved lines cross at corners of the
// solid and at slight bends into it; round sharper bends into it they meet on
// a circular arc. An end on the axis gives an inner end on the axis, where
// the inner line meets it; a loop gives a loop (its last ring repeats the
// first). Fails where the inner side crosses itself or the outline ("the wall
// of thickness 2 crosses itself near height 1.5") or the axis ("... crosses
// the axis near height 1.5").
Result<std::vector<CVector3>> InnerProfile(const ProfileOutline& outline, double thickness);
