#pragma once

// Judging a mesh as a solid: its corners merged by position, its edges
// counted, its volume summed.

#include <array>
#include <cmath>
#include <map>
#include <utility>
#include <vector>

#include "core/Bezier.h"
#include "core/export/IndexedMesh.h"

// The vase of examples/vase.velmora.
inline const std::vector<CVector3> kExampleVase = {{2.5, -7, 0}, {7, -4.5, 0}, {5.5, -0.5, 0},
                                                   {1.5, 2.5, 0}, {2, 5.5, 0},  {3.5, 7, 0}};

struct Topology {
    std::size_t points = 0, edges = 0, faces = 0;
    bool everyEdgeTwice = true;     // each edge between exactly two triangles
    bool directedEdgesOnce = true;  // and run one way by each: consistent winding
    long Euler() const { return static_cast<long>(points) - static_cast<long>(edges) + static_cast<long>(faces); }
    bool ClosedAndConsistent() const { return everyEdgeTwice && directedEdgesOnce; }
};

inline Topology TopologyOf(const IndexedMesh& mesh)
{
    std::map<std::array<double, 3>, std::size_t> ids;
    std::vector<std::size_t> point(mesh.vertices.size());
    for (std::size_t i = 0; i < mesh.vertices.size(); ++i) {
        const CVector3& p = mesh.vertices[i].position;
        point[i] = ids.emplace(std::array<double, 3>{p.x, p.y, p.z}, ids.size()).first->second;
    }
    std::map<std::pair<std::size_t, std::size_t>, int> directed;
    for (std::size_t t = 0; t < mesh.triangles.size(); t += 3)
        for (int c = 0; c < 3; ++c)
            ++directed[{point[mesh.triangles[t + c]], point[mesh.triangles[t + (c + 1) % 3]]}];
    Topology topology;
    topology.points = ids.size();
    topology.faces = mesh.TriangleCount();
    for (const auto& [edge, count] : directed) {
        const auto reverse = directed.find({edge.second, edge.first});
        const int back = reverse == directed.end() ? 0 : reverse->second;
        topology.everyEdgeTwice = topology.everyEdgeTwice && count + back == 2;
        topology.directedEdgesOnce = topology.directedEdgesOnce && count == 1;
        if (edge.first < edge.second || back == 0)
            ++topology.edges;
    }
    return topology;
}

// By the divergence theorem: positive when the triangles face out.
inline double SignedVolume(const IndexedMesh& mesh)
{
    double sum = 0.0;
    for (std::size_t t = 0; t < mesh.triangles.size(); t += 3) {
        const CVector3& a = mesh.vertices[mesh.triangles[t]].position;
        const CVector3 bc =
            mesh.vertices[mesh.triangles[t + 1]].position.Cross(mesh.vertices[mesh.triangles[t + 2]].position);
        sum += a.x * bc.x + a.y * bc.y + a.z * bc.z;
    }
    return sum / 6.0;
}

// The solid of the closed polygon `points` turned round the Y axis with N
// flat sides: frustums of its edges (Pappus), times the N-gon's share of the
// circle. Edges along the axis or square to it add nothing, so a profile is
// closed to the axis without further points. Heights are mapped as a
// straight path from `from` to `to` lays them between `bottom` and `top`.
inline double LatheVolume(const std::vector<CVector3>& points, int slices, double bottom, double top, double from,
                          double to)
{
    double sum = 0.0;
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        const double y0 = from + (to - from) * (points[i].y - bottom) / (top - bottom);
        const double y1 = from + (to - from) * (points[i + 1].y - bottom) / (top - bottom);
        const double r0 = points[i].x, r1 = points[i + 1].x;
        sum += M_PI / 3.0 * (y1 - y0) * (r0 * r0 + r0 * r1 + r1 * r1);
    }
    return std::fabs(sum) * slices * std::sin(2.0 * M_PI / slices) / (2.0 * M_PI);
}
