#include "core/export/DesignExport.h"

#include <sys/stat.h>

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

namespace {

// Whether the two paths lead to one file, by device and inode after following
// links: a second name or a link for the picture is the picture too.
bool SameFile(const std::string& a, const std::string& b)
{
    struct stat first, second;
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

ExportResult ExportObjBeside(const IndexedMesh& mesh, const RgbImage* texture, const std::string& texturePath,
                             const std::string& folder, const std::string& baseName)
{
    const std::string prefix = (folder.empty() ? std::string(".") : folder) + "/";
    std::string name = ObjTextureName(baseName);
    if (texture && SameFile(prefix + name, texturePath)) {
        const std::string otherName = ObjTextureName(baseName, "-texture");
        if (SameFile(prefix + otherName, texturePath)) {
            ExportResult refused;
            refused.error = "The texture's copy cannot go to " + prefix + name + " or " + otherName +
                            ": both are the design's own picture. Export under another name.";
            return refused;
        }
        name = otherName;
    }
    return ExportObj(mesh, texture, baseName, name);
}

} // namespace

ExportResult ExportDesignMesh(const Design& design, const RgbImage* texture, MeshFormat format,
                              const std::string& folder, const std::string& baseName,
                              const SweepSettings& settings)
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
        return ExportObjBeside(mesh, texture, design.texturePath, folder, baseName);
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
    const auto Bytes = [](const ExportedFile& file) {
        return std::string_view(reinterpret_cast<const char*>(file.bytes.data()), file.bytes.size());
    };
    // Exporters list the main file first; it goes into place after the files it names.
    std::vector<FileToWrite> files;
    for (std::size_t i = 1; i < result.files.size(); ++i)
        files.push_back({result.files[i].name, Bytes(result.files[i])});
    files.push_back({mainName, Bytes(result.files[0])});
    return WriteFilesAtomically(folder, files, reason);
}
