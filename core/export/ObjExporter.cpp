#include "core/export/ObjExporter.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "core/SplitWork.h"
#include "core/export/PngEncoder.h"

namespace {

// Vertices or triangles below which a second thread costs more than it saves.
constexpr std::size_t kItemsToSplit = 20000;

void AppendTriple(std::string& out, const char* keyword, const CVector3& v)
{
    out += keyword;
    for (const double value : {v.x, v.y, v.z}) {
        out += ' ';
        AppendShortest(out, value);
    }
    out += '\n';
}

// The texture coordinates repeat (one S an edge, one T a ring): each value's
// digits are kept in a small table by its bits.
class TextureDigits {
public:
    void Append(std::string& out, float value)
    {
        std::uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        Entry& entry = m_Entries[(bits * 2654435761u) >> (32 - kBits)];
        if (!entry.used || entry.bits != bits) {
            entry.digits.clear();
            AppendShortest(entry.digits, value);
            entry.bits = bits;
            entry.used = true;
        }
        out += entry.digits;
    }

private:
    static constexpr int kBits = 8;
    struct Entry {
        bool used = false;
        std::uint32_t bits = 0;
        std::string digits;
    };
    std::array<Entry, 1u << kBits> m_Entries;
};

void AppendVertices(std::string& out, const std::vector<MeshVertex>& vertices, std::size_t begin, std::size_t end)
{
    for (std::size_t i = begin; i < end; ++i)
        AppendTriple(out, "v", vertices[i].position);
}

// The program's texture coordinates as they are: OBJ's vt runs up the
// picture from its bottom row, as T does.
void AppendTextureCoordinates(std::string& out, const std::vector<MeshVertex>& vertices, std::size_t begin,
                              std::size_t end)
{
    TextureDigits digits;
    for (std::size_t i = begin; i < end; ++i) {
        out += "vt ";
        digits.Append(out, vertices[i].s);
        out += ' ';
        digits.Append(out, vertices[i].t);
        out += '\n';
    }
}

void AppendNormals(std::string& out, const std::vector<MeshVertex>& vertices, std::size_t begin, std::size_t end)
{
    for (std::size_t i = begin; i < end; ++i)
        AppendTriple(out, "vn", vertices[i].normal);
}

void AppendFaces(std::string& out, const std::vector<std::uint32_t>& tri, std::size_t begin, std::size_t end)
{
    for (std::size_t i = 3 * begin; i < 3 * end; i += 3) {
        out += 'f';
        for (std::size_t corner = i; corner < i + 3; ++corner) {
            // OBJ counts from 1; one index names the v, vt and vn alike.
            char digits[24];
            char* last = std::to_chars(digits, digits + sizeof digits, tri[corner] + std::uint64_t(1)).ptr;
            for (char separator : {' ', '/', '/'}) {
                out += separator;
                out.append(digits, last);
            }
        }
        out += '\n';
    }
}

// The OBJ file's bytes: the lines of each kind in two halves, formatted side
// by side, then put together in order.
std::vector<unsigned char> ObjBytes(const IndexedMesh& mesh, const std::string& mtlName)
{
    const std::string head = "# Velmora swept surface\nmtllib " + mtlName + "\no surface\n";
    const std::string material = "usemtl surface\n";
    const std::size_t vertices = mesh.vertices.size();
    const std::size_t triangles = mesh.TriangleCount();
    // Two halves of each kind of line: v, vt, vn, f.
    std::array<std::string, 8> parts;
    const auto Format = [&parts](std::size_t kind, std::size_t count, std::size_t lineBytes, const auto& lines) {
        SplitWork(count, kItemsToSplit, [&](std::size_t begin, std::size_t end) {
            std::string& out = parts[2 * kind + (begin == 0 ? 0 : 1)];
            out.reserve(lineBytes * (end - begin));
            lines(out, begin, end);
        });
    };
    using Range = std::size_t;
    Format(0, vertices, 64, [&](std::string& out, Range b, Range e) { AppendVertices(out, mesh.vertices, b, e); });
    Format(1, vertices, 48,
           [&](std::string& out, Range b, Range e) { AppendTextureCoordinates(out, mesh.vertices, b, e); });
    Format(2, vertices, 64, [&](std::string& out, Range b, Range e) { AppendNormals(out, mesh.vertices, b, e); });
    Format(3, triangles, 64, [&](std::string& out, Range b, Range e) { AppendFaces(out, mesh.triangles, b, e); });
    std::size_t size = head.size() + material.size();
    for (const std::string& part : parts)
        size += part.size();
    std::vector<unsigned char> bytes(size);
    unsigned char* out = bytes.data();
    const auto Put = [&out](const std::string& text) {
        std::memcpy(out, text.data(), text.size());
        out += text.size();
    };
    Put(head);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i == 6)
            Put(material);
        Put(parts[i]);
    }
    return bytes;
}

// OpenGL's default ambient and diffuse reflectance with the view's white
// specular highlight of shininess 50.
std::string MtlText(const std::string& pngName)
{
    std::string mtl =
        "# Velmora surface material\n"
        "newmtl surface\n"
        "Ka 0.2 0.2 0.2\n"
        "Kd 0.8 0.8 0.8\n"
        "Ks 1 1 1\n"
        "Ns 50\n"
        "illum 2\n";
    if (!pngName.empty())
        mtl += "map_Kd " + pngName + "\n";
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

std::string ObjTextureName(const std::string& baseName, const std::string& suffix)
{
    std::string name = baseName + suffix + ".png";
    std::replace(name.begin(), name.end(), ' ', '_');
    return name;
}

Result<ExportedFiles> ExportObj(const IndexedMesh& mesh, const RgbImage* texture, const std::string& baseName,
                                const std::string& textureName)
{
    if (const Result<void> exportable = CheckExportable(mesh, baseName); !exportable)
        return Failure{exportable.Error()};

    std::string referenced = baseName;
    std::replace(referenced.begin(), referenced.end(), ' ', '_');
    const std::string mtlName = referenced + ".mtl";
    std::string pngName;
    ExportedFile png;
    if (texture) {
        pngName = textureName.empty() ? ObjTextureName(baseName) : textureName;
        png = {pngName, EncodePng(*texture)};
        if (png.bytes.empty()) {
            return Failure{"The texture cannot be stored as PNG: it has no pixels or is too large."};
        }
    }

    ExportedFiles files;
    files.push_back({baseName + ".obj", ObjBytes(mesh, mtlName)});
    files.push_back(TextFile(mtlName, MtlText(pngName)));
    if (texture)
        files.push_back(std::move(png));
    return files;
}
