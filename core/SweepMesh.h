#pragma once

#include <vector>

#include "core/Vector3.h"

// One vertex of the swept surface, in the order it is issued to OpenGL:
// texture coordinate, normal, position.
struct SweepVertex {
    float s, t;
    CVector3 normal;
    CVector3 position;
};

// The 24 triangle strips of the surface swept by the profile along the path,
// in emission order; empty when there is no surface (no profile samples or
// no path control points).
std::vector<std::vector<SweepVertex>> ComputeSweepMesh(const std::vector<CVector3>& profileSamples,
                                                       const std::vector<CVector3>& pathControls,
                                                       const std::vector<CVector3>& profileControls);
