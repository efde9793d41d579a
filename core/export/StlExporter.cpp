#include "core/export/StlExporter.h"

#include <cstring>
#include <utility>
#include <vector>

#include "core/export/ExportGeometry.h"
#include "core/export/LittleEndian.h"

namespace {

// Readers take a file whose header starts with "solid" for ASCII STL.
constexpr char kHeader[] = "Velmora swept surface, binary STL";
constexpr std::size_t kHeaderBytes = 80;
constexpr std::size_t kFacetBytes = 50;

void AppendVector(std::vector<unsigned char>& out, const CVector3& v)
{
    AppendFloat(out, static_cast<float>(v.x));
    AppendFloat(out, static_cast<float>(v.y));
    AppendFloat(out, static_cast<float>(v.z));
}

}  // namespace

Result<ExportedFiles> ExportStl(const IndexedMesh& mesh, const std::string& baseName)
{
    if (const Result<void> exportable = CheckExportable(mesh, baseName); !exportable)
        return Failure{exportable.Error()};

    ExportedFile file{baseName + ".stl", std::vector<unsigned char>(kHeaderBytes, 0)};
    std::memcpy(file.bytes.data(), kHeader, sizeof kHeader - 1);
    std::vector<unsigned char>& out = file.bytes;
    out.reserve(kHeaderBytes + 4 + kFacetBytes * mesh.TriangleCount());
    AppendUint32(out, static_cast<std::uint32_t>(mesh.TriangleCount()));
    const std::vector<std::uint32_t>& tri = mesh.triangles;
    for (std::size_t i = 0; i < tri.size(); i += 3) {
        const CVector3 a = AtFloatPrecision(mesh.vertices[tri[i]].position);
        const CVector3 b = AtFloatPrecision(mesh.vertices[tri[i + 1]].position);
        const CVector3 c = AtFloatPrecision(mesh.vertices[tri[i + 2]].position);
        // A zero normal tells STL readers to work it out themselves; only a
        // mesh not made by BuildIndexedMesh has triangles that need it.
        AppendVector(out, TriangleNormal(a, b, c).value_or(CVector3(0.0, 0.0, 0.0)));
        AppendVector(out, a);
        AppendVector(out, b);
        AppendVector(out, c);
        AppendUint16(out, 0);
    }
    ExportedFiles files;
    files.push_back(std::move(file));
    return files;
}
