// The texture's file in an export: PNG and JPEG files go in as their own
// bytes, any other picture is encoded as PNG, and the encoder's files read
// back as the same pixels with an independent reader.
#include <gtest/gtest.h>
#include <tiny_gltf.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "PngTestReader.h"
#include "core/export/GlbExporter.h"
#include "core/export/ObjExporter.h"
#include "core/export/PictureFile.h"
#include "core/export/PngEncoder.h"
#include "test_export_support.h"

namespace {

std::vector<unsigned char> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

PictureFile TestPicture(const char* name, PictureFileKind kind)
{
    return {kind, ReadBytes(std::string(VELMORA_PICTURES) + "/" + name)};
}

// The encoder's file, read by the test's own PNG reader, top row first.
PngTestImage DecodedPng(const std::vector<unsigned char>& png)
{
    const std::string path = ::testing::TempDir() + "velmora-encoded.png";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
    PngTestImage image;
    EXPECT_EQ(ReadPngForTest(path, image), "");
    std::remove(path.c_str());
    return image;
}

// Pixels no filter predicts, so that deflate's output spans several chunks.
RgbImage Noise(int width, int height)
{
    RgbImage image{width, height, std::vector<unsigned char>(std::size_t(width) * height * 3)};
    unsigned state = 7;
    for (unsigned char& byte : image.pixels) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<unsigned char>(state >> 24);
    }
    return image;
}

// The bytes of the GLB's one image, by its buffer view, and its MIME type.
std::vector<unsigned char> EmbeddedImage(const std::vector<unsigned char>& glb, std::string& mimeType)
{
    tinygltf::TinyGLTF loader;
    tinygltf::Model model;
    std::string error, warning;
    EXPECT_TRUE(loader.LoadBinaryFromMemory(&model, &error, &warning, glb.data(), unsigned(glb.size()))) << error;
    const tinygltf::Image& image = model.images.at(0);
    mimeType = image.mimeType;
    const tinygltf::BufferView& view = model.bufferViews.at(image.bufferView);
    const auto start = model.buffers.at(0).data.begin() + std::ptrdiff_t(view.byteOffset);
    return {start, start + std::ptrdiff_t(view.byteLength)};
}

}  // namespace

TEST(PngEncoder, ItsFilesReadBackAsThePicturesPixelsTopRowFirst)
{
    for (const RgbImage& picture : {RgbImage{8, 5, PicturePixels()}, Noise(1, 3), Noise(301, 257)}) {
        const PngTestImage png = DecodedPng(EncodePng(picture));
        ASSERT_EQ(png.width, picture.width);
        ASSERT_EQ(png.height, picture.height);
        const std::size_t row = std::size_t(picture.width) * 3;
        for (int y = 0; y < picture.height; ++y)
            ASSERT_EQ(std::memcmp(&png.rgb[y * row], &picture.pixels[(picture.height - 1 - y) * row], row), 0) << y;
    }
    EXPECT_TRUE(EncodePng(RgbImage{2, 2, std::vector<unsigned char>(11)}).empty());
    EXPECT_TRUE(EncodePng(RgbImage{0, 2, {}}).empty());

    // A file is whole only with every row, and no more.
    const unsigned char row[6] = {1, 2, 3, 4, 5, 6};
    PngRowEncoder missing(2, 2);
    missing.AddRow(row);
    EXPECT_TRUE(missing.Finish().empty());
    PngRowEncoder extra(2, 1);
    extra.AddRow(row);
    extra.AddRow(row);
    EXPECT_TRUE(extra.Finish().empty());
}

TEST(PictureFile, KindIsToldBySignatureNotByName)
{
    const PictureFile png = TestPicture("picture.png", PictureFileKind::Png);
    const PictureFile jpeg = TestPicture("picture.jpg", PictureFileKind::Jpeg);
    EXPECT_EQ(PictureFileKindOf(png.bytes.data(), png.bytes.size()), PictureFileKind::Png);
    EXPECT_EQ(PictureFileKindOf(jpeg.bytes.data(), jpeg.bytes.size()), PictureFileKind::Jpeg);
    const std::vector<unsigned char> bmp = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const std::vector<unsigned char> text(png.bytes.size(), 'x');
    for (const std::vector<unsigned char>& other :
         {bmp, text, std::vector<unsigned char>(png.bytes.begin(), png.bytes.begin() + 12),
          std::vector<unsigned char>(jpeg.bytes.begin(), jpeg.bytes.begin() + 2)})
        EXPECT_FALSE(PictureFileKindOf(other.data(), other.size()));
}

TEST(PictureFile, GlbAndObjEmbedTheFilesOwnBytesAndAPictureAsPng)
{
    const IndexedMesh mesh = BuildIndexedMesh(SweepDesign(kOpenProfile, kStraightPath));
    const RgbImage pixels{8, 5, PicturePixels()};
    for (const PictureFile& file : {TestPicture("picture.png", PictureFileKind::Png),
                                    TestPicture("picture.jpg", PictureFileKind::Jpeg)}) {
        ASSERT_FALSE(file.bytes.empty());
        // The file wins over the picture's pixels, whose PNG would differ.
        std::string mimeType;
        EXPECT_EQ(EmbeddedImage(ExportGlb(mesh, &pixels, "vase", &file).Value().at(0).bytes, mimeType), file.bytes);
        EXPECT_EQ(mimeType, MimeTypeOf(file.kind));

        const ExportedFiles obj = ExportObj(mesh, nullptr, "my vase", "", &file).Value();
        ASSERT_EQ(obj.size(), 3u);
        const std::string name = std::string("my_vase.") + ExtensionOf(file.kind);
        EXPECT_EQ(obj[2].name, name);
        EXPECT_EQ(obj[2].bytes, file.bytes);
        const std::string mtl(obj[1].bytes.begin(), obj[1].bytes.end());
        EXPECT_NE(mtl.find("\nmap_Kd " + name + "\n"), std::string::npos) << mtl;
    }
    EXPECT_EQ(ExtensionOf(PictureFileKind::Jpeg), std::string("jpg"));

    // Pixels alone go in as a PNG of the same pixels.
    std::string mimeType;
    const std::vector<unsigned char> png = EmbeddedImage(ExportGlb(mesh, &pixels, "vase").Value().at(0).bytes, mimeType);
    EXPECT_EQ(mimeType, "image/png");
    EXPECT_EQ(png, EncodePng(pixels));
    EXPECT_EQ(ExportObj(mesh, &pixels, "vase").Value().at(2).bytes, png);
}
