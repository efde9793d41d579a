#include "core/export/MeshFormats.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>

#include "core/WordList.h"
#include "core/export/GlbExporter.h"
#include "core/export/ObjExporter.h"
#include "core/export/StlExporter.h"
#include "core/export/ThreeMfExporter.h"

namespace {

// Whether the two paths lead to one file, by device and inode after following
// links: a second name or a link for the picture is the picture too.
bool SameFile(const std::string& a, const std::string& b)
{
    struct stat first, second;
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

Result<ExportedFiles> WriteGlb(const MeshToExport& what)
{
    return ExportGlb(what.mesh, what.texture, what.baseName, what.textureFile);
}

// The OBJ's copy of the texture goes beside it, under a name that is not the
// design's own picture.
Result<ExportedFiles> WriteObj(const MeshToExport& what)
{
    const std::string prefix = (what.folder.empty() ? std::string(".") : what.folder) + "/";
    const char* extension = what.textureFile ? ExtensionOf(what.textureFile->kind) : "png";
    std::string name = ObjTextureName(what.baseName, "", extension);
    if ((what.texture || what.textureFile) && SameFile(prefix + name, what.texturePath)) {
        const std::string otherName = ObjTextureName(what.baseName, "-texture", extension);
        if (SameFile(prefix + otherName, what.texturePath))
            return Failure{"The texture's copy cannot go to " + prefix + name + " or " + otherName +
                           ": both are the design's own picture. Export under another name."};
        name = otherName;
    }
    return ExportObj(what.mesh, what.texture, what.baseName, name, what.textureFile);
}

Result<ExportedFiles> WriteStl(const MeshToExport& what)
{
    return ExportStl(what.mesh, what.baseName);
}

Result<ExportedFiles> WriteThreeMf(const MeshToExport& what)
{
    return ExportThreeMf(what.mesh, what.texture, what.units, what.baseName);
}

} // namespace

const std::vector<MeshFormatInfo>& MeshFormats()
{
    static const std::vector<MeshFormatInfo> formats = {
        // glTF, OBJ and STL state no units; their readers take Y as up.
        {MeshFormat::Glb, "glTF binary", "glTF Binary", "glb", TextureUse::File, UpAxis::Y, std::nullopt, WriteGlb},
        {MeshFormat::Obj, "OBJ", "Wavefront OBJ", "obj", TextureUse::File, UpAxis::Y, std::nullopt, WriteObj},
        // STL has no materials.
        {MeshFormat::Stl, "STL", "Binary STL", "stl", TextureUse::None, UpAxis::Y, std::nullopt, WriteStl},
        // 3MF is for printers: Z up, and millimetres unless the file says otherwise.
        {MeshFormat::ThreeMf, "3MF", "3D Manufacturing Format", "3mf", TextureUse::Colour, UpAxis::Z, LengthUnit::Millimetre,
         WriteThreeMf},
    };
    return formats;
}

const MeshFormatInfo& MeshFormatInfoOf(MeshFormat format)
{
    const std::vector<MeshFormatInfo>& formats = MeshFormats();
    const auto found = std::find_if(formats.begin(), formats.end(),
                                    [format](const MeshFormatInfo& info) { return info.format == format; });
    return found != formats.end() ? *found : formats.front();
}

std::optional<MeshFormat> MeshFormatForPath(const std::string& path)
{
    const std::size_t dot = path.find_last_of('.');
    const std::size_t slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::nullopt;
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const MeshFormatInfo& info : MeshFormats())
        if (extension == info.extension)
            return info.format;
    return std::nullopt;
}

std::vector<std::string> MeshFormatNames()
{
    std::vector<std::string> names;
    for (const MeshFormatInfo& info : MeshFormats())
        names.emplace_back(info.name);
    return names;
}

std::vector<std::string> MeshFormatExtensions()
{
    std::vector<std::string> extensions;
    for (const MeshFormatInfo& info : MeshFormats())
        extensions.emplace_back(info.extension);
    return extensions;
}

std::string MeshOutputNameRule()
{
    std::vector<std::string> endings;
    for (const std::string& extension : MeshFormatExtensions())
        endings.push_back("." + extension);
    return "the output must end in " + ListForSentence(endings);
}
