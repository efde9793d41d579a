#include "core/export/StlExporter.h"

#include <cstring>
#include <utility>
#include <vector>

#include "core/SplitWork.h"
#include "core/export/ExportGeometry.h"
#include "core/export/LittleEndian.h"

namespace {

// Readers take a file whose header starts with "solid" for ASCII STL.
constexpr char kHeader[] = "Velmora swept surface, binary STL";
constexpr std::size_t kHeaderBytes = 80;
constexpr std::size_t kFacetBytes = 50;
// Facets below which a second thread costs more than it saves.
constexpr std::size_t kFacetsToSplit = 20000;

unsigned char* PutVector(unsigned char* out, const CVector3& v)
{
    out = PutFloat(out, static_cast<float>(v.x));
    out = PutFloat(out, static_cast<float>(v.y));
    return PutFloat(out, static_cast<float>(v.z));
}

}  // namespace

Result<ExportedFiles> ExportStl(const IndexedMesh& mesh, const std::string& baseName)
{
    if (const Result<void> exportable = CheckExportable(mesh, baseName); !exportable)
        return Failure{exportable.Error()};

    const std::size_t facets = mesh.TriangleCount();
    ExportedFile file{baseName + ".stl", std::vector<unsigned char>(kHeaderBytes + 4 + kFacetBytes * facets)};
    unsigned char* const bytes = file.bytes.data();
    std::memcpy(bytes, kHeader, sizeof kHeader - 1);
    PutUint32(bytes + kHeaderBytes, static_cast<std::uint32_t>(facets));

    // Each vertex's float corner once, not once for every triangle it is in.
    std::vector<CVector3> corners(mesh.vertices.size());
    SplitWork(corners.size(), 3 * kFacetsToSplit, [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i)
            corners[i] = AtFloatPrecision(mesh.vertices[i].position);
    });
    const std::vector<std::uint32_t>& tri = mesh.triangles;
    SplitWork(facets, kFacetsToSplit, [&](std::size_t begin, std::size_t end) {
        unsigned char* out = bytes + kHeaderBytes + 4 + kFacetBytes * begin;
        for (std::size_t f = begin; f < end; ++f) {
            const CVector3& a = corners[tri[3 * f]];
            const CVector3& b = corners[tri[3 * f + 1]];
            const CVector3& c = corners[tri[3 * f + 2]];
            // A zero normal tells STL readers to work it out themselves; only
            // a mesh not made by BuildSurfaceMesh has triangles that need it.
            out = PutVector(out, TriangleNormal(a, b, c).value_or(CVector3(0.0, 0.0, 0.0)));
            out = PutVector(out, a);
            out = PutVector(out, b);
            out = PutVector(out, c);
            out = PutUint16(out, 0);
        }
    });
    ExportedFiles files;
    files.push_back(std::move(file));
    return files;
}
