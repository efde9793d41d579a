// Feeds arbitrary bytes to the bitmap decoder, as if they were a mapped file.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/MessageBox.h"
#include "texture/DibDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool silenced = [] {
        SetMessageBoxHandler([](const std::string&, const std::string&, MessageIcon) {});
        return true;
    }();
    (void)silenced;

    RgbImage* image = DecodeDibImage(data, size);
    if (image != nullptr) {
        // Touch the corners so a wrong buffer size shows up under ASan.
        const std::size_t bytes = std::size_t(image->width) * std::size_t(image->height) * 3;
        volatile unsigned char sink = image->pixels[0] ^ image->pixels[bytes - 1];
        (void)sink;
        std::free(image->pixels);
        std::free(image);
    }
    return 0;
}
