#include "core/export/DesignExport.h"

#include <string_view>
#include <vector>

#include "core/Bezier.h"
#include "core/SweepMesh.h"
#include "core/design/AtomicFile.h"
#include "core/export/IndexedMesh.h"

Result<ExportedFiles> ExportDesignMesh(const Design& design, const RgbImage* texture, MeshFormat format,
                                       const std::string& folder, const std::string& baseName)
{
    const SweepSettings& settings = design.sweep;
    if (const Result<void> checked = CheckSweepSettings(settings); !checked)
        return Failure{checked.Error()};
    // With the default settings, the same samples and sweep as the program
    // builds after every edit.
    std::vector<CVector3> samples;
    std::vector<float> params;
    EvaluateCurve(design.profile, samples, params, settings.intervalsPerSpan);
    const IndexedMesh mesh =
        BuildIndexedMesh(ComputeSweepMesh(samples, design.path, design.profile, settings));
    const MeshFormatInfo& info = MeshFormatInfoOf(format);
    return info.write({mesh, info.carriesTexture ? texture : nullptr, design.texturePath, folder, baseName});
}

Result<void> WriteExportFiles(const ExportedFiles& exported, const std::string& folder, const std::string& mainName)
{
    if (exported.empty())
        return Failure{"nothing to write"};
    const auto Bytes = [](const ExportedFile& file) {
        return std::string_view(reinterpret_cast<const char*>(file.bytes.data()), file.bytes.size());
    };
    // Exporters list the main file first; it goes into place after the files it names.
    std::vector<FileToWrite> files;
    for (std::size_t i = 1; i < exported.size(); ++i)
        files.push_back({exported[i].name, Bytes(exported[i])});
    files.push_back({mainName, Bytes(exported[0])});
    return WriteFilesAtomically(folder, files);
}
