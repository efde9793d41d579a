#pragma once

#include <QStringList>

#include "core/bmp/DibDecoder.h"
#include "core/bmp/RgbImage.h"

// The picture files a texture is made from. A .bmp goes through our own
// bitmap reader; any other picture through Qt's image readers, with the same
// layout (bottom row first), the same size limits and the same results, so
// that every failure shows one of the bitmap reader's messages.

// Reads the picture at `path` into `image`; anything but Ok leaves it empty.
DibResult LoadTextureFile(const char* path, RgbImage& image);

// Whether a file of this name is a picture that LoadTextureFile reads.
bool IsTextureFileName(const QString& fileName);

// Name patterns of every such picture ("*.bmp", "*.png", ...).
QStringList TextureFilePatterns();
