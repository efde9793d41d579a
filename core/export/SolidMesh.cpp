#include "core/export/SolidMesh.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/export/ExportGeometry.h"
#include "core/export/ProfileOffset.h"
#include "core/export/ProfileOutline.h"

namespace {

using Strips = std::vector<std::vector<SweepVertex>>;

// One corner of an end ring: where the surface has it, and its slice edge.
struct RingCorner {
    CVector3 position;
    int column;
};
using Ring = std::vector<RingCorner>;

// Ring k of the sweep as its surface has it: the left columns of the slices,
// so that the seam's corner is the first slice's, as the surface's mesh has it.
Ring RingOf(const Strips& strips, std::size_t k)
{
    Ring ring;
    for (std::size_t v = 0; v < strips.size(); ++v) {
        const CVector3& p = strips[v][2 * k].position;
        ring.push_back({{p.x + 0.0, p.y + 0.0, p.z + 0.0}, static_cast<int>(v)});
    }
    return ring;
}

std::size_t LastRing(const Strips& strips)
{
    return strips.front().size() / 2 - 1;
}

// Kept only with an area in float too, as the surface's own triangles are.
bool HasArea(const CVector3& a, const CVector3& b, const CVector3& c)
{
    return InFloatRange(a) && InFloatRange(b) && InFloatRange(c) && TriangleNormal(a, b, c) &&
           TriangleNormal(AtFloatPrecision(a), AtFloatPrecision(b), AtFloatPrecision(c));
}

std::uint32_t AddVertex(IndexedMesh& mesh, const MeshVertex& vertex)
{
    mesh.vertices.push_back(vertex);
    return static_cast<std::uint32_t>(mesh.vertices.size() - 1);
}

void AddTriangle(IndexedMesh& mesh, std::uint32_t a, std::uint32_t b, std::uint32_t c)
{
    if (!HasArea(mesh.vertices[a].position, mesh.vertices[b].position, mesh.vertices[c].position))
        return;
    mesh.triangles.insert(mesh.triangles.end(), {a, b, c});
}

// The normal of a ring's plane by the right-hand rule along its order
// (Newell's sum, sound for any planar polygon).
CVector3 PlaneNormal(const Ring& ring)
{
    CVector3 sum(0.0, 0.0, 0.0);
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const CVector3& a = ring[i].position;
        const CVector3& b = ring[(i + 1) % ring.size()].position;
        sum = sum.Add(CVector3((a.y - b.y) * (a.z + b.z), (a.z - b.z) * (a.x + b.x), (a.x - b.x) * (a.y + b.y)));
    }
    return UnitVector(sum).value_or(CVector3(0.0, 1.0, 0.0));
}

// A flat cap on the ring, turning along its order seen from the front: a
// fan, the ring being a convex regular polygon. The picture lies on it as a
// disc touching its edges.
void AddCap(IndexedMesh& mesh, const Ring& ring, const SweepSettings& settings)
{
    const CVector3 normal = PlaneNormal(ring);
    const double step = settings.AngleStep();
    const std::uint32_t first = static_cast<std::uint32_t>(mesh.vertices.size());
    for (const RingCorner& corner : ring) {
        const double angle = corner.column * step;
        AddVertex(mesh, {corner.position, normal, static_cast<float>(0.5 + 0.5 * std::cos(angle)),
                         static_cast<float>(0.5 + 0.5 * std::sin(angle))});
    }
    for (std::uint32_t j = 1; j + 1 < ring.size(); ++j)
        AddTriangle(mesh, first, first + j, first + j + 1);
}

// A band from ring a, turning along the slices' order, back along ring b:
// each slice's quad as two triangles. The picture's column of each slice
// edge goes round it at height t.
void AddBand(IndexedMesh& mesh, const Ring& a, const Ring& b, float t, const SweepSettings& settings)
{
    const std::size_t n = a.size();
    const float step = settings.TextureStep();
    const std::uint32_t first = static_cast<std::uint32_t>(mesh.vertices.size());
    // Slice edges 0 .. n: the last at the first's corners with S = 1.
    for (std::size_t v = 0; v <= n; ++v) {
        const CVector3& p = a[v % n].position;
        const CVector3& q = b[v % n].position;
        const CVector3 around = a[(v + 1) % n].position.Subtract(a[(v + n - 1) % n].position);
        const CVector3 normal = UnitVector(around.Cross(q.Subtract(p))).value_or(PlaneNormal(a));
        const float s = static_cast<float>(static_cast<double>(v) * static_cast<double>(step));
        AddVertex(mesh, {p, normal, s, t});
        AddVertex(mesh, {q, normal, s, t});
    }
    for (std::uint32_t v = 0; v < n; ++v) {
        const std::uint32_t a0 = first + 2 * v, b0 = a0 + 1, a1 = a0 + 2, b1 = a0 + 3;
        AddTriangle(mesh, a0, a1, b1);
        AddTriangle(mesh, a0, b1, b0);
    }
}

Ring Reversed(Ring ring)
{
    return Ring(ring.rbegin(), ring.rend());
}

CVector3 Opposite(const CVector3& n)
{
    return {0.0 - n.x, 0.0 - n.y, 0.0 - n.z};
}

// Faces every triangle from `from` on the other way, normals and all.
void TurnRound(IndexedMesh& mesh, std::size_t fromVertex, std::size_t fromIndex)
{
    for (std::size_t i = fromVertex; i < mesh.vertices.size(); ++i)
        mesh.vertices[i].normal = Opposite(mesh.vertices[i].normal);
    for (std::size_t i = fromIndex; i < mesh.triangles.size(); i += 3)
        std::swap(mesh.triangles[i + 1], mesh.triangles[i + 2]);
}

void Append(IndexedMesh& mesh, const IndexedMesh& more)
{
    const std::uint32_t offset = static_cast<std::uint32_t>(mesh.vertices.size());
    mesh.vertices.insert(mesh.vertices.end(), more.vertices.begin(), more.vertices.end());
    for (std::uint32_t index : more.triangles)
        mesh.triangles.push_back(offset + index);
}

// The volume the triangles enclose, positive when they face out.
double SignedVolume(const IndexedMesh& mesh)
{
    double sum = 0.0;
    for (std::size_t i = 0; i < mesh.triangles.size(); i += 3) {
        const CVector3& a = mesh.vertices[mesh.triangles[i]].position;
        const CVector3& b = mesh.vertices[mesh.triangles[i + 1]].position;
        const CVector3& c = mesh.vertices[mesh.triangles[i + 2]].position;
        const CVector3 bc = b.Cross(c);
        sum += a.x * bc.x + a.y * bc.y + a.z * bc.z;
    }
    return sum / 6.0;
}

// The sweep's first ring is turned along the slices' order by its surface,
// the last against it: a closing piece turns each the other way.
Result<IndexedMesh> Wall(const Strips& outer, const ProfileOutline& outline, const SweepProfile& laid,
                         const std::vector<CVector3>& pathControls, const ExportOptions& options)
{
    const Result<std::vector<CVector3>> innerRings = InnerProfile(outline, options.thickness);
    if (!innerRings)
        return Failure{innerRings.Error()};
    const SweepProfile innerLaid{*innerRings, laid.bottom, laid.height};
    const Strips inner = ComputeSweepMesh(innerLaid, pathControls, options.sweep);
    IndexedMesh mesh = BuildSurfaceMesh(laid, pathControls, options.sweep);
    const std::size_t innerVertex = mesh.vertices.size(), innerIndex = mesh.triangles.size();
    Append(mesh, BuildSurfaceMesh(innerLaid, pathControls, options.sweep));
    TurnRound(mesh, innerVertex, innerIndex);
    if (!outline.startOnAxis && !outline.loop)
        AddBand(mesh, RingOf(inner, 0), RingOf(outer, 0), 0.0f, options.sweep);
    if (!outline.endOnAxis && !outline.loop)
        AddBand(mesh, RingOf(outer, LastRing(outer)), RingOf(inner, LastRing(inner)), 1.0f, options.sweep);
    return mesh;
}

IndexedMesh Capped(const Strips& outer, const ProfileOutline& outline, const SweepProfile& laid,
                   const std::vector<CVector3>& pathControls, const SweepSettings& settings)
{
    IndexedMesh mesh = BuildSurfaceMesh(laid, pathControls, settings);
    if (!outline.startOnAxis && !outline.loop)
        AddCap(mesh, Reversed(RingOf(outer, 0)), settings);
    if (!outline.endOnAxis && !outline.loop)
        AddCap(mesh, RingOf(outer, LastRing(outer)), settings);
    return mesh;
}

// A curve sampled towards its end control point may stop a rounding error
// short of it: an end that close to the axis is on it.
SweepProfile WithEndsOnAxis(SweepProfile laid)
{
    double size = 0.0;
    for (const CVector3& ring : laid.rings)
        size = std::max({size, std::fabs(ring.x), std::fabs(ring.y)});
    for (CVector3* end : {&laid.rings.front(), &laid.rings.back()})
        if (std::fabs(end->x) <= 1e-12 * size)
            end->x = 0.0;
    return laid;
}

}  // namespace

Result<IndexedMesh> BuildSolidMesh(const SweepProfile& profile, const std::vector<CVector3>& pathControls,
                                   const ExportOptions& options)
{
    if (profile.rings.empty())
        return IndexedMesh{};
    const SweepProfile laid = WithEndsOnAxis(profile);
    const Strips outer = ComputeSweepMesh(laid, pathControls, options.sweep);
    if (outer.empty())
        return IndexedMesh{};
    const Result<ProfileOutline> outline = OutlineOfProfile(laid.rings);
    if (!outline)
        return Failure{outline.Error()};
    Result<IndexedMesh> solid = options.thickness > 0.0 ? Wall(outer, *outline, laid, pathControls, options)
                                                        : Capped(outer, *outline, laid, pathControls, options.sweep);
    if (solid && SignedVolume(*solid) < 0.0)
        TurnRound(solid.Value(), 0, 0);
    return solid;
}
