// What the glTF file holds where no checker looks (which way the picture and
// its coordinates run), and what every exporter refuses.

#include <gtest/gtest.h>

#include <tiny_gltf.h>

#include <cmath>
#include <cstring>

#include "core/export/GlbExporter.h"
#include "core/export/ObjExporter.h"
#include "core/export/StlExporter.h"
#include "test_export_support.h"

TEST(ExportGlb, PictureAndTextureCoordinatesRunDownFromTheTopRowAndNormalsAreUnit)
{
    const IndexedMesh mesh = BuildIndexedMesh(SweepDesign(kOpenProfile, kBentPath));
    std::vector<unsigned char> pixels = PicturePixels();
    const RgbImage picture{8, 5, pixels};
    const std::vector<unsigned char> glb = ExportGlb(mesh, &picture, "vase").files.at(0).bytes;

    tinygltf::TinyGLTF loader;
    tinygltf::Model model;
    std::string error, warning;
    ASSERT_TRUE(loader.LoadBinaryFromMemory(&model, &error, &warning, glb.data(), static_cast<unsigned>(glb.size())))
        << error;
    EXPECT_TRUE(model.materials.at(0).doubleSided);
    const tinygltf::Image& image = model.images.at(0);
    ASSERT_EQ(image.width * image.height, 40);
    for (int x = 0; x < 8; ++x)  // the picture's top row, last in RgbImage, comes first
        EXPECT_EQ(std::memcmp(&image.image[image.component * x], &pixels[4 * 24 + 3 * x], 3), 0) << x;

    const auto Float = [&](const char* attribute, std::size_t i) {
        const tinygltf::Accessor& accessor =
            model.accessors.at(model.meshes.at(0).primitives.at(0).attributes.at(attribute));
        const std::size_t offset = model.bufferViews.at(accessor.bufferView).byteOffset + 4 * i;
        float value;
        std::memcpy(&value, &model.buffers.at(0).data.at(offset), 4);
        return value;
    };
    for (std::size_t i = 0; i < mesh.vertices.size(); ++i) {
        EXPECT_EQ(Float("TEXCOORD_0", 2 * i), mesh.vertices[i].s);
        EXPECT_EQ(Float("TEXCOORD_0", 2 * i + 1), 1.0f - mesh.vertices[i].t);
        const double x = Float("NORMAL", 3 * i), y = Float("NORMAL", 3 * i + 1), z = Float("NORMAL", 3 * i + 2);
        EXPECT_NEAR(std::sqrt(x * x + y * y + z * z), 1.0, 1e-6);
    }
}

TEST(ExportFiles, RefuseWhatTheyCannotWriteWithAMessage)
{
    const IndexedMesh mesh = BuildIndexedMesh(SweepDesign(kOpenProfile, kStraightPath));
    const RgbImage noPixels{0, 0, {}};
    IndexedMesh beyondFloat = mesh;
    beyondFloat.vertices[0].position.x = 1e39;
    const ExportResult refused[] = {
        ExportStl(mesh, ""), ExportStl(mesh, "out/vase"), ExportObj(mesh, nullptr, "va\nse"),
        ExportGlb(mesh, &noPixels, "vase"), ExportObj(mesh, &noPixels, "vase"),
        ExportStl(beyondFloat, "vase"), ExportGlb(IndexedMesh{}, nullptr, "vase"),
    };
    for (const ExportResult& result : refused) {
        EXPECT_FALSE(result.error.empty());
        EXPECT_TRUE(result.files.empty()) << result.error;
    }
}
