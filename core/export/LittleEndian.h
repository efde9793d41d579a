#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

// glTF buffers and binary STL store little-endian numbers whatever the host.

inline void AppendUint16(std::vector<unsigned char>& out, std::uint16_t value)
{
    out.push_back(static_cast<unsigned char>(value & 0xffu));
    out.push_back(static_cast<unsigned char>(value >> 8));
}

inline void AppendUint32(std::vector<unsigned char>& out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<unsigned char>((value >> shift) & 0xffu));
}

inline void AppendFloat(std::vector<unsigned char>& out, float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    AppendUint32(out, bits);
}
