#include "core/export/DesignExport.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <vector>

#include "core/Bezier.h"
#include "core/SweepMesh.h"
#include "core/design/AtomicFile.h"
#include "core/export/GlbExporter.h"
#include "core/export/IndexedMesh.h"
#include "core/export/ObjExporter.h"
#include "core/export/StlExporter.h"

std::optional<MeshFormat> MeshFormatForPath(const std::string& path)
{
    const std::size_t dot = path.find_last_of('.');
    const std::size_t slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::nullopt;
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == "glb")
        return MeshFormat::Glb;
    if (extension == "obj")
        return MeshFormat::Obj;
    if (extension == "stl")
        return MeshFormat::Stl;
    return std::nullopt;
}

ExportResult ExportDesignMesh(const Design& design, const RgbImage* texture, MeshFormat format,
                              const std::string& baseName, const SweepSettings& settings)
{
    ExportResult refused;
    refused.error = SweepSettingsProblem(settings);
    if (!refused.Succeeded())
        return refused;
    // With the default settings, the same samples and sweep as the program
    // builds after every edit.
    std::vector<CVector3> samples;
    std::vector<float> params;
    EvaluateCurve(design.profile, samples, params, settings.intervalsPerSpan);
    const IndexedMesh mesh =
        BuildIndexedMesh(ComputeSweepMesh(samples, design.path, design.profile, settings));
    switch (format) {
    case MeshFormat::Glb:
        return ExportGlb(mesh, texture, baseName);
    case MeshFormat::Obj:
        return ExportObj(mesh, texture, baseName);
    case MeshFormat::Stl:
        break;
    }
    return ExportStl(mesh, baseName);
}

bool WriteExportFiles(const ExportResult& result, const std::string& folder, const std::string& mainName,
                      std::string& reason)
{
    if (!result.Succeeded() || result.files.empty()) {
        reason = result.Succeeded() ? "nothing to write" : result.error;
        return false;
    }
    // Exporters list the main file first; the files it names are written before it.
    const std::string prefix = (folder.empty() ? std::string(".") : folder) + "/";
    for (std::size_t i = result.files.size(); i-- > 0;) {
        const ExportedFile& file = result.files[i];
        const std::string path = prefix + (i == 0 ? mainName : file.name);
        const std::string_view bytes(reinterpret_cast<const char*>(file.bytes.data()), file.bytes.size());
        if (!WriteFileAtomically(path, bytes, reason))
            return false;
    }
    return true;
}
