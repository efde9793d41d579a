#include "core/export/GlbExporter.h"

#include <algorithm>
#include <array>
#include <sstream>
#include <utility>
#include <vector>

#include <tiny_gltf.h>

#include "core/SplitWork.h"
#include "core/export/LittleEndian.h"
#include "core/export/PictureFile.h"
#include "core/export/ExportGeometry.h"

namespace {

// The view's material: OpenGL's default diffuse grey with a white specular
// highlight of shininess 50, which a roughness of sqrt(2 / (50 + 2)) matches.
constexpr double kDiffuseGrey = 0.8;
constexpr double kRoughness = 0.19611613513818404;

// Vertices below which a second thread costs more than it saves.
constexpr std::size_t kVerticesToSplit = 20000;

// A vertex as glTF stores it: position, unit normal, texture coordinate.
using VertexFloats = std::array<float, 8>;

VertexFloats FloatsOf(const MeshVertex& v)
{
    // glTF wants unit normals; the sweep's are not normalised. A mesh not
    // made by BuildSurfaceMesh may hold a zero normal: it faces +Z then.
    const CVector3 n = UnitVector(v.normal).value_or(CVector3(0.0, 0.0, 1.0));
    // glTF's V runs down the picture from its top row; T runs up from the
    // bottom row.
    return {static_cast<float>(v.position.x), static_cast<float>(v.position.y), static_cast<float>(v.position.z),
            static_cast<float>(n.x),          static_cast<float>(n.y),          static_cast<float>(n.z),
            v.s,                              1.0f - v.t};
}

// The smallest and largest of each of a run of vertices' floats, as one
// pass in order keeps them with std::min and std::max, each component from
// its own first value.
struct VertexBounds {
    bool used = false;
    std::array<double, 8> min{}, max{};

    void Start(const VertexFloats& v)
    {
        used = true;
        for (std::size_t c = 0; c < min.size(); ++c) {
            min[c] = v[c];
            max[c] = v[c];
        }
    }

    void Include(const VertexFloats& v)
    {
        for (std::size_t c = 0; c < min.size(); ++c) {
            min[c] = std::min<double>(min[c], v[c]);
            max[c] = std::max<double>(max[c], v[c]);
        }
    }

    // The bounds of this run followed by `later`.
    void Merge(const VertexBounds& later)
    {
        for (std::size_t c = 0; c < min.size(); ++c) {
            min[c] = std::min(min[c], later.min[c]);
            max[c] = std::max(max[c], later.max[c]);
        }
    }
};

class GlbModel {
public:
    GlbModel()
    {
        m_Model.asset.version = "2.0";
        m_Model.asset.generator = "Velmora";
        m_Model.buffers.emplace_back();
    }

    // Appends the vertices' positions, unit normals and texture
    // coordinates as three float accessors with the exact float min and max
    // of each component; returns their indices.
    std::array<int, 3> AddVertexAccessors(const std::vector<MeshVertex>& vertices)
    {
        std::vector<unsigned char>& data = Data();
        const std::size_t count = vertices.size();
        const std::size_t offsets[3] = {data.size(), data.size() + 12 * count, data.size() + 24 * count};
        data.resize(data.size() + 32 * count);
        // Each half of the vertices keeps its own bounds; the first half's
        // then meet the second's as one pass in order would.
        std::array<VertexBounds, 2> halves;
        SplitWork(count, kVerticesToSplit, [&](std::size_t begin, std::size_t end) {
            VertexBounds& bounds = halves[begin == 0 ? 0 : 1];
            unsigned char* position = data.data() + offsets[0] + 12 * begin;
            unsigned char* normal = data.data() + offsets[1] + 12 * begin;
            unsigned char* texCoord = data.data() + offsets[2] + 8 * begin;
            for (std::size_t i = begin; i < end; ++i) {
                const VertexFloats v = FloatsOf(vertices[i]);
                for (std::size_t c = 0; c < 8; ++c) {
                    unsigned char*& out = c < 3 ? position : c < 6 ? normal : texCoord;
                    out = PutFloat(out, v[c]);
                }
                if (i == begin)
                    bounds.Start(v);
                bounds.Include(v);
            }
        });
        if (halves[1].used)
            halves[0].Merge(halves[1]);
        const int types[3] = {TINYGLTF_TYPE_VEC3, TINYGLTF_TYPE_VEC3, TINYGLTF_TYPE_VEC2};
        const std::size_t first[3] = {0, 3, 6};
        const std::size_t components[3] = {3, 3, 2};
        std::array<int, 3> indices{};
        for (int a = 0; a < 3; ++a) {
            tinygltf::Accessor accessor;
            accessor.bufferView = AddView(offsets[a], a < 2 ? offsets[a + 1] : data.size(),
                                          TINYGLTF_TARGET_ARRAY_BUFFER);
            accessor.componentType = TINYGLTF_COMPONENT_TYPE_FLOAT;
            accessor.type = types[a];
            accessor.count = count;
            accessor.minValues.assign(halves[0].min.begin() + first[a],
                                      halves[0].min.begin() + first[a] + components[a]);
            accessor.maxValues.assign(halves[0].max.begin() + first[a],
                                      halves[0].max.begin() + first[a] + components[a]);
            m_Model.accessors.push_back(std::move(accessor));
            indices[a] = static_cast<int>(m_Model.accessors.size() - 1);
        }
        return indices;
    }

    int AddIndexAccessor(const std::vector<std::uint32_t>& indices)
    {
        std::vector<unsigned char>& data = Data();
        const std::size_t offset = data.size();
        data.resize(offset + 4 * indices.size());
        unsigned char* out = data.data() + offset;
        for (const std::uint32_t index : indices)
            out = PutUint32(out, index);
        tinygltf::Accessor accessor;
        accessor.bufferView = AddView(offset, data.size(), TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER);
        accessor.componentType = TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT;
        accessor.type = TINYGLTF_TYPE_SCALAR;
        accessor.count = indices.size();
        m_Model.accessors.push_back(std::move(accessor));
        return static_cast<int>(m_Model.accessors.size() - 1);
    }

    // Embeds the picture file in the binary chunk as it is; returns the
    // texture's index.
    int AddTexture(const PictureFile& picture)
    {
        std::vector<unsigned char>& data = Data();
        const std::size_t offset = data.size();
        data.insert(data.end(), picture.bytes.begin(), picture.bytes.end());
        tinygltf::Image image;
        image.bufferView = AddView(offset, data.size(), 0);
        image.mimeType = MimeTypeOf(picture.kind);
        m_Model.images.push_back(std::move(image));

        // The view samples linearly without mipmaps and repeats (the
        // defaults), so the seam's S = 0 and S = 1 meet.
        tinygltf::Sampler sampler;
        sampler.magFilter = TINYGLTF_TEXTURE_FILTER_LINEAR;
        sampler.minFilter = TINYGLTF_TEXTURE_FILTER_LINEAR;
        m_Model.samplers.push_back(sampler);

        tinygltf::Texture texture;
        texture.source = static_cast<int>(m_Model.images.size() - 1);
        texture.sampler = static_cast<int>(m_Model.samplers.size() - 1);
        m_Model.textures.push_back(texture);
        return static_cast<int>(m_Model.textures.size() - 1);
    }

    // One node with one triangle mesh drawn with one material.
    void AddSurface(int position, int normal, int texCoord, int indices, int baseColorTexture)
    {
        tinygltf::Material material;
        material.name = "surface";
        material.doubleSided = true;
        material.pbrMetallicRoughness.baseColorFactor = {kDiffuseGrey, kDiffuseGrey, kDiffuseGrey, 1.0};
        material.pbrMetallicRoughness.metallicFactor = 0.0;
        material.pbrMetallicRoughness.roughnessFactor = kRoughness;
        material.pbrMetallicRoughness.baseColorTexture.index = baseColorTexture;
        m_Model.materials.push_back(std::move(material));

        tinygltf::Primitive primitive;
        primitive.attributes["POSITION"] = position;
        primitive.attributes["NORMAL"] = normal;
        primitive.attributes["TEXCOORD_0"] = texCoord;
        primitive.indices = indices;
        primitive.material = 0;
        primitive.mode = TINYGLTF_MODE_TRIANGLES;
        tinygltf::Mesh mesh;
        mesh.name = "surface";
        mesh.primitives.push_back(std::move(primitive));
        m_Model.meshes.push_back(std::move(mesh));

        tinygltf::Node node;
        node.name = "surface";
        node.mesh = 0;
        m_Model.nodes.push_back(std::move(node));
        tinygltf::Scene scene;
        scene.nodes.push_back(0);
        m_Model.scenes.push_back(std::move(scene));
        m_Model.defaultScene = 0;
    }

    bool Write(std::vector<unsigned char>& glb)
    {
        std::ostringstream stream;
        tinygltf::TinyGLTF writer;
        if (!writer.WriteGltfSceneToStream(&m_Model, stream, false, true) || !stream)
            return false;
        const std::string bytes = stream.str();
        glb.assign(bytes.begin(), bytes.end());
        return true;
    }

private:
    std::vector<unsigned char>& Data() { return m_Model.buffers[0].data; }

    // A view of the buffer from `offset` to `end`. Every view but the
    // image's holds 4-byte numbers, so each starts 4-byte aligned.
    int AddView(std::size_t offset, std::size_t end, int target)
    {
        tinygltf::BufferView view;
        view.buffer = 0;
        view.byteOffset = offset;
        view.byteLength = end - offset;
        view.target = target;
        m_Model.bufferViews.push_back(std::move(view));
        return static_cast<int>(m_Model.bufferViews.size() - 1);
    }

    tinygltf::Model m_Model;
};

}  // namespace

Result<ExportedFiles> ExportGlb(const IndexedMesh& mesh, const RgbImage* texture, const std::string& baseName,
                                const PictureFile* textureFile)
{
    if (const Result<void> exportable = CheckExportable(mesh, baseName); !exportable)
        return Failure{exportable.Error()};

    PictureFile encoded{PictureFileKind::Png, {}};
    const Result<const PictureFile*> picture = TextureFileToEmbed(texture, textureFile, encoded);
    if (!picture)
        return Failure{picture.Error()};

    GlbModel model;
    const auto [position, normal, texCoord] = model.AddVertexAccessors(mesh.vertices);
    const int indices = model.AddIndexAccessor(mesh.triangles);
    const int baseColorTexture = *picture ? model.AddTexture(**picture) : -1;
    model.AddSurface(position, normal, texCoord, indices, baseColorTexture);

    ExportedFile file{baseName + ".glb", {}};
    if (!model.Write(file.bytes))
        return Failure{"The glTF file could not be assembled."};
    ExportedFiles files;
    files.push_back(std::move(file));
    return files;
}
