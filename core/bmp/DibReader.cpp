#include "core/bmp/DibReader.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "core/bmp/BitmapFile.h"

DibResult LoadDibImage(const char* path, RgbImage& image)
{
    image = RgbImage();
    BitmapFile file(path);
    const BitmapFile::Contents bytes = file.ReadAll();
    // A file that could not be opened, or that was emptied since.
    if (bytes.size == 0)
        return DibResult::OpenFailure;
    return DecodeDib(bytes.data.get(), bytes.size, image);
}

std::string DibLoadMessage(DibResult result, const char* path)
{
    switch (result) {
    case DibResult::OpenFailure: {
        static const char kFormat[] = "Failed to open DIB file %s.\n";
        const char* shown = path != nullptr ? path : "(null)";
        // Room for the whole path: long paths are shown in full, never cut.
        std::vector<char> text(std::strlen(shown) + sizeof kFormat);
        std::snprintf(text.data(), text.size(), kFormat, shown);
        return text.data();
    }
    case DibResult::UnknownFormat:
        return "Unknown DIB file format.";
    case DibResult::OutOfMemory:
        return "Out of memory.";
    case DibResult::ConversionError:
        return "Image file conversion error.";
    case DibResult::Ok:
        break;
    }
    return "";
}
