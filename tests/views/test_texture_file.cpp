#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <cstdlib>
#include <string>
#include <vector>

#include "views/TextureFile.h"

namespace {

// Pictures written by Qt's own writers and read back. Every lossless kind
// must give exactly the pixels that our bitmap decoder gives for the same
// picture saved as a .bmp; JPEG comes close to them.
class TextureFiles : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    // A smooth picture with a width that is no multiple of 4: red grows to
    // the right, green towards the bottom, so every row and column differs.
    static QImage Gradient()
    {
        QImage picture(37, 23, QImage::Format_RGB888);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, qRgb(x * 255 / 36, y * 255 / 22, 128));
        return picture;
    }
    std::string Save(const QImage& picture, const QString& name, int quality = -1)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(picture.save(path, nullptr, quality)) << name.toStdString();
        return path.toStdString();
    }
    std::string Write(const QString& name, const QByteArray& bytes)
    {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName().toStdString();
    }
    static RgbImage Load(const std::string& path, DibResult expected = DibResult::Ok)
    {
        RgbImage image;
        const std::optional<TextureLoad> opened = LoadTextureFile(path.c_str(), image);
        EXPECT_TRUE(opened) << path;
        const TextureLoad load = opened.value_or(TextureLoad{});
        EXPECT_EQ(load.result, expected) << path;
        EXPECT_EQ(load.size, (PictureSize{image.width, image.height})) << path;
        EXPECT_FALSE(load.Shrunk()) << "only a view shrinks a picture";
        return image;
    }
    // Why Qt refused the picture at `path`, in its words.
    static std::string QtError(const std::string& path)
    {
        RgbImage image;
        const std::optional<TextureLoad> load = LoadTextureFile(path.c_str(), image);
        return load ? load->qtError : "not opened";
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(TextureFiles, LosslessPicturesDecodeToTheBitmapsPixelsBottomRowFirst)
{
    const QImage picture = Gradient();
    const RgbImage bitmap = Load(Save(picture, QStringLiteral("gradient.bmp")));
    ASSERT_EQ(bitmap.width, 37);
    ASSERT_EQ(bitmap.height, 23);
    // The picture's bottom-left pixel comes first, then the bottom row.
    EXPECT_EQ(std::vector<unsigned char>(bitmap.pixels.begin(), bitmap.pixels.begin() + 6),
              (std::vector<unsigned char>{0, 255, 128, 7, 255, 128}));

    QImage withAlpha = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb corner = withAlpha.pixel(0, 0);
    withAlpha.setPixel(0, 0, qRgba(qRed(corner), qGreen(corner), qBlue(corner), 40));
    const std::string png = Save(picture, QStringLiteral("gradient.png"));
    ASSERT_TRUE(QFile::copy(QString::fromStdString(png), dir.filePath(QStringLiteral("png-named.JPG"))));
    const std::string lossless[] = {
        png, Save(picture, QStringLiteral("gradient.ppm")),
        // Named as another kind: the contents decide.
        dir.filePath(QStringLiteral("png-named.JPG")).toStdString(),
        // Transparency is dropped; the stored colour stays.
        Save(withAlpha, QStringLiteral("alpha.png"))};
    for (const std::string& file : lossless) {
        SCOPED_TRACE(file);
        const RgbImage image = Load(file);
        EXPECT_EQ(image.width, bitmap.width);
        EXPECT_EQ(image.height, bitmap.height);
        EXPECT_EQ(image.pixels, bitmap.pixels);
    }

    const RgbImage jpeg = Load(Save(picture, QStringLiteral("gradient.jpeg"), 95));
    ASSERT_EQ(jpeg.pixels.size(), bitmap.pixels.size());
    long long totalError = 0;
    int worst = 0;
    for (std::size_t i = 0; i < jpeg.pixels.size(); ++i) {
        const int error = std::abs(int(jpeg.pixels[i]) - int(bitmap.pixels[i]));
        totalError += error;
        worst = std::max(worst, error);
    }
    EXPECT_LT(double(totalError) / double(jpeg.pixels.size()), 2.0);
    EXPECT_LT(worst, 24) << "a row out of place would differ by a whole band of green";
}

TEST_F(TextureFiles, FailuresGiveTheBitmapReadersResults)
{
    // Our own decoder keeps the .bmp files, whatever they hold.
    const QImage picture = Gradient();
    const std::string pngAsBmp = dir.filePath(QStringLiteral("png-named.bmp")).toStdString();
    ASSERT_TRUE(QFile::copy(QString::fromStdString(Save(picture, QStringLiteral("a.png"))),
                            QString::fromStdString(pngAsBmp)));
    Load(pngAsBmp, DibResult::UnknownFormat);

    Load(Write(QStringLiteral("empty.png"), {}), DibResult::OpenFailure);
    RgbImage missing;
    EXPECT_EQ(LoadTextureFile(dir.filePath(QStringLiteral("missing.png")).toLocal8Bit().constData(), missing),
              std::nullopt)
        << "a file that is not there is not opened at all";
    const std::string fifo = dir.filePath(QStringLiteral("pipe.png")).toStdString();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    Load(fifo, DibResult::OpenFailure);  // refused, never waited on
    const std::string words = Write(QStringLiteral("words.png"), "no picture, only words");
    Load(words, DibResult::UnknownFormat);
    EXPECT_EQ(QtError(words), "Unsupported image format");
    EXPECT_EQ(QtError(pngAsBmp), "") << "our own reader says nothing of Qt";

    QFile full(QString::fromStdString(Save(picture, QStringLiteral("whole.png"))));
    ASSERT_TRUE(full.open(QIODevice::ReadOnly));
    const std::string cut = Write(QStringLiteral("cut.png"), full.readAll().left(60));
    Load(cut, DibResult::ConversionError);
    EXPECT_FALSE(QtError(cut).empty());

    // Beyond the bitmap reader's limits: a side, and the pixel total (told by
    // the header alone).
    QImage wide(32769, 1, QImage::Format_RGB888);
    wide.fill(Qt::white);
    Load(Save(wide, QStringLiteral("wide.png")), DibResult::OutOfMemory);
    Load(Write(QStringLiteral("huge.ppm"), "P6 8193 8192 255\n"), DibResult::OutOfMemory);
}

TEST(TextureFileNames, PicturesAreKnownByTheirSuffix)
{
    for (const char* name : {"a.bmp", "b.PNG", "c.jpg", "d.jpeg", "e.gif", "f.ppm", "dir.x/g.Bmp"})
        EXPECT_TRUE(IsTextureFileName(QString::fromLatin1(name))) << name;
    for (const char* name : {"vase.velmora", "notes.txt", "png", "bmp.", "a.bmp.part"})
        EXPECT_FALSE(IsTextureFileName(QString::fromLatin1(name))) << name;
    // Only .bmp files go to our own reader, and have its messages.
    for (const char* name : {"a.bmp", "dir.png/B.BMP"})
        EXPECT_TRUE(IsBitmapFileName(QString::fromLatin1(name))) << name;
    for (const char* name : {"a.png", "bmp", "a.bmp.png", "bmp.jpg"})
        EXPECT_FALSE(IsBitmapFileName(QString::fromLatin1(name))) << name;
    const QStringList patterns = TextureFilePatterns();
    EXPECT_EQ(patterns.count(QStringLiteral("*.bmp")), 1);
    EXPECT_TRUE(patterns.contains(QStringLiteral("*.png")));
    EXPECT_TRUE(patterns.contains(QStringLiteral("*.jpg")));
}
