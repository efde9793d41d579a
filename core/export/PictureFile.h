#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "core/Result.h"
#include "core/bmp/RgbImage.h"

// The picture files an export embeds as they are: glTF and every OBJ viewer
// read both.
enum class PictureFileKind { Png, Jpeg };

// A texture as the bytes of a picture file, ready to go into an export.
struct PictureFile {
    PictureFileKind kind;
    std::vector<unsigned char> bytes;
};

// The kind of picture file `bytes` start as, by its signature (PNG's eight
// bytes and its header chunk, JPEG's start-of-image marker), or nothing.
std::optional<PictureFileKind> PictureFileKindOf(const unsigned char* bytes, std::size_t size);

// "image/png", "image/jpeg".
const char* MimeTypeOf(PictureFileKind kind);
// The file name extension without the dot: "png", "jpg".
const char* ExtensionOf(PictureFileKind kind);

// What an export embeds for its texture: `file` itself when given, else
// `picture` encoded as PNG into `encoded`; null when there is neither. A
// failure when the picture has no pixels.
Result<const PictureFile*> TextureFileToEmbed(const RgbImage* picture, const PictureFile* file,
                                              PictureFile& encoded);
