#pragma once

#include <vector>

#include "core/SweepMesh.h"
#include "core/export/IndexedMesh.h"

// The surface's indexed mesh as it was first built, kept as the reference
// that BuildSurfaceMesh must match and as the slow side of the benchmark: it
// turns the triangle strips of ComputeSweepMesh into indexed triangles with
// the winding OpenGL gives them, sharing corners equal in position, normal
// and texture coordinate through a map of every corner. Triangles of no area,
// in double or in float precision, and triangles beyond float range are left
// out, and so are the vertices only they used. A vertex without a usable
// normal (zero) gets the mean direction of the triangles around it.
IndexedMesh BuildIndexedMesh(const std::vector<std::vector<SweepVertex>>& strips);
