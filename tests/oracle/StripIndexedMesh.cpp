#include "tests/oracle/StripIndexedMesh.h"

#include <array>
#include <cstring>
#include <optional>
#include <unordered_map>

#include "core/export/ExportGeometry.h"

namespace {

using Strips = std::vector<std::vector<SweepVertex>>;

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

// glTF and STL hold floats: a triangle must keep its area there too.
bool IsExportable(const CVector3& a, const CVector3& b, const CVector3& c)
{
    return InFloatRange(a) && InFloatRange(b) && InFloatRange(c) && HasArea(a, b, c) &&
           HasArea(AtFloatPrecision(a), AtFloatPrecision(b), AtFloatPrecision(c));
}

using VertexBits = std::array<std::uint64_t, 7>;
static_assert(sizeof(MeshVertex) == sizeof(VertexBits), "MeshVertex has no padding bytes");

struct VertexBitsHash {
    std::size_t operator()(const VertexBits& bits) const
    {
        std::uint64_t h = 0;
        for (std::uint64_t word : bits) {
            h ^= word;
            h *= 0xff51afd7ed558ccdULL;
            h ^= h >> 33;
        }
        return static_cast<std::size_t>(h);
    }
};

class IndexedMeshBuilder {
public:
    explicit IndexedMeshBuilder(std::size_t corners)
    {
        m_Index.reserve(corners);
        m_Mesh.triangles.reserve(3 * corners);
    }

    void AddTriangle(const MeshVertex& a, const MeshVertex& b, const MeshVertex& c)
    {
        if (!IsExportable(a.position, b.position, c.position))
            return;
        m_Mesh.triangles.push_back(IndexOf(a));
        m_Mesh.triangles.push_back(IndexOf(b));
        m_Mesh.triangles.push_back(IndexOf(c));
    }

    IndexedMesh Finish()
    {
        RepairMissingNormals();
        return std::move(m_Mesh);
    }

private:
    std::uint32_t IndexOf(const MeshVertex& v)
    {
        VertexBits bits;
        std::memcpy(bits.data(), &v, sizeof v);
        const auto [it, added] =
            m_Index.emplace(bits, static_cast<std::uint32_t>(m_Mesh.vertices.size()));
        if (added)
            m_Mesh.vertices.push_back(v);
        return it->second;
    }

    // A zero normal (the sweep's two surface directions parallel) lights
    // nothing and cannot be made unit length: take the mean direction of the
    // vertex's triangles, or one of them where they cancel out.
    void RepairMissingNormals()
    {
        std::vector<MeshVertex>& vertices = m_Mesh.vertices;
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
        const std::vector<std::uint32_t>& tri = m_Mesh.triangles;
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

    IndexedMesh m_Mesh;
    std::unordered_map<VertexBits, std::uint32_t, VertexBitsHash> m_Index;
};

// Strip `v`, corner `i`, with the seam closed: the last slice's right column
// is the first slice's left column computed again through a rounded 2 pi, off
// by about one unit in the last place; taking the first slice's position
// makes the surface close exactly in every format.
MeshVertex Corner(const Strips& strips, std::size_t v, std::size_t i)
{
    const SweepVertex& in = strips[v][i];
    CVector3 position = in.position;
    const bool seamColumn = v + 1 == strips.size() && v > 0 && i % 2 == 1 &&
                            strips[v].size() == strips.front().size();
    if (seamColumn)
        position = strips.front()[i - 1].position;
    return {WithoutNegativeZero(position), WithoutNegativeZero(in.normal), in.s, in.t};
}

}  // namespace

IndexedMesh BuildIndexedMesh(const Strips& strips)
{
    std::size_t cornerCount = 0;
    for (const auto& strip : strips)
        cornerCount += strip.size();
    IndexedMeshBuilder builder(cornerCount);
    std::vector<MeshVertex> corners;
    for (std::size_t v = 0; v < strips.size(); ++v) {
        corners.clear();
        for (std::size_t i = 0; i < strips[v].size(); ++i)
            corners.push_back(Corner(strips, v, i));
        // OpenGL turns every second triangle of a strip round so that all
        // of them face the same way.
        for (std::size_t i = 0; i + 2 < corners.size(); ++i) {
            if (i % 2 == 0)
                builder.AddTriangle(corners[i], corners[i + 1], corners[i + 2]);
            else
                builder.AddTriangle(corners[i + 1], corners[i], corners[i + 2]);
        }
    }
    return builder.Finish();
}
