#include "core/export/ObjExporter.h"

#include <algorithm>
#include <charconv>
#include <utility>
#include <vector>

#include "core/export/PictureFile.h"

namespace {

void AppendTriple(std::string& out, const char* keyword, const CVector3& v)
{
    out += keyword;
    for (const double value : {v.x, v.y, v.z}) {
        out += ' ';
        AppendShortest(out, value);
    }
    out += '\n';
}

std::string ObjText(const IndexedMesh& mesh, const std::string& mtlName)
{
    std::string obj = "# Velmora swept surface\nmtllib " + mtlName + "\no surface\n";
    obj.reserve(obj.size() + 160 * mesh.vertices.size() + 40 * mesh.TriangleCount());
    for (const MeshVertex& v : mesh.vertices)
        AppendTriple(obj, "v", v.position);
    // The program's texture coordinates as they are: OBJ's vt runs up
    // the picture from its bottom row, as T does.
    for (const MeshVertex& v : mesh.vertices) {
        obj += "vt ";
        AppendShortest(obj, v.s);
        obj += ' ';
        AppendShortest(obj, v.t);
        obj += '\n';
    }
    for (const MeshVertex& v : mesh.vertices)
        AppendTriple(obj, "vn", v.normal);
    obj += "usemtl surface\n";
    const std::vector<std::uint32_t>& tri = mesh.triangles;
    for (std::size_t i = 0; i < tri.size(); i += 3) {
        obj += 'f';
        for (std::size_t corner = i; corner < i + 3; ++corner) {
            // OBJ counts from 1; one index names the v, vt and vn alike.
            char digits[24];
            char* end = std::to_chars(digits, digits + sizeof digits, tri[corner] + std::uint64_t(1)).ptr;
            for (char separator : {' ', '/', '/'}) {
                obj += separator;
                obj.append(digits, end);
            }
        }
        obj += '\n';
    }
    return obj;
}

// OpenGL's default ambient and diffuse reflectance with the view's white
// specular highlight of shininess 50.
std::string MtlText(const std::string& pictureName)
{
    std::string mtl =
        "# Velmora surface material\n"
        "newmtl surface\n"
        "Ka 0.2 0.2 0.2\n"
        "Kd 0.8 0.8 0.8\n"
        "Ks 1 1 1\n"
        "Ns 50\n"
        "illum 2\n";
    if (!pictureName.empty())
        mtl += "map_Kd " + pictureName + "\n";
    return mtl;
}

ExportedFile TextFile(std::string name, const std::string& text)
{
    return {std::move(name), std::vector<unsigned char>(text.begin(), text.end())};
}

}  // namespace

void AppendShortest(std::string& out, double value)
{
    char digits[32];
    const std::to_chars_result written = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, written.ptr);
}

std::string ObjTextureName(const std::string& baseName, const std::string& suffix, const char* extension)
{
    std::string name = baseName + suffix + "." + extension;
    std::replace(name.begin(), name.end(), ' ', '_');
    return name;
}

Result<ExportedFiles> ExportObj(const IndexedMesh& mesh, const RgbImage* texture, const std::string& baseName,
                                const std::string& textureName, const PictureFile* textureFile)
{
    if (const Result<void> exportable = CheckExportable(mesh, baseName); !exportable)
        return Failure{exportable.Error()};

    std::string referenced = baseName;
    std::replace(referenced.begin(), referenced.end(), ' ', '_');
    const std::string mtlName = referenced + ".mtl";
    PictureFile encoded{PictureFileKind::Png, {}};
    const Result<const PictureFile*> picture = TextureFileToEmbed(texture, textureFile, encoded);
    if (!picture)
        return Failure{picture.Error()};
    std::string pictureName;
    if (*picture)
        pictureName = textureName.empty() ? ObjTextureName(baseName, "", ExtensionOf((*picture)->kind)) : textureName;

    ExportedFiles files;
    files.push_back(TextFile(baseName + ".obj", ObjText(mesh, mtlName)));
    files.push_back(TextFile(mtlName, MtlText(pictureName)));
    if (*picture)
        files.push_back({pictureName, (*picture)->bytes});
    return files;
}
