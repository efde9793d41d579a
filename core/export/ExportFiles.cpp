#include "core/export/ExportFiles.h"

#include <cmath>
#include <cstdint>

#include "core/export/ExportGeometry.h"

namespace {

bool IsFinite(const CVector3& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

}  // namespace

Result<void> CheckExportable(const IndexedMesh& mesh, const std::string& baseName)
{
    if (baseName.empty() || baseName == "." || baseName == "..")
        return Failure{"The export needs a file name."};
    for (const char c : baseName) {
        if (c == '/')
            return Failure{"The file name \"" + baseName + "\" must not contain a folder."};
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            return Failure{"The file name must not contain control characters."};
    }
    if (mesh.triangles.empty())
        return Failure{"There is no surface to export: no triangle of the swept surface has an area."};
    for (const std::uint32_t index : mesh.triangles) {
        if (index >= mesh.vertices.size())
            return Failure{"The surface refers to a vertex it does not have."};
    }
    // glTF and STL store floats.
    for (const MeshVertex& v : mesh.vertices) {
        if (!InFloatRange(v.position) || !IsFinite(v.normal) || !std::isfinite(v.s) ||
            !std::isfinite(v.t))
            return Failure{"The surface has coordinates that no export file can hold."};
    }
    return {};
}
