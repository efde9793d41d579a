#pragma once

#include <cstdint>
#include <cstring>

// glTF buffers and binary STL store little-endian numbers whatever the host.
// Each writes into storage sized beforehand and returns the byte after.

inline unsigned char* PutUint16(unsigned char* out, std::uint16_t value)
{
    out[0] = static_cast<unsigned char>(value & 0xffu);
    out[1] = static_cast<unsigned char>(value >> 8);
    return out + 2;
}

inline unsigned char* PutUint32(unsigned char* out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<unsigned char>((value >> (8 * i)) & 0xffu);
    return out + 4;
}

inline unsigned char* PutFloat(unsigned char* out, float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return PutUint32(out, bits);
}
