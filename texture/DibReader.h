#pragma once

// A decoded picture: width * |height| pixels of red, green, blue bytes, rows
// unpadded, the picture's bottom row first. The record and its pixels are
// allocated with malloc; the caller frees the pixels, then the record.
struct RgbImage {
    int width;
    int height;
    unsigned char* pixels;
};

// Reads a Windows bitmap file (optional 14-byte file header, 12- or 40-byte
// bitmap header). On failure shows one "Error" box and returns null.
RgbImage* LoadDibImage(const char* path);

// Number of colour-table entries that follow the bitmap header at `header`.
unsigned short DibColorCount(const void* header);
