#include "core/export/PictureFile.h"

#include <cstring>

#include "core/export/PngEncoder.h"

std::optional<PictureFileKind> PictureFileKindOf(const unsigned char* bytes, std::size_t size)
{
    // PNG's signature, then its first chunk, which must be the 13-byte header.
    static const unsigned char png[16] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    if (size >= sizeof png && std::memcmp(bytes, png, sizeof png) == 0)
        return PictureFileKind::Png;
    // Start of image, then the next marker.
    if (size >= 3 && bytes[0] == 0xff && bytes[1] == 0xd8 && bytes[2] == 0xff)
        return PictureFileKind::Jpeg;
    return std::nullopt;
}

const char* MimeTypeOf(PictureFileKind kind)
{
    return kind == PictureFileKind::Png ? "image/png" : "image/jpeg";
}

const char* ExtensionOf(PictureFileKind kind)
{
    return kind == PictureFileKind::Png ? "png" : "jpg";
}

Result<const PictureFile*> TextureFileToEmbed(const RgbImage* picture, const PictureFile* file,
                                              PictureFile& encoded)
{
    if (file || !picture)
        return file;
    encoded = {PictureFileKind::Png, EncodePng(*picture)};
    if (encoded.bytes.empty())
        return Failure{"The texture cannot be stored as PNG: it has no pixels."};
    return &encoded;
}
