#include "core/export/DesignExport.h"

#include <string_view>
#include <vector>

#include "core/design/AtomicFile.h"
#include "core/export/ExportMesh.h"
#include "core/export/MeshPlacement.h"

Result<ExportedFiles> ExportDesignMesh(const Design& design, const RgbImage* texture, MeshFormat format,
                                       const std::string& folder, const std::string& baseName,
                                       const PictureFile* textureFile)
{
    Result<IndexedMesh> built = BuildExportMesh(design.profile, design.path, design.output);
    if (!built)
        return Failure{built.Error()};
    IndexedMesh& mesh = built.Value();
    const MeshFormatInfo& info = MeshFormatInfoOf(format);
    const ExportOptions& options = design.output;
    PlaceExportMesh(mesh, options.scale, options.up.value_or(info.defaultUp));
    const LengthUnit units = options.units.value_or(info.defaultUnits.value_or(LengthUnit::Millimetre));
    const bool takesTexture = info.textureUse != TextureUse::None;
    return info.write({mesh, takesTexture ? texture : nullptr, info.textureUse == TextureUse::File ? textureFile : nullptr,
                       design.texturePath, folder, baseName, units});
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
