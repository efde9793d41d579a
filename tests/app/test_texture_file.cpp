#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <fcntl.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <cstdlib>
#include <thread>
#include <mutex>
#include <condition_variable>
#include <chrono>
#include <cerrno>
#include <string>
#include <vector>

#include "app/TextureFile.h"

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
    static RgbImage Load(const std::string& path)
    {
        Result<RgbImage> read = LoadTextureFile(path.c_str());
        EXPECT_TRUE(read) << path << ": " << (read ? "" : read.Error());
        return read ? std::move(read).Value() : RgbImage();
    }
    // Why the picture at `path` was refused.
    static std::string Refusal(const std::string& path)
    {
        const Result<RgbImage> read = LoadTextureFile(path.c_str());
        return read ? "read" : read.Error();
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

TEST_F(TextureFiles, FailuresSayWhyInTheBitmapReadersWordsOrByTheFilesName)
{
    // Our own decoder keeps the .bmp files, whatever they hold.
    const QImage picture = Gradient();
    const std::string pngAsBmp = dir.filePath(QStringLiteral("png-named.bmp")).toStdString();
    ASSERT_TRUE(QFile::copy(QString::fromStdString(Save(picture, QStringLiteral("a.png"))),
                            QString::fromStdString(pngAsBmp)));
    EXPECT_EQ(Refusal(pngAsBmp), "Unknown DIB file format.") << "our own reader says nothing of Qt";

    EXPECT_EQ(Refusal(Write(QStringLiteral("empty.png"), {})), "empty.png: the file is empty or cannot be read");
    const std::string missing = dir.filePath(QStringLiteral("missing.png")).toStdString();
    EXPECT_FALSE(CanOpenTextureFile(missing.c_str()));
    EXPECT_EQ(Refusal(missing), "missing.png: the file is empty or cannot be read");
    const std::string fifo = dir.filePath(QStringLiteral("pipe.png")).toStdString();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_TRUE(CanOpenTextureFile(fifo.c_str())) << "opened by the reader, which refuses it";
    EXPECT_EQ(Refusal(fifo), "pipe.png: the file is empty or cannot be read");  // never waited on
    const std::string words = Write(QStringLiteral("words.png"), "no picture, only words");
    EXPECT_EQ(Refusal(words), "words.png: not a picture Qt can read (Unsupported image format)");

    QFile full(QString::fromStdString(Save(picture, QStringLiteral("whole.png"))));
    ASSERT_TRUE(full.open(QIODevice::ReadOnly));
    const std::string cut = Refusal(Write(QStringLiteral("cut.png"), full.readAll().left(60)));
    EXPECT_EQ(cut.rfind("cut.png: the picture cannot be decoded (", 0), 0u) << cut;
    EXPECT_GT(cut.size(), std::string("cut.png: the picture cannot be decoded ()").size()) << "Qt's words";

    // Beyond the bitmap reader's limits: a side, and the pixel total (told by
    // the header alone).
    QImage wide(32769, 1, QImage::Format_RGB888);
    wide.fill(Qt::white);
    const std::string tooLarge = ": the picture is too large (at most 32768 pixels a side and 67108864 pixels in all)";
    EXPECT_EQ(Refusal(Save(wide, QStringLiteral("wide.png"))), "wide.png" + tooLarge);
    EXPECT_EQ(Refusal(Write(QStringLiteral("huge.ppm"), "P6 8193 8192 255\n")), "huge.ppm" + tooLarge);
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

// Runs LoadTextureFile on `path`. Should it block (a FIFO opened for reading
// waits for a writer), a watchdog opens the FIFO for writing after a bound
// far beyond any working load, so that the test fails instead of hanging.
static bool LoadTextureBlocked(const std::string& path, const std::string& fifo, std::string& refusal)
{
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    bool blocked = false;
    std::thread watchdog([&] {
        std::unique_lock<std::mutex> lock(mutex);
        if (!finished.wait_for(lock, std::chrono::seconds(60), [&] { return done; })) {
            blocked = true;
            const int writer = ::open(fifo.c_str(), O_WRONLY | O_CLOEXEC);
            if (writer >= 0)
                ::close(writer);
        }
    });
    const Result<RgbImage> read = LoadTextureFile(path.c_str());
    refusal = read ? "read" : read.Error();
    {
        const std::lock_guard<std::mutex> lock(mutex);
        done = true;
    }
    finished.notify_one();
    watchdog.join();
    return blocked;
}

TEST(TextureFile, TexturesFromAPipeADirectoryOrADeviceAreRefusedWithoutWaiting)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string fifo = dir.filePath(QStringLiteral("pipe.bmp")).toStdString();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, dir.path().toStdString(), std::string("/dev/zero")}) {
        SCOPED_TRACE(path);
        std::string refusal;
        EXPECT_FALSE(LoadTextureBlocked(path, fifo, refusal));
        EXPECT_NE(refusal, "read");
        EXPECT_NE(refusal.find(path == fifo ? "Failed to open DIB file" : "the file is empty or cannot be read"),
                  std::string::npos)
            << refusal;
    }
}

TEST(TextureFile, AFileThatCannotBeOpenedIsToldApartFromOneThatCannotBeRead)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string loop = dir.filePath(QStringLiteral("loop.bmp")).toStdString();
    ASSERT_EQ(::symlink(loop.c_str(), loop.c_str()), 0);
    std::vector<std::string> paths = {dir.filePath(QStringLiteral("missing.bmp")).toStdString(), loop};
    // Unreadable: a file without read permission where permissions bind (not
    // for root); for root, a write-only kernel setting, if there is one.
    auto unreadable = [](const std::string& path) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd >= 0)
            ::close(fd);
        return fd < 0 && errno == EACCES;
    };
    QFile locked(dir.filePath(QStringLiteral("locked.bmp")));
    ASSERT_TRUE(locked.open(QIODevice::WriteOnly));
    locked.write("BM", 2);
    locked.close();
    locked.setPermissions(QFileDevice::WriteOwner);
    for (const std::string& path : {locked.fileName().toStdString(), std::string("/proc/sys/vm/compact_memory")}) {
        if (unreadable(path)) {
            paths.push_back(path);
            break;
        }
    }
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(CanOpenTextureFile(path.c_str()));
        EXPECT_FALSE(LoadTextureFile(path.c_str()));
    }
}
