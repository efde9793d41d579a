#pragma once

// Shared pieces of the bitmap reader's tests: a message recorder, loads
// reported as the program reports them (the reason in one message; the box
// that shows it belongs to app/), an in-memory bitmap writer, a scratch
// directory and an owning image pointer.

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include "core/bmp/DibDecoder.h"
#include "core/bmp/DibReader.h"

namespace dibtest {

struct Box {
    std::string text;
};

// Records every reported message while alive; the newest live recorder gets
// them, and the one before it is current again when this one goes.
class MessageRecorder {
public:
    MessageRecorder() : previous_(std::exchange(Current(), this)) {}
    ~MessageRecorder() { Current() = previous_; }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    static void Report(const std::string& text)
    {
        if (Current() != nullptr)
            Current()->boxes.push_back({text});
    }

    std::vector<Box> boxes;

private:
    static MessageRecorder*& Current()
    {
        static MessageRecorder* current = nullptr;
        return current;
    }

    MessageRecorder* previous_;
};

using ImagePtr = std::unique_ptr<RgbImage>;

// A file loaded as the program loads a texture: the image, or null after
// the reason was reported.
inline ImagePtr LoadReported(const char* path)
{
    auto image = std::make_unique<RgbImage>();
    const DibResult result = LoadDibImage(path, *image);
    if (result == DibResult::Ok)
        return image;
    MessageRecorder::Report(DibLoadMessage(result, path));
    return nullptr;
}

// The same for a file image already in memory.
inline ImagePtr DecodeReported(const unsigned char* data, std::size_t size)
{
    auto image = std::make_unique<RgbImage>();
    const DibResult result = DecodeDib(data, size, *image);
    if (result == DibResult::Ok)
        return image;
    MessageRecorder::Report(DibLoadMessage(result, nullptr));
    return nullptr;
}

inline void Put16(std::vector<unsigned char>& v, std::uint32_t x)
{
    v.push_back(static_cast<unsigned char>(x));
    v.push_back(static_cast<unsigned char>(x >> 8));
}

inline void Put32(std::vector<unsigned char>& v, std::uint32_t x)
{
    Put16(v, x & 0xFFFF);
    Put16(v, x >> 16);
}

inline void Set32(std::vector<unsigned char>& v, std::size_t at, std::uint32_t x)
{
    for (int i = 0; i < 4; ++i)
        v[at + i] = static_cast<unsigned char>(x >> (8 * i));
}

// What goes into a bitmap with a 40-byte header.
struct BmpLayout {
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t clrUsed = 0;
    std::vector<std::uint32_t> palette;  // 0x00RRGGBB entries, written as-is
    std::vector<std::uint32_t> masks;    // written after the header when given
    std::vector<unsigned char> bits;
    bool fileHeader = true;
};

inline std::vector<unsigned char> MakeBmp(const BmpLayout& s)
{
    std::vector<unsigned char> v;
    if (s.fileHeader) {
        v = {'B', 'M'};
        Put32(v, 0);  // file size: never read
        Put32(v, 0);
        Put32(v, 0);  // bits offset, set below
    }
    Put32(v, 40);
    Put32(v, static_cast<std::uint32_t>(s.width));
    Put32(v, static_cast<std::uint32_t>(s.height));
    Put16(v, 1);
    Put16(v, s.bitCount);
    Put32(v, s.compression);
    Put32(v, 0);
    Put32(v, 2835);
    Put32(v, 2835);
    Put32(v, s.clrUsed);
    Put32(v, 0);
    for (std::uint32_t m : s.masks)
        Put32(v, m);
    for (std::uint32_t c : s.palette)
        Put32(v, c);
    if (s.fileHeader)
        Set32(v, 10, static_cast<std::uint32_t>(v.size()));
    v.insert(v.end(), s.bits.begin(), s.bits.end());
    return v;
}

// A fresh directory under the system's temp directory, removed with its
// files at the end of the test.
class TempDir {
public:
    TempDir()
    {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/velmora-dib-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (::mkdtemp(buffer.data()) != nullptr)
            path_ = buffer.data();
    }
    ~TempDir()
    {
        for (const std::string& f : files_)
            ::unlink(f.c_str());
        if (!path_.empty())
            ::rmdir(path_.c_str());
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    bool ok() const { return !path_.empty(); }
    const std::string& path() const { return path_; }

    std::string Write(const std::string& name, const std::vector<unsigned char>& bytes)
    {
        const std::string file = path_ + "/" + name;
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        files_.push_back(file);
        return file;
    }

private:
    std::string path_;
    std::vector<std::string> files_;
};

} // namespace dibtest
