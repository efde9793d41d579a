// Feeds arbitrary bytes to the bitmap decoder, as if they were a file read
// into memory.

#include <cstddef>
#include <cstdint>

#include "core/bmp/DibDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    RgbImage image;
    if (DecodeDib(data, size, image) == DibResult::Ok) {
        // Touch the corners so a wrong buffer size shows up under ASan.
        const std::size_t bytes = std::size_t(image.width) * std::size_t(image.height) * 3;
        volatile unsigned char sink = image.pixels.data()[0] ^ image.pixels.data()[bytes - 1];
        (void)sink;
    }
    return 0;
}
