#pragma once

#include <string>

#include "core/bmp/DibDecoder.h"
#include "core/bmp/RgbImage.h"

// Reads a Windows bitmap file (optional 14-byte file header, 12- or 40-byte
// bitmap header) into `image`. Anything but Ok leaves `image` empty;
// OpenFailure means the file could not be opened or read as a regular file.
DibResult LoadDibImage(const char* path, RgbImage& image);

// What the user is told of a failed load, "Error" being the box's caption;
// the open failure names the path in full, however long.
std::string DibLoadMessage(DibResult result, const char* path);
