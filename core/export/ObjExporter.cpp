#include "core/export/ObjExporter.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "core/SplitWork.h"
#include "core/export/PictureFile.h"

namespace {

// Vertices or triangles below which a second thread costs more than it saves.
constexpr std::size_t kItemsToSplit = 20000;

// The most characters std::to_chars writes for a double in its shortest form
// ("-2.2250738585072014e-308") and for an index.
constexpr std::size_t kNumberChars = 24;
constexpr std::size_t kIndexChars = 20;
// The longest line of each kind.
constexpr std::size_t kTripleLineChars = 3 + 3 * (1 + kNumberChars) + 1;
constexpr std::size_t kTextureLineChars = 3 + kNumberChars + 1 + kNumberChars + 1;
constexpr std::size_t kFaceLineChars = 1 + 9 * (1 + kIndexChars) + 1;

// Each writer puts its lines at `out`, which has room for the longest, and
// returns the character after them.

char* PutShortest(char* out, double value)
{
    return std::to_chars(out, out + kNumberChars, value).ptr;
}

char* PutTriple(char* out, const char* keyword, std::size_t keywordChars, const CVector3& v)
{
    std::memcpy(out, keyword, keywordChars);
    out += keywordChars;
    for (const double value : {v.x, v.y, v.z}) {
        *out++ = ' ';
        out = PutShortest(out, value);
    }
    *out++ = '\n';
    return out;
}

// The texture coordinates repeat (one S an edge, one T a ring): each value's
// digits are kept in a small table by its bits.
class TextureDigits {
public:
    char* Put(char* out, float value)
    {
        std::uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        Entry& entry = m_entries[(bits * 2654435761u) >> (32 - kBits)];
        if (!entry.used || entry.bits != bits) {
            entry.length = static_cast<std::size_t>(PutShortest(entry.digits, value) - entry.digits);
            entry.bits = bits;
            entry.used = true;
        }
        std::memcpy(out, entry.digits, entry.length);
        return out + entry.length;
    }

private:
    static constexpr int kBits = 8;
    struct Entry {
        bool used = false;
        std::uint32_t bits = 0;
        std::size_t length = 0;
        char digits[kNumberChars];
    };
    std::array<Entry, 1u << kBits> m_entries;
};

char* PutVertices(char* out, const std::vector<MeshVertex>& vertices, std::size_t begin, std::size_t end)
{
    for (std::size_t i = begin; i < end; ++i)
        out = PutTriple(out, "v", 1, vertices[i].position);
    return out;
}

// The program's texture coordinates as they are: OBJ's vt runs up the
// picture from its bottom row, as T does.
char* PutTextureCoordinates(char* out, const std::vector<MeshVertex>& vertices, std::size_t begin, std::size_t end)
{
    TextureDigits digits;
    for (std::size_t i = begin; i < end; ++i) {
        std::memcpy(out, "vt ", 3);
        out = digits.Put(out + 3, vertices[i].s);
        *out++ = ' ';
        out = digits.Put(out, vertices[i].t);
        *out++ = '\n';
    }
    return out;
}

char* PutNormals(char* out, const std::vector<MeshVertex>& vertices, std::size_t begin, std::size_t end)
{
    for (std::size_t i = begin; i < end; ++i)
        out = PutTriple(out, "vn", 2, vertices[i].normal);
    return out;
}

char* PutFaces(char* out, const std::vector<std::uint32_t>& tri, std::size_t begin, std::size_t end)
{
    for (std::size_t i = 3 * begin; i < 3 * end; i += 3) {
        *out++ = 'f';
        for (std::size_t corner = i; corner < i + 3; ++corner) {
            // OBJ counts from 1; one index names the v, vt and vn alike.
            char digits[kIndexChars];
            const char* last = std::to_chars(digits, digits + sizeof digits, tri[corner] + std::uint64_t(1)).ptr;
            const std::size_t length = static_cast<std::size_t>(last - digits);
            for (char separator : {' ', '/', '/'}) {
                *out++ = separator;
                std::memcpy(out, digits, length);
                out += length;
            }
        }
        *out++ = '\n';
    }
    return out;
}

// Text of a known greatest length, its storage not cleared beforehand.
struct TextPart {
    std::unique_ptr<char[]> chars;
    std::size_t size = 0;
};

// The OBJ file's bytes: the lines of each kind in two halves, formatted side
// by side, then put together in order.
std::vector<unsigned char> ObjBytes(const IndexedMesh& mesh, const std::string& mtlName)
{
    const std::string head = "# Velmora swept surface\nmtllib " + mtlName + "\no surface\n";
    const std::string material = "usemtl surface\n";
    const std::size_t vertices = mesh.vertices.size();
    const std::size_t triangles = mesh.TriangleCount();
    // Two halves of each kind of line: v, vt, vn, f.
    std::array<TextPart, 8> parts;
    const auto Format = [&parts](std::size_t kind, std::size_t count, std::size_t lineChars, const auto& lines) {
        SplitWork(count, kItemsToSplit, [&](std::size_t begin, std::size_t end) {
            TextPart& part = parts[2 * kind + (begin == 0 ? 0 : 1)];
            part.chars.reset(new char[lineChars * (end - begin)]);
            part.size = static_cast<std::size_t>(lines(part.chars.get(), begin, end) - part.chars.get());
        });
    };
    using Range = std::size_t;
    Format(0, vertices, kTripleLineChars,
           [&](char* out, Range b, Range e) { return PutVertices(out, mesh.vertices, b, e); });
    Format(1, vertices, kTextureLineChars,
           [&](char* out, Range b, Range e) { return PutTextureCoordinates(out, mesh.vertices, b, e); });
    Format(2, vertices, kTripleLineChars,
           [&](char* out, Range b, Range e) { return PutNormals(out, mesh.vertices, b, e); });
    Format(3, triangles, kFaceLineChars,
           [&](char* out, Range b, Range e) { return PutFaces(out, mesh.triangles, b, e); });

    std::size_t size = head.size() + material.size();
    for (const TextPart& part : parts)
        size += part.size;
    std::vector<unsigned char> bytes(size);
    unsigned char* out = bytes.data();
    const auto Put = [&out](const char* text, std::size_t length) {
        if (length > 0)
            std::memcpy(out, text, length);
        out += length;
    };
    Put(head.data(), head.size());
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i == 6)
            Put(material.data(), material.size());
        Put(parts[i].chars.get(), parts[i].size);
    }
    return bytes;
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
    char digits[kNumberChars];
    out.append(digits, PutShortest(digits, value));
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
    files.push_back({baseName + ".obj", ObjBytes(mesh, mtlName)});
    files.push_back(TextFile(mtlName, MtlText(pictureName)));
    if (*picture)
        files.push_back({pictureName, (*picture)->bytes});
    return files;
}
