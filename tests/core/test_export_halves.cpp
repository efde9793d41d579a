// The writers on a mesh large enough that they format it in two halves side
// by side: every vertex and triangle read back from the bytes in order, the
// glTF bounds as one pass in order finds them.

#include <gtest/gtest.h>

#include <tiny_gltf.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

#include "core/export/ExportGeometry.h"
#include "core/export/GlbExporter.h"
#include "core/export/ObjExporter.h"
#include "core/export/StlExporter.h"
#include "test_export_support.h"

namespace {

// 100 control points, 991 rings: about 25 000 vertices and 48 000 triangles.
IndexedMesh LargeMesh()
{
    std::vector<CVector3> profile;
    for (int i = 0; i < 100; ++i)
        profile.push_back({i == 0 || i == 99 ? 0.0 : 3.0 + 1.5 * std::sin(i * 0.7), -8.0 + 16.0 * i / 99, 0.0});
    std::vector<CVector3> samples;
    std::vector<float> params;
    EvaluateCurve(profile, samples, params);
    return BuildSurfaceMesh(LayProfile(samples, kBentPath, profile, SweepSettings()), kBentPath, SweepSettings());
}

float FloatAt(const std::vector<unsigned char>& bytes, std::size_t offset)
{
    float value;
    std::memcpy(&value, &bytes.at(offset), sizeof value);
    return value;
}

void LoadGlb(const std::vector<unsigned char>& glb, tinygltf::Model& model)
{
    tinygltf::TinyGLTF loader;
    std::string error, warning;
    ASSERT_TRUE(loader.LoadBinaryFromMemory(&model, &error, &warning, glb.data(), static_cast<unsigned>(glb.size())))
        << error;
}

}  // namespace

TEST(ExportHalves, StlObjAndGlbHoldEveryVertexAndTriangleInOrder)
{
    const IndexedMesh mesh = LargeMesh();
    ASSERT_GT(mesh.vertices.size(), 20000u);
    ASSERT_GT(mesh.TriangleCount(), 40000u);

    const std::vector<unsigned char> stl = ExportStl(mesh, "large").Value().at(0).bytes;
    ASSERT_EQ(stl.size(), 84 + 50 * mesh.TriangleCount());
    for (std::size_t f = 0; f < mesh.TriangleCount(); ++f) {
        for (std::size_t corner = 0; corner < 3; ++corner) {
            const CVector3& p = mesh.vertices[mesh.triangles[3 * f + corner]].position;
            const std::size_t at = 84 + 50 * f + 12 * (corner + 1);
            ASSERT_EQ(FloatAt(stl, at), static_cast<float>(p.x)) << "facet " << f;
            ASSERT_EQ(FloatAt(stl, at + 8), static_cast<float>(p.z)) << "facet " << f;
        }
    }

    const std::vector<unsigned char> objBytes = ExportObj(mesh, nullptr, "large").Value().at(0).bytes;
    std::istringstream obj(std::string(objBytes.begin(), objBytes.end()));
    std::size_t v = 0, vt = 0, vn = 0, f = 0;
    for (std::string line; std::getline(obj, line);) {
        std::istringstream words(line);
        std::string keyword;
        words >> keyword;
        if (keyword == "v" || keyword == "vn") {
            std::size_t& i = keyword == "v" ? v : vn;
            const CVector3& expected = keyword == "v" ? mesh.vertices.at(i).position : mesh.vertices.at(i).normal;
            std::string x;
            words >> x;
            ASSERT_EQ(std::strtod(x.c_str(), nullptr), expected.x) << line;
            ++i;
        } else if (keyword == "vt") {
            float s;
            words >> s;
            ASSERT_EQ(s, mesh.vertices.at(vt++).s) << line;
        } else if (keyword == "f") {
            std::string corner;
            words >> corner;
            ASSERT_EQ(std::stoul(corner), mesh.triangles.at(3 * f++) + 1) << line;
        }
    }
    EXPECT_EQ(v, mesh.vertices.size());
    EXPECT_EQ(vt, mesh.vertices.size());
    EXPECT_EQ(vn, mesh.vertices.size());
    EXPECT_EQ(f, mesh.TriangleCount());

    const std::vector<unsigned char> glb = ExportGlb(mesh, nullptr, "large").Value().at(0).bytes;
    tinygltf::Model model;
    ASSERT_NO_FATAL_FAILURE(LoadGlb(glb, model));
    const tinygltf::Primitive& primitive = model.meshes.at(0).primitives.at(0);
    const tinygltf::Accessor& positions = model.accessors.at(primitive.attributes.at("POSITION"));
    const std::vector<unsigned char>& data = model.buffers.at(0).data;
    const std::size_t base = model.bufferViews.at(positions.bufferView).byteOffset;
    // One pass in order, each component from its own first value.
    std::vector<double> min = {FloatAt(data, base), FloatAt(data, base + 4), FloatAt(data, base + 8)}, max = min;
    for (std::size_t i = 0; i < mesh.vertices.size(); ++i) {
        const CVector3& p = mesh.vertices[i].position;
        const float expected[3] = {static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)};
        for (std::size_t c = 0; c < 3; ++c) {
            ASSERT_EQ(FloatAt(data, base + 12 * i + 4 * c), expected[c]) << "vertex " << i;
            min[c] = std::min<double>(min[c], expected[c]);
            max[c] = std::max<double>(max[c], expected[c]);
        }
    }
    EXPECT_EQ(positions.minValues, min);
    EXPECT_EQ(positions.maxValues, max);
    const tinygltf::Accessor& indices = model.accessors.at(primitive.indices);
    const std::size_t indexBase = model.bufferViews.at(indices.bufferView).byteOffset;
    for (std::size_t i = 0; i < mesh.triangles.size(); ++i) {
        std::uint32_t index;
        std::memcpy(&index, &data.at(indexBase + 4 * i), sizeof index);
        ASSERT_EQ(index, mesh.triangles[i]) << i;
    }
}

// glTF readers trust the bounds (a viewer frames the model by them, the
// validator checks them): a component's bounds never borrow another's value.
TEST(ExportHalves, GlbBoundsAreEachComponentsOwn)
{
    IndexedMesh mesh;
    mesh.vertices = {{{10.0, 0.5, 0.25}, {0, 0, 1}, 0.0f, 0.5f},
                     {{0.0, 1.0, 0.0}, {0, 0, 1}, 1.0f, 0.25f},
                     {{0.0, 0.0, 1.0}, {0, 0, 1}, 0.5f, 1.0f}};
    mesh.triangles = {0, 1, 2};
    const std::vector<unsigned char> glb = ExportGlb(mesh, nullptr, "bounds").Value().at(0).bytes;
    tinygltf::Model model;
    ASSERT_NO_FATAL_FAILURE(LoadGlb(glb, model));
    const tinygltf::Primitive& primitive = model.meshes.at(0).primitives.at(0);
    const tinygltf::Accessor& positions = model.accessors.at(primitive.attributes.at("POSITION"));
    EXPECT_EQ(positions.minValues, (std::vector<double>{0.0, 0.0, 0.0}));
    EXPECT_EQ(positions.maxValues, (std::vector<double>{10.0, 1.0, 1.0}));
    const tinygltf::Accessor& texCoords = model.accessors.at(primitive.attributes.at("TEXCOORD_0"));
    EXPECT_EQ(texCoords.minValues, (std::vector<double>{0.0, 0.0}));
    EXPECT_EQ(texCoords.maxValues, (std::vector<double>{1.0, 0.75}));
}
