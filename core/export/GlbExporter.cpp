#include "core/export/GlbExporter.h"

#include <algorithm>
#include <sstream>
#include <utility>
#include <vector>

#include <tiny_gltf.h>

#include "core/export/LittleEndian.h"
#include "core/export/PictureFile.h"
#include "core/export/ExportGeometry.h"

namespace {

// The view's material: OpenGL's default diffuse grey with a white specular
// highlight of shininess 50, which a roughness of sqrt(2 / (50 + 2)) matches.
constexpr double kDiffuseGrey = 0.8;
constexpr double kRoughness = 0.19611613513818404;

class GlbModel {
public:
    GlbModel()
    {
        m_Model.asset.version = "2.0";
        m_Model.asset.generator = "Velmora";
        m_Model.buffers.emplace_back();
    }

    // Appends `values` (`components` floats per element) as one accessor
    // with the exact float min and max of each component; returns its index.
    int AddFloatAccessor(const std::vector<float>& values, int components, int type)
    {
        std::vector<unsigned char>& data = Data();
        const std::size_t offset = data.size();
        for (const float value : values)
            AppendFloat(data, value);
        tinygltf::Accessor accessor;
        accessor.bufferView = AddView(offset, TINYGLTF_TARGET_ARRAY_BUFFER);
        accessor.componentType = TINYGLTF_COMPONENT_TYPE_FLOAT;
        accessor.type = type;
        accessor.count = values.size() / static_cast<std::size_t>(components);
        accessor.minValues.assign(components, values[0]);
        accessor.maxValues.assign(components, values[0]);
        for (std::size_t i = 0; i < values.size(); ++i) {
            const std::size_t c = i % static_cast<std::size_t>(components);
            accessor.minValues[c] = std::min<double>(accessor.minValues[c], values[i]);
            accessor.maxValues[c] = std::max<double>(accessor.maxValues[c], values[i]);
        }
        m_Model.accessors.push_back(std::move(accessor));
        return static_cast<int>(m_Model.accessors.size() - 1);
    }

    int AddIndexAccessor(const std::vector<std::uint32_t>& indices)
    {
        std::vector<unsigned char>& data = Data();
        const std::size_t offset = data.size();
        for (const std::uint32_t index : indices)
            AppendUint32(data, index);
        tinygltf::Accessor accessor;
        accessor.bufferView = AddView(offset, TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER);
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
        image.bufferView = AddView(offset, 0);
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

    // A view from `offset` to the buffer's end. Every view but the image's
    // holds 4-byte numbers, so each starts 4-byte aligned.
    int AddView(std::size_t offset, int target)
    {
        tinygltf::BufferView view;
        view.buffer = 0;
        view.byteOffset = offset;
        view.byteLength = Data().size() - offset;
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

    std::vector<float> positions, normals, texCoords;
    positions.reserve(3 * mesh.vertices.size());
    normals.reserve(3 * mesh.vertices.size());
    texCoords.reserve(2 * mesh.vertices.size());
    for (const MeshVertex& v : mesh.vertices) {
        positions.insert(positions.end(), {static_cast<float>(v.position.x), static_cast<float>(v.position.y),
                                           static_cast<float>(v.position.z)});
        // glTF wants unit normals; the sweep's are not normalised. A mesh not
        // made by BuildIndexedMesh may hold a zero normal: it faces +Z then.
        const CVector3 n = UnitVector(v.normal).value_or(CVector3(0.0, 0.0, 1.0));
        normals.insert(normals.end(),
                       {static_cast<float>(n.x), static_cast<float>(n.y), static_cast<float>(n.z)});
        // glTF's V runs down the picture from its top row; T runs up from
        // the bottom row.
        texCoords.insert(texCoords.end(), {v.s, 1.0f - v.t});
    }

    GlbModel model;
    const int position = model.AddFloatAccessor(positions, 3, TINYGLTF_TYPE_VEC3);
    const int normal = model.AddFloatAccessor(normals, 3, TINYGLTF_TYPE_VEC3);
    const int texCoord = model.AddFloatAccessor(texCoords, 2, TINYGLTF_TYPE_VEC2);
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
