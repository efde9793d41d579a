#pragma once

#include <cstddef>
#include <vector>

#include "core/SweepMesh.h"
#include "core/SweepSettings.h"
#include "core/Vector3.h"

// The rings of one sweep of N slices, from which the surface's vertices are
// read: each ring's parameter and frame, its N + 3 placed points (at the
// angles a(-1) .. a(N + 1)) and its N + 1 normals (at a(0) .. a(N)). Vertex
// (ring k, angle edge e), e = 0 .. N, is at Placed(k)[e + 1] with normal
// Normals(k)[e]; strip v joins edges v and v + 1. Kept by a SweepMeshBuilder
// between builds so that its storage is reused.
struct SweepRings {
    struct Frame {
        CVector3 m, t, n;
    };

    // The cosine and sine of the angles a(-1) .. a(N + 1) of N slices, a(j)
    // = j times the settings' step; recomputed only when N changes.
    struct AngleTable {
        int slices = 0;
        std::vector<double> cosine;
        std::vector<double> sine;

        void Prepare(const SweepSettings& settings);
    };

    AngleTable angles;
    std::vector<CVector3> resampled;
    std::vector<double> params;
    std::vector<double> ts;
    std::vector<double> us;
    std::vector<CVector3> pathPoints;
    std::vector<Frame> frames;
    std::vector<CVector3> placed;
    std::vector<CVector3> normals;
    std::vector<unsigned char> missing;
    std::vector<unsigned char> columnHasNormal;
    // What `pathPoints` and `resampled` were last computed from: the same
    // input gives the same bits, so a build that repeats it reuses them (a
    // profile dragged along X keeps every ring's height, a path dragged
    // keeps the profile).
    std::vector<CVector3> evaluatedPath;
    std::vector<double> evaluatedTs;
    std::vector<CVector3> resampledFrom;
    int resampledIntervals = 0;
    std::size_t count = 0;
    std::size_t angleCount = 0;   // placed points a ring
    std::size_t normalCount = 0;  // normals a ring

    const CVector3* Placed(std::size_t k) const { return &placed[k * angleCount]; }
    const CVector3* Normals(std::size_t k) const { return &normals[k * normalCount]; }
};

// Fills `rings` for the laid profile swept along the path; false, with no
// rings, when there is no surface (no rings, no path control points, or
// settings out of range).
bool ComputeSweepRings(const SweepProfile& profile, const std::vector<CVector3>& pathControls,
                       const SweepSettings& settings, SweepRings& rings);

// The texture S of angle edge `edge` (edge v + 1 ends slice v), with `step`
// the settings' TextureStep.
float SliceEdgeS(int edge, float step);
