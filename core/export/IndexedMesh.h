#pragma once

#include <cstdint>
#include <vector>

#include "core/Vector3.h"
#include "core/SweepMesh.h"

// One corner of the exported surface: where it is, the normal the view lights
// it with, and its texture coordinate (T = 0 is the picture's bottom row).
struct MeshVertex {
    CVector3 position;
    CVector3 normal;
    float s, t;
};

// The swept surface as indexed triangles, three indices per triangle,
// counter-clockwise seen from the side the surface's normals point to.
struct IndexedMesh {
    std::vector<MeshVertex> vertices;
    std::vector<std::uint32_t> triangles;

    std::size_t TriangleCount() const { return triangles.size() / 3; }
};

// The surface swept from the laid profile along the path (ComputeSweepMesh's
// strips) as indexed triangles with the winding OpenGL gives them. Corners
// equal in position, normal and texture coordinate become one vertex,
// numbered in the order the triangles first use them. Triangles of no area,
// in double or in float precision, and triangles beyond float range are left
// out, and so are the vertices only they used. A vertex without a usable
// normal (zero) gets the mean direction of the triangles around it. Empty
// when there is no surface.
IndexedMesh BuildSurfaceMesh(const SweepProfile& laid, const std::vector<CVector3>& pathControls,
                             const SweepSettings& settings);
