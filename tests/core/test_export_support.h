#pragma once

// Designs shared by the export tests.

#include <vector>

#include "core/Bezier.h"
#include "core/SweepMesh.h"
#include "tests/oracle/StripIndexedMesh.h"

using Strips = std::vector<std::vector<SweepVertex>>;

inline const std::vector<CVector3> kStraightPath = {{0, -5, 0}, {0, 5, 0}};
// An S bend: the rings lean, and the sweep's normals fall short of unit
// length by more than the glTF validator lets pass.
inline const std::vector<CVector3> kBentPath = {{0, -5, 0}, {9, -2, 0}, {-9, 2, 0}, {0, 5, 0}};
// Closed at both ends: the profile starts and ends on the axis.
inline const std::vector<CVector3> kClosedVase = {{0, -3, 0}, {3, -3, 0}, {1, 0, 0}, {4, 3, 0}, {0, 3, 0}};
inline const std::vector<CVector3> kOpenProfile = {{1, -3, 0}, {4, 0, 0}, {2, 4, 0}};

inline Strips SweepDesign(const std::vector<CVector3>& profile, const std::vector<CVector3>& path)
{
    std::vector<CVector3> samples;
    std::vector<float> params;
    EvaluateCurve(profile, samples, params);
    return ComputeSweepMesh(samples, path, profile);
}

// 8 x 5 RGB pixels, bottom row first, no two alike.
inline std::vector<unsigned char> PicturePixels()
{
    std::vector<unsigned char> pixels;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 8; ++x)
            pixels.insert(pixels.end(), {static_cast<unsigned char>(30 * x), static_cast<unsigned char>(50 * y), 7});
    return pixels;
}
