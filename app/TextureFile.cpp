#include "app/TextureFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <cstdint>
#include <cstring>

#include "core/MutedStderr.h"
#include "core/bmp/BitmapFile.h"
#include "core/bmp/DibReader.h"
#include "core/export/PngEncoder.h"

namespace {

bool ExceedsLimits(const QSize& size)
{
    return size.width() > kDibMaxSide || size.height() > kDibMaxSide ||
           std::int64_t(size.width()) * size.height() > kDibMaxPixels;
}

// How Qt reads a picture: whole, into an RgbImage, or only checked, for the
// file's own bytes to be embedded as they are.
enum class QtReading { Whole, Check };

// Reads the picture in `bytes` through Qt. A check decodes the whole picture
// all the same (a JPEG at an eighth of its size, which still reads every
// coded byte) and keeps no pixels; it comes back UnknownFormat, with no
// message, when the picture is shown turned (a camera's rotation), which
// its bytes do not say to every reader.
DibResult ReadThroughQt(const BitmapFile::Contents& bytes, QtReading reading, RgbImage& image, std::string& qtError)
{
    if (bytes.size == 0)
        return DibResult::OpenFailure;
    QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data.get()),
                                              static_cast<qsizetype>(bytes.size));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    // Qt's PNG reader leaves libpng's own error printer in place: a broken
    // PNG would put "libpng error: ..." on stderr before the failure comes
    // back here, and is reported from it.
    const MutedStderr libraryNoise;
    // The kind is told by the contents, whatever the name says.
    QImageReader reader(&buffer);
    // Upright as every picture viewer shows it (a camera's rotation applied).
    reader.setAutoTransform(true);
    // Room for the largest picture accepted, at 8 bytes a pixel (16-bit RGBA).
    reader.setAllocationLimit(static_cast<int>(kDibMaxPixels * 8 / (1024 * 1024)));
    if (!reader.canRead()) {
        qtError = reader.errorString().toStdString();
        return DibResult::UnknownFormat;
    }
    const QSize size = reader.size();
    if (ExceedsLimits(size))
        return DibResult::OutOfMemory;
    if (reading == QtReading::Check) {
        if (reader.transformation() != QImageIOHandler::TransformationNone)
            return DibResult::UnknownFormat;
        if (size.isValid() && reader.supportsOption(QImageIOHandler::ScaledSize))
            reader.setScaledSize(QSize((size.width() + 7) / 8, (size.height() + 7) / 8));
    }
    QImage picture;
    if (!reader.read(&picture)) {
        qtError = reader.errorString().toStdString();
        return reader.error() == QImageReader::UnsupportedFormatError ? DibResult::UnknownFormat
                                                                      : DibResult::ConversionError;
    }
    if (ExceedsLimits(picture.size()))
        return DibResult::OutOfMemory;
    if (reading == QtReading::Check)
        return DibResult::Ok;
    // Colours as stored, alpha dropped, as the bitmap reader does.
    picture = picture.convertToFormat(QImage::Format_RGB888);
    if (picture.isNull())
        return DibResult::OutOfMemory;
    const int width = picture.width();
    const int height = picture.height();
    const std::size_t rowBytes = std::size_t(width) * 3;
    image.pixels.resize(rowBytes * std::size_t(height));
    // Bottom row first, like a bitmap's rows.
    for (int row = 0; row < height; ++row)
        std::memcpy(image.pixels.data() + rowBytes * std::size_t(row),
                    picture.constScanLine(height - 1 - row), rowBytes);
    image.width = width;
    image.height = height;
    return DibResult::Ok;
}

DibResult LoadThroughQt(const char* path, RgbImage& image, std::string& qtError)
{
    // Read whole by the same reader as bitmaps: regular files only, never
    // waiting on a pipe or a device.
    BitmapFile file(path);
    return ReadThroughQt(file.ReadAll(), QtReading::Whole, image, qtError);
}

QString FileNameOf(const std::string& path)
{
    return QFileInfo(QFile::decodeName(path.c_str())).fileName();
}

// Why the picture at `path` was not read: for a bitmap its reader's own
// message, for any other picture the file's name and what is wrong.
std::string TextureFailure(DibResult result, const std::string& qtError, const std::string& path)
{
    const QString name = FileNameOf(path);
    if (IsBitmapFileName(name))
        return DibLoadMessage(result, path.c_str());
    const QString why = QString::fromStdString(qtError);
    switch (result) {
    case DibResult::OpenFailure:
        return QCoreApplication::translate("TextureMessages", "%1: the file is empty or cannot be read")
            .arg(name)
            .toStdString();
    case DibResult::UnknownFormat:
        return QCoreApplication::translate("TextureMessages", "%1: not a picture Qt can read (%2)")
            .arg(name, why)
            .toStdString();
    case DibResult::OutOfMemory:
        return QCoreApplication::translate(
                   "TextureMessages", "%1: the picture is too large (at most %2 pixels a side and %3 pixels in all)")
            .arg(name)
            .arg(kDibMaxSide)
            .arg(kDibMaxPixels)
            .toStdString();
    case DibResult::ConversionError:
        return QCoreApplication::translate("TextureMessages", "%1: the picture cannot be decoded (%2)")
            .arg(name, why)
            .toStdString();
    case DibResult::Ok:
        break;
    }
    return {};
}

} // namespace

bool CanOpenTextureFile(const char* path)
{
    // Never opens anything but a regular file: opening a FIFO waits for a
    // writer, and opening a device can have effects of its own. Everything
    // else goes to the readers, which refuse it.
    struct stat st;
    if (!path || ::stat(path, &st) != 0)
        return false;
    if (!S_ISREG(st.st_mode))
        return true;
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

Result<RgbImage> LoadTextureFile(const char* path)
{
    RgbImage image;
    std::string qtError;
    DibResult result = DibResult::OpenFailure;
    if (CanOpenTextureFile(path))
        result = IsBitmapFileName(QFile::decodeName(path)) ? LoadDibImage(path, image)
                                                           : LoadThroughQt(path, image, qtError);
    if (result == DibResult::Ok)
        return image;
    return Failure{TextureFailure(result, qtError, path ? path : "")};
}

Result<PictureFile> LoadTextureForExport(const char* path)
{
    // The pixels are let go once encoded, before the export copies the file.
    const auto AsPng = [](const RgbImage& picture) -> Result<PictureFile> {
        PictureFile png{PictureFileKind::Png, EncodePng(picture)};
        if (png.bytes.empty())
            return Failure{"The texture cannot be stored as PNG: it has no pixels."};
        return png;
    };
    if (!CanOpenTextureFile(path) || IsBitmapFileName(QFile::decodeName(path))) {
        const Result<RgbImage> picture = LoadTextureFile(path);
        if (!picture)
            return Failure{picture.Error()};
        return AsPng(*picture);
    }
    // One read: the bytes checked are the bytes embedded, whatever happens
    // to the file meanwhile.
    BitmapFile file(path);
    const BitmapFile::Contents bytes = file.ReadAll();
    RgbImage image;
    std::string qtError;
    if (const std::optional<PictureFileKind> kind = PictureFileKindOf(bytes.data.get(), bytes.size)) {
        const DibResult checked = ReadThroughQt(bytes, QtReading::Check, image, qtError);
        if (checked == DibResult::Ok)
            return PictureFile{*kind, bytes.ToVector()};
        if (!qtError.empty() || checked != DibResult::UnknownFormat)
            return Failure{TextureFailure(checked, qtError, path)};
        // Shown turned: the picture as shown goes out, as PNG.
    }
    const DibResult result = ReadThroughQt(bytes, QtReading::Whole, image, qtError);
    if (result != DibResult::Ok)
        return Failure{TextureFailure(result, qtError, path)};
    return AsPng(image);
}

bool IsBitmapFileName(const QString& fileName)
{
    return QFileInfo(fileName).suffix().compare(QLatin1String("bmp"), Qt::CaseInsensitive) == 0;
}

bool IsTextureFileName(const QString& fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    return !suffix.isEmpty() && TextureFilePatterns().contains(QLatin1String("*.") + suffix);
}

QStringList TextureFilePatterns()
{
    QStringList patterns{QStringLiteral("*.bmp")};
    for (const QByteArray& format : QImageReader::supportedImageFormats()) {
        const QString pattern = QLatin1String("*.") + QString::fromLatin1(format).toLower();
        if (!patterns.contains(pattern))
            patterns.append(pattern);
    }
    return patterns;
}
