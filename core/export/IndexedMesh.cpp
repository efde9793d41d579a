#include "core/export/IndexedMesh.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>

#include "core/SplitWork.h"
#include "core/SweepRings.h"
#include "core/export/ExportGeometry.h"

namespace {

// -0.0 becomes +0.0 and nothing else changes: equal coordinates then have
// equal bits, which the vertex sharing here and checkers that match corners
// byte for byte rely on.
CVector3 WithoutNegativeZero(const CVector3& v)
{
    return {v.x + 0.0, v.y + 0.0, v.z + 0.0};
}

bool HasArea(const CVector3& a, const CVector3& b, const CVector3& c)
{
    const CVector3 n = b.Subtract(a).Cross(c.Subtract(a));
    return n.x != 0.0 || n.y != 0.0 || n.z != 0.0;
}

// A zero normal (the sweep's two surface directions parallel) lights
// nothing and cannot be made unit length: take the mean direction of the
// vertex's triangles, or one of them where they cancel out.
void RepairMissingNormals(IndexedMesh& mesh)
{
    std::vector<MeshVertex>& vertices = mesh.vertices;
    std::vector<unsigned char> missing(vertices.size());
    bool anyMissing = false;
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        missing[i] = !UnitVector(vertices[i].normal).has_value();
        anyMissing = anyMissing || missing[i];
    }
    if (!anyMissing)
        return;
    std::vector<CVector3> sum(vertices.size(), CVector3(0.0, 0.0, 0.0));
    std::vector<std::optional<CVector3>> anyFace(vertices.size());
    const std::vector<std::uint32_t>& tri = mesh.triangles;
    for (std::size_t i = 0; i < tri.size(); i += 3) {
        const std::optional<CVector3> face = TriangleNormal(
            vertices[tri[i]].position, vertices[tri[i + 1]].position, vertices[tri[i + 2]].position);
        if (!face)
            continue;
        for (std::size_t corner = i; corner < i + 3; ++corner) {
            if (!missing[tri[corner]])
                continue;
            sum[tri[corner]] = sum[tri[corner]].Add(*face);
            anyFace[tri[corner]] = face;
        }
    }
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        if (missing[i])
            vertices[i].normal = UnitVector(sum[i]).value_or(anyFace[i].value_or(CVector3(0, 0, 1)));
    }
}

// Rings below which a second thread costs more than it saves.
constexpr std::size_t kRingsToSplit = 400;

// The surface's vertices laid out as the sweep's grid: vertex (ring k, angle
// edge e), e = 0 .. N, at slot k (N + 1) + e. Edge N is the seam: it has its
// own S and normal but takes edge 0's position. The sweep computes it again
// through a rounded 2 pi, off by about one unit in the last place; edge 0's
// position makes the surface close exactly in every format.
class SurfaceGrid {
public:
    SurfaceGrid(const SweepRings& rings, const SweepSettings& settings)
        : m_rings(rings), m_edges(static_cast<std::size_t>(settings.slices) + 1), m_step(settings.TextureStep())
    {
        const std::size_t slots = rings.count * m_edges;
        m_positions.resize(slots);
        m_floatPositions.resize(slots);
        m_inFloatRange.resize(slots);
        SplitWork(rings.count, kRingsToSplit, [this](std::size_t begin, std::size_t end) {
            for (std::size_t k = begin; k < end; ++k) {
                const CVector3* placed = m_rings.Placed(k);
                for (std::size_t e = 0; e < m_edges; ++e) {
                    const std::size_t slot = Slot(k, e);
                    m_positions[slot] = WithoutNegativeZero(placed[e + 1 < m_edges ? e + 1 : 1]);
                    m_inFloatRange[slot] = InFloatRange(m_positions[slot]);
                    if (m_inFloatRange[slot])
                        m_floatPositions[slot] = AtFloatPrecision(m_positions[slot]);
                }
            }
        });
    }

    std::size_t Edges() const { return m_edges; }
    std::size_t Slot(std::size_t k, std::size_t e) const { return k * m_edges + e; }
    const CVector3& Position(std::size_t slot) const { return m_positions[slot]; }
    CVector3 Normal(std::size_t slot) const
    {
        return WithoutNegativeZero(m_rings.Normals(slot / m_edges)[slot % m_edges]);
    }
    float T(std::size_t k) const { return static_cast<float>(m_rings.params[k]); }

    MeshVertex Vertex(std::size_t slot) const
    {
        const std::size_t k = slot / m_edges;
        const std::size_t e = slot % m_edges;
        return {m_positions[slot], Normal(slot), SliceEdgeS(static_cast<int>(e), m_step), T(k)};
    }

    // IsExportable of the three corners, with each corner's float form
    // worked out once.
    bool IsExportable(std::size_t a, std::size_t b, std::size_t c) const
    {
        return m_inFloatRange[a] && m_inFloatRange[b] && m_inFloatRange[c] &&
               HasArea(m_positions[a], m_positions[b], m_positions[c]) &&
               HasArea(m_floatPositions[a], m_floatPositions[b], m_floatPositions[c]);
    }

private:
    const SweepRings& m_rings;
    std::size_t m_edges;
    float m_step;
    std::vector<CVector3> m_positions;
    std::vector<CVector3> m_floatPositions;
    std::vector<unsigned char> m_inFloatRange;
};

// For every slot, the slot of the first ring whose vertex there is equal to
// it bit for bit (itself when there is none). Equal vertices have equal S,
// which is distinct for every edge, and equal T: only rings of equal T can
// share vertices, and those are found by sorting the rings by T, then each
// such group's vertices at each edge by their bits.
std::vector<std::uint32_t> SharedSlots(const SurfaceGrid& grid, std::size_t count)
{
    std::vector<std::uint32_t> shared(count * grid.Edges());
    for (std::size_t slot = 0; slot < shared.size(); ++slot)
        shared[slot] = static_cast<std::uint32_t>(slot);

    const auto TBits = [&grid](std::size_t k) {
        const float t = grid.T(k);
        std::uint32_t bits;
        std::memcpy(&bits, &t, sizeof bits);
        return bits;
    };
    std::vector<std::uint32_t> rings(count);
    for (std::size_t k = 0; k < count; ++k)
        rings[k] = static_cast<std::uint32_t>(k);
    std::stable_sort(rings.begin(), rings.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return TBits(a) < TBits(b); });

    using Bits = std::array<std::uint64_t, 6>;  // position and normal
    std::vector<std::pair<Bits, std::uint32_t>> group;
    for (std::size_t first = 0; first < count;) {
        std::size_t end = first + 1;
        while (end < count && TBits(rings[end]) == TBits(rings[first]))
            ++end;
        for (std::size_t e = 0; end - first > 1 && e < grid.Edges(); ++e) {
            group.clear();
            for (std::size_t i = first; i < end; ++i) {
                const std::size_t slot = grid.Slot(rings[i], e);
                const CVector3 both[2] = {grid.Position(slot), grid.Normal(slot)};
                Bits bits;
                std::memcpy(bits.data(), both, sizeof bits);
                group.emplace_back(bits, rings[i]);
            }
            // Rings in order within equal bits: the first is the earliest.
            std::sort(group.begin(), group.end());
            for (std::size_t i = 1; i < group.size(); ++i) {
                if (group[i].first == group[i - 1].first)
                    shared[grid.Slot(group[i].second, e)] = shared[grid.Slot(group[i - 1].second, e)];
            }
        }
        first = end;
    }
    return shared;
}

}  // namespace

IndexedMesh BuildSurfaceMesh(const SweepProfile& laid, const std::vector<CVector3>& pathControls,
                             const SweepSettings& settings)
{
    IndexedMesh mesh;
    SweepRings rings;
    if (!ComputeSweepRings(laid, pathControls, settings, rings))
        return mesh;
    const std::size_t count = rings.count;
    const SurfaceGrid grid(rings, settings);
    const std::vector<std::uint32_t> shared = SharedSlots(grid, count);

    // Vertices are numbered as BuildIndexedMesh numbers them: in the order
    // the kept triangles first use them.
    constexpr std::uint32_t kUnused = UINT32_MAX;
    std::vector<std::uint32_t> index(shared.size(), kUnused);
    const auto Use = [&](std::size_t slot) {
        const std::uint32_t same = shared[slot];
        if (index[same] == kUnused) {
            index[same] = static_cast<std::uint32_t>(mesh.vertices.size());
            mesh.vertices.push_back(grid.Vertex(same));
        }
        mesh.triangles.push_back(index[same]);
    };
    // Strip v's corners go (k, v), (k, v + 1) ring by ring, and OpenGL turns
    // every second triangle round: triangle 2 (v (R - 1) + k) + j has these
    // corners.
    const std::size_t slices = static_cast<std::size_t>(settings.slices);
    const std::size_t quads = count > 0 ? count - 1 : 0;
    const auto Corners = [&grid, quads](std::size_t triangle) -> std::array<std::size_t, 3> {
        const std::size_t v = triangle / 2 / quads;
        const std::size_t k = triangle / 2 % quads;
        if (triangle % 2 == 0)
            return {grid.Slot(k, v), grid.Slot(k, v + 1), grid.Slot(k + 1, v)};
        return {grid.Slot(k + 1, v), grid.Slot(k, v + 1), grid.Slot(k + 1, v + 1)};
    };
    const std::size_t triangles = 2 * slices * quads;
    std::vector<unsigned char> kept(triangles);
    SplitWork(triangles, 2 * slices * kRingsToSplit, [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            const std::array<std::size_t, 3> c = Corners(i);
            kept[i] = grid.IsExportable(c[0], c[1], c[2]);
        }
    });
    mesh.triangles.reserve(3 * triangles);
    for (std::size_t i = 0; i < triangles; ++i) {
        if (!kept[i])
            continue;
        for (const std::size_t slot : Corners(i))
            Use(slot);
    }
    RepairMissingNormals(mesh);
    return mesh;
}
