// The in-memory decoder: bit depths, masks, run-length data and the
// encodings it refuses; plus a replay of the fuzzing corpus.

#include <gtest/gtest.h>

#include <dirent.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "test_dib_support.h"
#include "core/bmp/DibDecoder.h"

using namespace dibtest;

namespace {

using Rgb = std::vector<unsigned char>;

// Decodes bytes that must succeed; returns the RGB rows.
Rgb Decode(const std::vector<unsigned char>& file, int width, int height)
{
    RgbImage image;
    EXPECT_EQ(DecodeDib(file.data(), file.size(), image), DibResult::Ok);
    EXPECT_EQ(image.width, width);
    EXPECT_EQ(image.height, height);
    return image.pixels;
}

DibResult Refusal(const std::vector<unsigned char>& file)
{
    RgbImage image;
    const DibResult result = DecodeDib(file.data(), file.size(), image);
    EXPECT_EQ(image.pixels.empty(), result != DibResult::Ok);
    return result;
}

BmpLayout Layout(int width, int height, std::uint16_t bpp, std::vector<unsigned char> bits)
{
    BmpLayout s;
    s.width = width;
    s.height = height;
    s.bitCount = bpp;
    s.bits = std::move(bits);
    return s;
}

const std::vector<std::uint32_t> kFour = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};  // black, red, green, blue
constexpr unsigned char K = 0, F = 255;

} // namespace

TEST(DibDecoder, PackedIndexesReadMostSignificantFirst)
{
    BmpLayout one = Layout(9, 1, 1, {0x80 | 0x20, 0x80, 0, 0});  // pixels 0, 2 and 8 set
    one.palette = {0x000000, 0x0000FF};
    EXPECT_EQ(Decode(MakeBmp(one), 9, 1),
              (Rgb{K, K, F, K, K, K, K, K, F, K, K, K, K, K, K, K, K, K, K, K, K, K, K, K, K, K, F}));

    BmpLayout two = Layout(5, 1, 2, {0x1B, 0x40, 0, 0});  // 0 1 2 3 | 1
    two.palette = kFour;
    two.clrUsed = 4;
    EXPECT_EQ(Decode(MakeBmp(two), 5, 1), (Rgb{K, K, K, F, K, K, K, F, K, K, K, F, F, K, K}));

    BmpLayout four = Layout(3, 1, 4, {0x12, 0x30, 0, 0});
    four.palette = kFour;
    four.clrUsed = 4;
    EXPECT_EQ(Decode(MakeBmp(four), 3, 1), (Rgb{F, K, K, K, F, K, K, K, F}));
}

TEST(DibDecoder, IndexesBeyondTheTableAreBlack)
{
    BmpLayout s = Layout(4, 1, 8, {1, 4, 2, 255});
    s.palette = kFour;
    s.clrUsed = 3;  // blue (index 3) is outside the table
    s.palette.pop_back();
    EXPECT_EQ(Decode(MakeBmp(s), 4, 1), (Rgb{F, K, K, K, K, K, K, F, K, K, K, K}));

    // A 4-bit picture with no table at all decodes black, not garbage.
    BmpLayout none = Layout(2, 1, 4, {0x12, 0, 0, 0});
    none.clrUsed = 0;
    std::vector<unsigned char> file = MakeBmp(none);
    Set32(file, 14 + 32, 0x10000);  // colours used nonzero, low half zero: no table
    Set32(file, 10, 54);
    file.resize(54 + 4);
    EXPECT_EQ(Decode(file, 2, 1), Rgb(6, 0));
}

TEST(DibDecoder, SixteenAndThirtyTwoBitDefaultMasks)
{
    // 5-5-5: full red, full green, blue 1 of 31, white.
    EXPECT_EQ(Decode(MakeBmp(Layout(4, 1, 16, {0x00, 0x7C, 0xE0, 0x03, 0x01, 0x00, 0xFF, 0x7F})), 4, 1),
              (Rgb{F, K, K, K, F, K, K, K, 8, F, F, F}));
    // Blue, green, red, unused byte.
    EXPECT_EQ(Decode(MakeBmp(Layout(2, 1, 32, {1, 2, 3, 99, 4, 5, 6, 99})), 2, 1), (Rgb{3, 2, 1, 6, 5, 4}));
}

TEST(DibDecoder, BitFieldMasksFollowTheHeaderBeforeTheTable)
{
    BmpLayout s565 = Layout(3, 1, 16, {0x00, 0xF8, 0xE0, 0x07, 0x20, 0x00, 0, 0});
    s565.compression = 3;
    s565.masks = {0xF800, 0x07E0, 0x001F};
    EXPECT_EQ(Decode(MakeBmp(s565), 3, 1), (Rgb{F, K, K, K, F, K, K, 4, K}));

    // Without a file header the bits follow masks and table; a zero mask
    // gives a zero channel, wide masks are scaled down with rounding.
    BmpLayout wide = Layout(2, 1, 32, {0xFF, 0x03, 0x00, 0xC0, 0x00, 0x02, 0x00, 0x00});
    wide.compression = 3;
    wide.fileHeader = false;
    wide.masks = {0x000003FF, 0x00000000, 0x3FF00000};
    wide.clrUsed = 2;
    wide.palette = {0x123456, 0x654321};
    EXPECT_EQ(Decode(MakeBmp(wide), 2, 1), (Rgb{F, K, K, 128, K, K}));

    // Masks cut off by the end of the file.
    BmpLayout cut = s565;
    cut.masks = {};
    cut.bits.clear();
    std::vector<unsigned char> file = MakeBmp(cut);
    file.resize(file.size() + 8, 0);
    EXPECT_EQ(Refusal(file), DibResult::ConversionError);
}

TEST(DibDecoder, RunLengthEightFollowsItsCodes)
{
    BmpLayout s = Layout(4, 3, 8,
                     {3, 1,              // three red
                      0, 0,              // end of line
                      0, 3, 2, 3, 1, 0,  // absolute run of three, padded
                      0, 2, 0, 1,        // delta: up one row
                      6, 3,              // run clipped at the right edge
                      0, 1,              // end of bitmap
                      9, 1});            // never read
    s.compression = 1;
    s.palette = kFour;
    s.clrUsed = 4;
    EXPECT_EQ(Decode(MakeBmp(s), 4, 3), (Rgb{F, K, K, F, K, K, F, K, K, K, K, K,  //
                                            K, F, K, K, K, F, F, K, K, K, K, K,  //
                                            K, K, K, K, K, K, K, K, K, K, K, F}));
}

TEST(DibDecoder, RunLengthFourAlternatesNibbles)
{
    BmpLayout s = Layout(5, 2, 4,
                     {5, 0x12,           // 1 2 1 2 1
                      0, 0,
                      0, 3, 0x31, 0x20,  // absolute 3 1 2: two bytes, already even
                      0, 1});
    s.compression = 2;
    s.palette = kFour;
    s.clrUsed = 4;
    EXPECT_EQ(Decode(MakeBmp(s), 5, 2), (Rgb{F, K, K, K, F, K, F, K, K, K, F, K, F, K, K,  //
                                            K, K, F, F, K, K, K, F, K, K, K, K, K, K, K}));
}

TEST(DibDecoder, BrokenRunLengthDataStopsWhereItBreaks)
{
    const std::vector<std::vector<unsigned char>> broken = {
        {2, 1, 0, 5, 1},           // absolute run longer than the data
        {2, 1, 0, 2, 200},         // delta without its second byte
        {2, 1, 0, 2, 250, 250, 1, 1},  // delta far outside the picture
        {2, 1, 0},                 // odd trailing byte
    };
    for (const auto& bits : broken) {
        BmpLayout s = Layout(3, 2, 8, bits);
        s.compression = 1;
        s.palette = kFour;
        s.clrUsed = 4;
        const Rgb rgb = Decode(MakeBmp(s), 3, 2);
        ASSERT_EQ(rgb.size(), 18u);
        EXPECT_EQ(Rgb(rgb.begin(), rgb.begin() + 6), (Rgb{F, K, K, F, K, K}));
        EXPECT_EQ(Rgb(rgb.begin() + 9, rgb.end()), Rgb(9, 0));
    }
}

TEST(DibDecoder, UndecodableEncodingsAreConversionErrors)
{
    const struct {
        std::uint16_t bpp;
        std::uint32_t compression;
        int height;
    } cases[] = {{24, 4, 1}, {24, 5, 1}, {8, 3, 1}, {4, 1, 1}, {8, 2, 1}, {24, 6, 1},
                 {64, 0, 1}, {0, 0, 1},  {3, 0, 1}, {8, 1, -1}, {4, 2, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.bpp) + "/" + std::to_string(c.compression));
        BmpLayout s = Layout(2, c.height, c.bpp, std::vector<unsigned char>(64, 0));
        s.compression = c.compression;
        s.palette = kFour;
        s.clrUsed = 4;
        s.masks = c.compression == 3 ? std::vector<std::uint32_t>{1, 2, 4} : std::vector<std::uint32_t>{};
        EXPECT_EQ(Refusal(MakeBmp(s)), DibResult::ConversionError);
    }
}

TEST(DibDecoder, ParseNormalisesTheHeader)
{
    BmpLayout s = Layout(5, -3, 4, std::vector<unsigned char>(12, 0));
    s.palette = kFour;
    s.clrUsed = 4;
    const std::vector<unsigned char> file = MakeBmp(s);
    DibInfo info;
    ASSERT_EQ(ParseDib(file.data(), file.size(), info), DibResult::Ok);
    // Image size 0 becomes ((5 * 4 + 7) / 8) * -3 in 32-bit unsigned arithmetic.
    EXPECT_EQ(info.sizeImage, 3u * 0xFFFFFFFDu);
    EXPECT_EQ(info.clrUsed, 4u);
    EXPECT_EQ(info.paletteCount, 4u);
    EXPECT_EQ(info.bits, file.data() + 54 + 16);
    EXPECT_EQ(info.bitsSize, 12u);
}

TEST(DibDecoder, ReportsOneMessage)
{
    MessageRecorder recorder;
    const unsigned char junk[] = {'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
    EXPECT_EQ(DecodeReported(junk, sizeof junk), nullptr);
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].text, "Unknown DIB file format.");
    EXPECT_EQ(DibLoadMessage(DibResult::Ok, nullptr), "");
}

// Every input the fuzzer kept decodes or is refused with one message, without
// faults (run under the sanitizers in CI).
TEST(DibDecoder, FuzzCorpusReplays)
{
    DIR* dir = ::opendir(VELMORA_FUZZ_CORPUS);
    if (dir == nullptr)
        GTEST_SKIP() << "no corpus at " << VELMORA_FUZZ_CORPUS;
    int replayed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        std::ifstream in(std::string(VELMORA_FUZZ_CORPUS) + "/" + entry->d_name, std::ios::binary);
        const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        SCOPED_TRACE(entry->d_name);
        MessageRecorder recorder;
        ImagePtr image(DecodeReported(bytes.data(), bytes.size()));
        EXPECT_EQ(recorder.boxes.size(), image ? 0u : 1u);
        ++replayed;
    }
    ::closedir(dir);
    EXPECT_GT(replayed, 0);
}
