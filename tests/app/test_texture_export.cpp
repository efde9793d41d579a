// An export's texture: a PNG or JPEG file goes into the GLB and beside the
// OBJ as its own bytes, once it is known to decode; anything else, whatever
// its name, is decoded and encoded as PNG.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <string>

#include "app/DesignCommands.h"
#include "app/TextureFile.h"
#include "core/design/DesignFile.h"

namespace {

class TextureExport : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        const Result<Design> read = OpenDesignFile(VELMORA_EXAMPLES "/vase.velmora");
        ASSERT_TRUE(read) << read.Error();
        design = *read;
    }

    static QImage Gradient()
    {
        QImage picture(37, 23, QImage::Format_RGB888);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, qRgb(x * 255 / 36, y * 255 / 22, 128));
        return picture;
    }

    QByteArray Bytes(const QString& name) const
    {
        QFile file(dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void WriteFile(const QString& name, const QByteArray& bytes) const
    {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    // Exports the design with the texture `name` to out.glb and out.obj;
    // gives the export's warning.
    std::string Export(const QString& name)
    {
        design.texturePath = dir.filePath(name).toStdString();
        std::string warning;
        for (const char* output : {"out.glb", "out.obj"}) {
            const Result<Written> written = ExportDesignToFile(design, dir.filePath(output).toStdString());
            EXPECT_TRUE(written) << written.Error();
            if (written)
                warning = written->warning;
        }
        return warning;
    }

    QTemporaryDir dir;
    Design design;
};

}  // namespace

TEST_F(TextureExport, PngAndJpegFilesGoInAsTheirOwnBytes)
{
    for (const char* kind : {"png", "jpg"}) {
        const QString name = QStringLiteral("gradient.") + kind;
        ASSERT_TRUE(Gradient().save(dir.filePath(name), nullptr, 80));
        const QByteArray source = Bytes(name);
        EXPECT_EQ(Export(name), "");
        const QByteArray glb = Bytes("out.glb");
        EXPECT_TRUE(glb.contains(source)) << kind;
        EXPECT_TRUE(glb.contains(kind == std::string("png") ? "\"image/png\"" : "\"image/jpeg\"")) << kind;
        EXPECT_EQ(Bytes(QStringLiteral("out.") + kind), source);
        EXPECT_TRUE(Bytes("out.mtl").contains(QByteArray("\nmap_Kd out.") + kind + "\n")) << kind;
    }
}

TEST_F(TextureExport, OtherPicturesAreEncodedAsPngOfTheirPixelsWhateverTheirName)
{
    // A bitmap, and the same bitmap under a PNG's name: read by its contents,
    // never passed through as a PNG.
    const QByteArray bitmap = [] {
        QFile file(VELMORA_EXAMPLES "/stripes.bmp");
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    ASSERT_FALSE(bitmap.isEmpty());
    WriteFile("stripes.bmp", bitmap);
    WriteFile("bitmap.png", bitmap);
    const Result<RgbImage> pixels = LoadTextureFile(dir.filePath("stripes.bmp").toLocal8Bit().constData());
    ASSERT_TRUE(pixels);
    for (const char* name : {"stripes.bmp", "bitmap.png"}) {
        EXPECT_EQ(Export(name), "") << name;
        EXPECT_FALSE(Bytes("out.glb").contains(bitmap)) << name;
        EXPECT_TRUE(Bytes("out.glb").contains("\"image/png\"")) << name;
        const QImage copy = QImage::fromData(Bytes("out.png"), "PNG").convertToFormat(QImage::Format_RGB888);
        ASSERT_EQ(copy.width(), pixels->width) << name;
        ASSERT_EQ(copy.height(), pixels->height) << name;
        const std::size_t row = std::size_t(pixels->width) * 3;
        for (int y = 0; y < copy.height(); ++y)
            ASSERT_EQ(std::memcmp(copy.constScanLine(y), &pixels->pixels[(pixels->height - 1 - y) * row], row), 0)
                << name << " row " << y;
    }

    // A JPEG that a camera's rotation turns (EXIF orientation 6): its own
    // bytes would be shown unturned by readers that ignore the tag.
    ASSERT_TRUE(Gradient().save(dir.filePath("plain.jpg"), nullptr, 90));
    QByteArray turned = Bytes("plain.jpg");
    static const char kOrientation6[] = "\xff\xe1\x00\x22"
                                        "Exif\0\0II\x2a\x00\x08\x00\x00\x00\x01\x00"
                                        "\x12\x01\x03\x00\x01\x00\x00\x00\x06\x00\x00\x00\x00\x00\x00\x00";
    turned.insert(2, QByteArray(kOrientation6, sizeof kOrientation6 - 1));
    WriteFile("turned.jpg", turned);
    EXPECT_EQ(Export("turned.jpg"), "");
    EXPECT_FALSE(Bytes("out.glb").contains(turned));
    EXPECT_TRUE(Bytes("out.glb").contains("\"image/png\""));
    EXPECT_EQ(QImage::fromData(Bytes("out.png"), "PNG").size(), QSize(23, 37));

    // A PNG's signature before broken data: not embedded, the export goes on without it.
    QByteArray broken = Bytes("out.png");
    broken.replace(40, broken.size() - 60, QByteArray(broken.size() - 60, '\x55'));
    WriteFile("broken.png", broken);
    QFile::remove(dir.filePath("out.png"));
    EXPECT_NE(Export("broken.png").find("without the texture"), std::string::npos);
    EXPECT_FALSE(Bytes("out.glb").contains("image/"));
    EXPECT_FALSE(QFile::exists(dir.filePath("out.png")));
}
