// LoadDibImage and DibColorCount on files written to a scratch directory.

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "test_dib_support.h"
#include "core/bmp/BitmapFile.h"
#include "core/bmp/DibDecoder.h"
#include "core/bmp/DibReader.h"

using namespace dibtest;

namespace {

std::vector<unsigned char> Bytes(const RgbImage& image)
{
    return image.pixels;
}

class DibReader : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.ok()); }

    // Loads bytes as a file; expects exactly one message when `message` is given.
    ImagePtr Load(const std::vector<unsigned char>& bytes, const char* message = nullptr)
    {
        MessageRecorder recorder;
        ImagePtr image(LoadReported(dir.Write("f" + std::to_string(++files) + ".bmp", bytes).c_str()));
        if (message == nullptr) {
            EXPECT_NE(image, nullptr);
            EXPECT_TRUE(recorder.boxes.empty()) << recorder.boxes[0].text;
        } else {
            EXPECT_EQ(image, nullptr);
            EXPECT_EQ(recorder.boxes.size(), 1u);
            if (!recorder.boxes.empty()) {
                EXPECT_EQ(recorder.boxes[0].text, message);
            }
        }
        return image;
    }

    // The open-failure message for `path`, which must yield no image.
    std::string OpenFailure(const std::string& path)
    {
        MessageRecorder recorder;
        ImagePtr image(LoadReported(path.c_str()));
        EXPECT_EQ(image, nullptr);
        EXPECT_EQ(recorder.boxes.size(), 1u);
        return recorder.boxes.empty() ? std::string() : recorder.boxes[0].text;
    }

    TempDir dir;
    int files = 0;
};

// An 8-bit picture whose table maps index i to red i, green 2i, blue 3i.
BmpLayout Grey8(int width, int height, unsigned entries, std::uint32_t clrUsed, bool fileHeader)
{
    BmpLayout s;
    s.width = width;
    s.height = height;
    s.bitCount = 8;
    s.clrUsed = clrUsed;
    s.fileHeader = fileHeader;
    for (unsigned i = 0; i < entries; ++i)
        s.palette.push_back((i << 16) | (((2 * i) & 0xFF) << 8) | ((3 * i) & 0xFF));
    const int stride = (width + 3) & ~3;
    s.bits.assign(std::size_t(stride) * height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            s.bits[std::size_t(y) * stride + x] = static_cast<unsigned char>((y * width + x) % 20);
    return s;
}

std::vector<unsigned char> ExpectedGrey8(int width, int height)
{
    std::vector<unsigned char> rgb;
    for (int i = 0; i < width * height; ++i) {
        const int v = i % 20;
        rgb.insert(rgb.end(), {static_cast<unsigned char>(v), static_cast<unsigned char>(2 * v),
                               static_cast<unsigned char>(3 * v)});
    }
    return rgb;
}

} // namespace

TEST_F(DibReader, RedBottomLeftPixelComesFirst)
{
    BmpLayout s;
    s.width = 64;
    s.height = 32;
    s.bits.assign(64 * 32 * 3, 0x40);
    s.bits[0] = 0;  // blue, green, red of the bottom-left pixel
    s.bits[1] = 0;
    s.bits[2] = 255;
    ImagePtr image = Load(MakeBmp(s));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 64);
    EXPECT_EQ(image->height, 32);
    EXPECT_EQ(image->pixels[0], 255);
    EXPECT_EQ(image->pixels[1], 0);
    EXPECT_EQ(image->pixels[2], 0);
    EXPECT_EQ(image->pixels[3], 0x40);
}

TEST_F(DibReader, TwentyFourBitRowsAreUnpaddedAndBitsFollowTheOffset)
{
    BmpLayout s;
    s.width = 3;
    s.height = 2;
    // Source rows are 9 bytes plus 3 of padding; output rows are 9 bytes.
    s.bits = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0xEE, 0xEE, 0xEE, 10, 11, 12, 13, 14, 15, 16, 17, 18, 0xEE, 0xEE, 0xEE};
    std::vector<unsigned char> file = MakeBmp(s);
    // Move the bits away from the header: only the offset may locate them.
    file.insert(file.begin() + 54, 10, 0xAB);
    Set32(file, 10, 64);
    ImagePtr image = Load(file);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Bytes(*image), (std::vector<unsigned char>{3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10, 15, 14, 13, 18,
                                                          17, 16}));
}

TEST_F(DibReader, ColourTableLengthLocatesHeaderlessBits)
{
    // Colours used 0 means a 256-entry table; 20 means 20 entries.
    ImagePtr full = Load(MakeBmp(Grey8(5, 3, 256, 0, false)));
    ImagePtr twenty = Load(MakeBmp(Grey8(5, 3, 20, 20, false)));
    ImagePtr withHeader = Load(MakeBmp(Grey8(5, 3, 20, 20, true)));
    ASSERT_TRUE(full && twenty && withHeader);
    EXPECT_EQ(Bytes(*full), ExpectedGrey8(5, 3));
    EXPECT_EQ(Bytes(*twenty), ExpectedGrey8(5, 3));
    EXPECT_EQ(Bytes(*withHeader), ExpectedGrey8(5, 3));
}

TEST_F(DibReader, CoreHeaderLoadsLikeInfoHeader)
{
    const BmpLayout info = Grey8(6, 4, 256, 0, true);
    for (bool fileHeader : {true, false}) {
        SCOPED_TRACE(fileHeader);
        std::vector<unsigned char> core;
        if (fileHeader)
            core = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        Put32(core, 12);
        Put16(core, 6);
        Put16(core, 4);
        Put16(core, 1);
        Put16(core, 8);
        for (std::uint32_t c : info.palette) {
            core.push_back(static_cast<unsigned char>(c));
            core.push_back(static_cast<unsigned char>(c >> 8));
            core.push_back(static_cast<unsigned char>(c >> 16));
        }
        if (fileHeader)
            Set32(core, 10, static_cast<std::uint32_t>(core.size()));
        core.insert(core.end(), info.bits.begin(), info.bits.end());
        ImagePtr image = Load(core);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->width, 6);
        EXPECT_EQ(image->height, 4);
        EXPECT_EQ(Bytes(*image), ExpectedGrey8(6, 4));
    }
}

TEST_F(DibReader, TopDownLoadsUprightWithPositiveHeight)
{
    BmpLayout up = Grey8(4, 3, 256, 0, true);
    BmpLayout down = up;
    down.height = -3;
    down.bits.clear();
    for (int row = 2; row >= 0; --row)
        down.bits.insert(down.bits.end(), up.bits.begin() + row * 4, up.bits.begin() + row * 4 + 4);
    ImagePtr a = Load(MakeBmp(up));
    ImagePtr b = Load(MakeBmp(down));
    ASSERT_TRUE(a && b);
    EXPECT_EQ(b->height, 3);
    EXPECT_EQ(Bytes(*a), Bytes(*b));
}

TEST_F(DibReader, OtherHeaderSizesAndNonBitmapsAreUnknown)
{
    for (std::uint32_t size : {108u, 124u, 64u, 16u, 0u, 41u}) {
        SCOPED_TRACE(size);
        std::vector<unsigned char> file = MakeBmp(Grey8(4, 4, 256, 0, true));
        file.insert(file.begin() + 54, size > 40 ? size - 40 : 0, 0);
        Set32(file, 14, size);
        Load(file, "Unknown DIB file format.");
    }
    const std::string text = "Just some text, not a picture.\n";
    Load(std::vector<unsigned char>(text.begin(), text.end()), "Unknown DIB file format.");
    Load({'B', 'M', 0, 0}, "Unknown DIB file format.");
    Load({'x'}, "Unknown DIB file format.");
}

TEST_F(DibReader, UnopenableFilesNameThePath)
{
    const std::string empty = dir.Write("empty.bmp", {});
    EXPECT_EQ(OpenFailure(empty), "Failed to open DIB file " + empty + ".\n");
    const std::string missing = dir.path() + "/missing.bmp";
    EXPECT_EQ(OpenFailure(missing), "Failed to open DIB file " + missing + ".\n");
    EXPECT_EQ(OpenFailure(dir.path()), "Failed to open DIB file " + dir.path() + ".\n");
    // A path far beyond any fixed buffer is shown whole.
    const std::string longPath = dir.path() + "/" + std::string(300, 'd') + "/" + std::string(4000, 'n') + ".bmp";
    EXPECT_EQ(OpenFailure(longPath), "Failed to open DIB file " + longPath + ".\n");
    EXPECT_EQ(OpenFailure(""), "Failed to open DIB file .\n");
}

TEST_F(DibReader, OnlyRegularFilesAreOpenedAndNothingBlocks)
{
    // A FIFO without a writer, a directory, a device and a socket are each
    // refused with the open-failure box, without waiting on or reading them.
    const std::string fifo = dir.path() + "/pipe.bmp";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string socketPath = dir.path() + "/socket.bmp";
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, socketPath.c_str());
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const std::string loop = dir.path() + "/loop.bmp";
    ASSERT_EQ(::symlink(loop.c_str(), loop.c_str()), 0);
    for (const std::string& path : {fifo, dir.path(), std::string("/dev/zero"), socketPath, loop}) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(BitmapFile(path.c_str()).IsOpen());
        EXPECT_EQ(OpenFailure(path), "Failed to open DIB file " + path + ".\n");
    }
    ::close(listener);
}

TEST_F(DibReader, AFileChangedBetweenOpeningAndReadingIsReadAsItStands)
{
    const std::vector<unsigned char> good = MakeBmp(Grey8(4, 4, 256, 0, true));
    const std::string path = dir.Write("changing.bmp", good);
    auto decode = [](const std::vector<unsigned char>& bytes) {
        RgbImage image;
        return DecodeDib(bytes.data(), bytes.size(), image);
    };

    // Cut inside the colour table: fewer bytes arrive, and they are refused.
    BitmapFile cut(path.c_str());
    ASSERT_TRUE(cut.IsOpen());
    ASSERT_EQ(::truncate(path.c_str(), 100), 0);
    const std::vector<unsigned char> cutBytes = cut.ReadAll().ToVector();
    EXPECT_EQ(cutBytes.size(), 100u);
    EXPECT_EQ(decode(cutBytes), DibResult::ConversionError);

    // Emptied: nothing arrives, which the loader reports as unopenable.
    BitmapFile emptied(path.c_str());
    ASSERT_TRUE(emptied.IsOpen());
    ASSERT_EQ(::truncate(path.c_str(), 0), 0);
    EXPECT_EQ(emptied.ReadAll().size, 0u);

    // Rewritten in place with another picture: that picture arrives whole.
    dir.Write("changing.bmp", good);
    BitmapFile rewritten(path.c_str());
    ASSERT_TRUE(rewritten.IsOpen());
    const std::vector<unsigned char> other = MakeBmp(Grey8(8, 2, 256, 0, true));
    dir.Write("changing.bmp", other);
    const std::vector<unsigned char> otherBytes = rewritten.ReadAll().ToVector();
    EXPECT_EQ(otherBytes, other);
    EXPECT_EQ(decode(otherBytes), DibResult::Ok);
}

TEST_F(DibReader, TruncatedHeadersAndTablesAreRefused)
{
    const std::vector<unsigned char> good = MakeBmp(Grey8(4, 4, 256, 0, true));
    // Header cut short, table cut short, bits offset at and past the end.
    Load(std::vector<unsigned char>(good.begin(), good.begin() + 30), "Image file conversion error.");
    Load(std::vector<unsigned char>(good.begin(), good.begin() + 54 + 500), "Image file conversion error.");
    std::vector<unsigned char> offset = good;
    Set32(offset, 10, static_cast<std::uint32_t>(good.size()));
    Load(offset, "Image file conversion error.");
    Set32(offset, 10, 0xFFFFFFF0u);
    Load(offset, "Image file conversion error.");
    // Headerless, the table alone reaching the end leaves no bits.
    const std::vector<unsigned char> bare = MakeBmp(Grey8(4, 4, 256, 0, false));
    Load(std::vector<unsigned char>(bare.begin(), bare.begin() + 40 + 1024), "Image file conversion error.");
}

TEST_F(DibReader, ShortPixelDataLeavesTheRestBlack)
{
    BmpLayout s = Grey8(4, 4, 256, 0, true);
    std::vector<unsigned char> file = MakeBmp(s);
    file.resize(file.size() - 4 - 2);  // the top row and half the row below it are gone
    ImagePtr image = Load(file);
    ASSERT_NE(image, nullptr);
    std::vector<unsigned char> want = ExpectedGrey8(4, 4);
    std::fill(want.begin() + 2 * 12 + 2 * 3, want.end(), 0);
    EXPECT_EQ(Bytes(*image), want);
}

TEST_F(DibReader, EmptyAndAbsurdDimensionsAreRefused)
{
    for (auto [w, h] : {std::pair{0, 4}, {4, 0}, {-4, 4}}) {
        BmpLayout s = Grey8(4, 4, 256, 0, true);
        s.width = w;
        s.height = h;
        Load(MakeBmp(s), "Image file conversion error.");
    }
    // Refused before allocating, whatever data follows.
    for (auto [w, h] : {std::pair{32769, 1}, {1, -32769}, {8193, 8192}, {0x7FFFFFFF, 0x7FFFFFFF},
                        {1, int(0x80000000u)}}) {
        SCOPED_TRACE(w);
        BmpLayout s = Grey8(4, 4, 256, 0, true);
        s.width = w;
        s.height = h;
        Load(MakeBmp(s), "Out of memory.");
    }
}

TEST(DibColorCount, FollowsHeaderAndDepth)
{
    auto core = [](std::uint16_t bpp) {
        std::vector<unsigned char> h;
        Put32(h, 12);
        Put32(h, 0x00010001);
        Put16(h, 1);
        Put16(h, bpp);
        h.resize(40, 0xFF);  // nothing past the core header may be read
        return DibColorCount(h.data());
    };
    EXPECT_EQ(core(1), 2);
    EXPECT_EQ(core(2), 0);
    EXPECT_EQ(core(4), 16);
    EXPECT_EQ(core(8), 256);
    EXPECT_EQ(core(24), 0);

    auto info = [](std::uint32_t size, std::uint16_t bpp, std::uint32_t used) {
        BmpLayout s;
        s.bitCount = bpp;
        s.clrUsed = used;
        s.fileHeader = false;
        std::vector<unsigned char> h = MakeBmp(s);
        Set32(h, 0, size);
        return DibColorCount(h.data());
    };
    EXPECT_EQ(info(40, 8, 0), 256);
    EXPECT_EQ(info(40, 8, 20), 20);
    EXPECT_EQ(info(40, 24, 0), 0);
    EXPECT_EQ(info(40, 32, 0), 0);
    EXPECT_EQ(info(40, 24, 300), 300);
    EXPECT_EQ(info(40, 4, 0x12340014u), 20);  // low 16 bits only
    EXPECT_EQ(info(40, 4, 0x00010000u), 0);  // nonzero field, zero low half: 0, not the depth's 16
    EXPECT_EQ(info(108, 1, 0), 2);
    EXPECT_EQ(info(124, 8, 7), 7);
}
