#pragma once

#include <QStringList>
#include <string>

#include "core/Result.h"
#include "core/bmp/RgbImage.h"
#include "core/export/PictureFile.h"

// The picture files a texture is made from. A .bmp goes through our own
// bitmap reader; any other picture through Qt's image readers, with the same
// layout (bottom row first), the same size limits and the same results.

// Whether the file at `path` can be opened at all (it exists; a regular
// file opens for reading). Never waits on a pipe or touches a device. The
// modeller passes over a texture file that cannot be opened in silence.
bool CanOpenTextureFile(const char* path);

// Reads the picture at `path` (bottom row first), or says why not: a bitmap
// in its reader's own words, any other picture by the file's name and what is
// wrong with it, in the user's language. Every texture the program shows or
// exports is read here.
Result<RgbImage> LoadTextureFile(const char* path);

// The texture at `path` as an export embeds it, or why not, in
// LoadTextureFile's words: a PNG or JPEG file's own bytes, once the whole
// picture in them was decoded and found within the size limits; else (a
// bitmap, any other kind of picture, or one shown turned by a camera's
// rotation) the picture as LoadTextureFile reads it, encoded as PNG.
Result<PictureFile> LoadTextureForExport(const char* path);

// Whether a file of this name is read by our own bitmap reader, and so has
// its messages.
bool IsBitmapFileName(const QString& fileName);

// Whether a file of this name is a picture that LoadTextureFile reads.
bool IsTextureFileName(const QString& fileName);

// Name patterns of every such picture ("*.bmp", "*.png", ...).
QStringList TextureFilePatterns();
