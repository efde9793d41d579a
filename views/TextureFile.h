#pragma once

#include <QStringList>
#include <optional>
#include <string>

#include "core/bmp/DibDecoder.h"
#include "core/bmp/RgbImage.h"

// The picture files a texture is made from. A .bmp goes through our own
// bitmap reader; any other picture through Qt's image readers, with the same
// layout (bottom row first), the same size limits and the same results.

// How loading a texture from a file went.
struct TextureLoad {
    DibResult result = DibResult::Ok;
    // Why Qt's readers refused a picture, in their words; empty otherwise.
    std::string qtError;
    // The picture as read, and as the texture holds it: smaller when OpenGL
    // takes no texture that large (filled in by the view that shows it).
    PictureSize size;
    PictureSize shown;

    bool Ok() const { return result == DibResult::Ok; }
    bool Shrunk() const { return Ok() && shown != size; }
};

// Reads the picture at `path` into `image`; anything but Ok leaves it empty.
// The size read is also the size shown. Nothing when the path cannot be
// opened at all (missing, a loop of links, no permission): never waits on a
// pipe or touches a device. Every texture the program shows or exports is
// read here.
std::optional<TextureLoad> LoadTextureFile(const char* path, RgbImage& image);

// Whether a file of this name is read by our own bitmap reader, and so has
// its messages.
bool IsBitmapFileName(const QString& fileName);

// Whether a file of this name is a picture that LoadTextureFile reads.
bool IsTextureFileName(const QString& fileName);

// Name patterns of every such picture ("*.bmp", "*.png", ...).
QStringList TextureFilePatterns();
