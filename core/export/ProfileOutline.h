#pragma once

#include <string>
#include <vector>

#include "core/Result.h"
#include "core/Vector3.h"
#include "core/export/OutlineCrossing.h"

// The profile as the outline of the solid it sweeps: its points (the laid
// rings, repeats dropped) and how its ends close. An end on the axis (X = 0)
// closes by itself; an open end is closed by a flat cap out to the axis; a
// profile ending where it starts is a loop and closed already.
struct ProfileOutline {
    std::vector<OutlinePoint> points;
    bool loop = false;
    bool startOnAxis = false;
    bool endOnAxis = false;
    // The solid's cross-section runs counter-clockwise along the profile
    // (X right, Y up): its inside is on the profile's left.
    bool counterClockwise = true;

    // The closed cross-section: the points, then down the axis from the
    // end's height to the start's where the ends are open.
    std::vector<OutlinePoint> CrossSection() const;
};

// The outline of the solid swept by the rings, or why there is none: a ring
// of radius zero between the ends pinches the solid to a point ("the profile
// touches the axis near height 2.5"), and a profile that crosses or touches
// itself, or whose caps do, encloses no single solid ("the profile crosses
// itself near height 3.25"). Needs at least two distinct rings.
Result<ProfileOutline> OutlineOfProfile(const std::vector<CVector3>& rings);

// "near height 3.25": where in the design something happens.
std::string NearHeight(double y);
