// The bitmap reader against the BMP Suite corpus and its PNG renderings.

#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "PngTestReader.h"
#include "test_dib_support.h"
#include "core/bmp/DibReader.h"

using namespace dibtest;

namespace {

const std::string kSuite = VELMORA_BMP_SUITE;

std::vector<std::string> ListBitmaps(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* dir = ::opendir((kSuite + "/" + folder).c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".bmp") == 0)
                names.push_back(folder + "/" + name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The bitmap header's size field, after the file header when there is one.
std::uint32_t HeaderSize(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    unsigned char b[18] = {};
    in.read(reinterpret_cast<char*>(b), sizeof b);
    const unsigned char* h = (b[0] == 'B' && b[1] == 'M') ? b + 14 : b;
    return std::uint32_t(h[0]) | (std::uint32_t(h[1]) << 8) | (std::uint32_t(h[2]) << 16) |
           (std::uint32_t(h[3]) << 24);
}

const std::set<std::string> kMessages = {"Unknown DIB file format.", "Out of memory.",
                                         "Image file conversion error."};

} // namespace

TEST(DibSuite, GoodFilesMatchTheirReferenceRenderings)
{
    std::ifstream tsv(kSuite + "/reference.tsv");
    ASSERT_TRUE(tsv) << "no " << kSuite << "/reference.tsv";
    std::string line;
    int compared = 0;
    int refused = 0;
    while (std::getline(tsv, line)) {
        std::istringstream fields(line);
        std::string bitmap, reference;
        if (!(fields >> bitmap >> reference) || bitmap.compare(0, 2, "g/") != 0)
            continue;
        SCOPED_TRACE(bitmap);
        const std::string path = kSuite + "/" + bitmap;
        const std::uint32_t headerSize = HeaderSize(path);

        MessageRecorder recorder;
        ImagePtr image(LoadReported(path.c_str()));
        if (headerSize != 12 && headerSize != 40) {
            EXPECT_EQ(image, nullptr);
            ASSERT_EQ(recorder.boxes.size(), 1u);
            EXPECT_EQ(recorder.boxes[0].text, "Unknown DIB file format.");
            ++refused;
            continue;
        }
        ASSERT_NE(image, nullptr);
        EXPECT_TRUE(recorder.boxes.empty());

        // The "-v" rendering is resampled to square pixels; "-e" is the
        // same picture pixel for pixel.
        const std::size_t stretched = reference.rfind("-v.png");
        if (stretched != std::string::npos)
            reference.replace(stretched, 6, "-e.png");
        PngTestImage png;
        const std::string error = ReadPngForTest(kSuite + "/reference/" + reference, png);
        ASSERT_EQ(error, "");
        ASSERT_EQ(image->width, png.width);
        ASSERT_EQ(image->height, png.height);

        int mismatches = 0;
        for (int y = 0; y < png.height && mismatches < 5; ++y) {
            // Our rows are bottom-up, the PNG's top-down.
            const int row = image->height - 1 - y;
            for (int x = 0; x < png.width; ++x) {
                const unsigned char* got = image->pixels.data() + (std::size_t(row) * image->width + x) * 3;
                const unsigned char* want = png.rgb.data() + (std::size_t(y) * png.width + x) * 3;
                if (!std::equal(got, got + 3, want)) {
                    ADD_FAILURE() << "pixel " << x << "," << y << " is " << int(got[0]) << "," << int(got[1])
                                  << "," << int(got[2]) << " not " << int(want[0]) << "," << int(want[1])
                                  << "," << int(want[2]);
                    if (++mismatches >= 5)
                        break;
                }
            }
        }
        ++compared;
    }
    EXPECT_EQ(compared, 25);
    EXPECT_EQ(refused, 2);  // the 108- and 124-byte header versions
}

TEST(DibSuite, BadAndQuestionableFilesDecodeOrGiveOneMessage)
{
    std::vector<std::string> files = ListBitmaps("b");
    const std::vector<std::string> questionable = ListBitmaps("q");
    files.insert(files.end(), questionable.begin(), questionable.end());
    ASSERT_GT(files.size(), 50u);
    for (const std::string& name : files) {
        SCOPED_TRACE(name);
        MessageRecorder recorder;
        ImagePtr image(LoadReported((kSuite + "/" + name).c_str()));
        if (image) {
            EXPECT_TRUE(recorder.boxes.empty());
            EXPECT_GT(image->width, 0);
            EXPECT_GT(image->height, 0);
        } else {
            ASSERT_EQ(recorder.boxes.size(), 1u);
            EXPECT_EQ(kMessages.count(recorder.boxes[0].text), 1u) << recorder.boxes[0].text;
        }
    }
}

// The outcome for the bad files whose fault has one sound answer.
TEST(DibSuite, BadFilesGetTheirMessage)
{
    const struct {
        const char* file;
        const char* message;  // null: decodes
    } cases[] = {
        {"b/badbitcount.bmp", "Image file conversion error."},
        {"b/badheadersize.bmp", "Unknown DIB file format."},
        {"b/badpalettesize.bmp", "Image file conversion error."},  // table runs past the end
        {"b/badwidth.bmp", "Image file conversion error."},
        {"b/reallybig.bmp", "Out of memory."},
        {"b/rletopdown.bmp", "Image file conversion error."},
        {"b/shortfile.bmp", nullptr},  // partly decoded, the rest black
        {"b/badrle.bmp", nullptr},
        {"b/pal8badindex.bmp", nullptr},
        {"q/rgb24jpeg.bmp", "Unknown DIB file format."},
        {"q/pal8os2v2-16.bmp", "Unknown DIB file format."},
        {"q/rgba64.bmp", "Image file conversion error."},
        {"q/rgba32abf.bmp", "Image file conversion error."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        MessageRecorder recorder;
        ImagePtr image(LoadReported((kSuite + "/" + c.file).c_str()));
        if (c.message == nullptr) {
            EXPECT_NE(image, nullptr);
            EXPECT_TRUE(recorder.boxes.empty());
        } else {
            EXPECT_EQ(image, nullptr);
            ASSERT_EQ(recorder.boxes.size(), 1u);
            EXPECT_EQ(recorder.boxes[0].text, c.message);
        }
    }
}

// Questionable files whose intended picture is certain decode to it.
TEST(DibSuite, QuestionableFilesMatchWhereUnambiguous)
{
    const struct {
        const char* file;
        const char* reference;
    } cases[] = {
        {"q/pal2.bmp", "pal2.png"},
        {"q/pal2color.bmp", "pal2color.png"},
        {"q/pal8offs.bmp", "pal8.png"},
        {"q/pal8oversizepal.bmp", "pal8.png"},
        {"q/rgb24largepal.bmp", "rgb24.png"},
        {"q/rgb16-231.bmp", "rgb16-231.png"},
        {"q/rgb16-3103.bmp", "rgb16-3103.png"},
        {"q/rgb32fakealpha.bmp", "rgb24.png"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        MessageRecorder recorder;
        ImagePtr image(LoadReported((kSuite + "/" + c.file).c_str()));
        ASSERT_NE(image, nullptr);
        PngTestImage png;
        ASSERT_EQ(ReadPngForTest(kSuite + "/reference/" + c.reference, png), "");
        ASSERT_EQ(image->width, png.width);
        ASSERT_EQ(image->height, png.height);
        int mismatches = 0;
        for (int y = 0; y < png.height; ++y)
            for (int x = 0; x < png.width; ++x) {
                const unsigned char* got =
                    image->pixels.data() + (std::size_t(image->height - 1 - y) * image->width + x) * 3;
                const unsigned char* want = png.rgb.data() + (std::size_t(y) * png.width + x) * 3;
                mismatches += std::equal(got, got + 3, want) ? 0 : 1;
            }
        EXPECT_EQ(mismatches, 0);
    }
}
