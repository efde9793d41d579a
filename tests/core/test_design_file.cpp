// The .velmora design file: layout, bit-exact round trips, refused files,
// large files of small values, texture paths, mutated input.

#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "core/design/DesignFile.h"
#include "core/design/TexturePath.h"

namespace fs = std::filesystem;

namespace {

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Every field's bytes, to compare designs bit for bit.
std::string Bits(const Design& d)
{
    const auto bytes = [](const void* p, std::size_t n) { return std::string(static_cast<const char*>(p), n); };
    return bytes(d.profile.data(), d.profile.size() * sizeof(CVector3)) + "|"
           + bytes(d.path.data(), d.path.size() * sizeof(CVector3)) + "|" + std::to_string(d.degree) + "|"
           + d.texturePath + "|" + std::to_string(int(d.renderMode)) + "|"
           + bytes(d.viewRotation, sizeof d.viewRotation) + bytes(&d.viewDistance, sizeof(float)) + "|"
           + std::to_string(d.output.sweep.slices) + " " + std::to_string(d.output.sweep.intervalsPerSpan) + " "
           + std::to_string(d.output.caps) + " " + bytes(&d.output.thickness, sizeof(double))
           + bytes(&d.output.scale, sizeof(double)) + " " + std::to_string(d.output.units ? int(*d.output.units) : -1)
           + " " + std::to_string(d.output.up ? int(*d.output.up) : -1);
}

template <typename T, typename U>
T RandomFinite(std::mt19937_64& rng)
{
    T value;
    do {
        const U bits = static_cast<U>(rng());
        std::memcpy(&value, &bits, sizeof value);
    } while (!std::isfinite(value));
    return value;
}

Design RandomDesign(std::mt19937_64& rng, std::size_t points, const std::string& texture)
{
    const auto real = [&rng] { return RandomFinite<double, std::uint64_t>(rng); };
    Design d;
    for (std::size_t i = 0; i < points; ++i) {
        d.profile.emplace_back(std::fabs(real()), real(), 0.0);
        d.path.emplace_back(real(), real(), 0.0);
    }
    d.degree = static_cast<std::uint32_t>(rng() % 100 + 1);
    d.texturePath = texture;
    d.renderMode = static_cast<RenderMode>(rng() % 3);
    for (float& f : d.viewRotation)
        f = RandomFinite<float, std::uint32_t>(rng);
    d.viewDistance = std::fabs(RandomFinite<float, std::uint32_t>(rng)) + FLT_TRUE_MIN;
    // Every export option in its range, the format's defaults among them.
    ExportOptions& o = d.output;
    o.sweep.slices = static_cast<int>(rng() % 1022 + 3);
    o.sweep.intervalsPerSpan = static_cast<int>(rng() % 1000 + 1);
    o.caps = rng() % 2;
    o.thickness = std::fmod(std::fabs(RandomFinite<double, std::uint64_t>(rng)), ExportOptions::kMaxThickness);
    o.scale = std::fmod(std::fabs(RandomFinite<double, std::uint64_t>(rng)), ExportOptions::kMaxScale) + DBL_TRUE_MIN;
    o.units = rng() % 5 ? std::optional(LengthUnits()[rng() % 4].unit) : std::nullopt;
    o.up = rng() % 3 ? std::optional(rng() % 2 ? UpAxis::Y : UpAxis::Z) : std::nullopt;
    return d;
}

std::string Format(const Design& d, const std::string& path = "/d/vase.velmora")
{
    const Result<std::string> text = FormatDesignText(d, path);
    EXPECT_TRUE(text) << text.Error();
    return text ? *text : std::string();
}

} // namespace

TEST(DesignFile, WritesTheDocumentedLayout)
{
    Design d;
    d.profile = {{0.0, -0.0, 0.0}, {0.1, 1e21, 0.0}};
    d.degree = 3;
    d.texturePath = "/d/tex/a \"b\".bmp";
    d.renderMode = RenderMode::Wireframe;
    d.viewRotation[1] = 0.1f;
    d.viewRotation[2] = -0.0f;
    d.viewRotation[3] = FLT_TRUE_MIN;
    d.viewRotation[4] = 7.038531e-26f;  // its shortest form reads back, through a double, one float off
    d.viewDistance = FLT_MAX;
    d.output.sweep = {48, 5};
    d.output.thickness = 0.25;
    d.output.units = LengthUnit::Centimetre;
    EXPECT_EQ(Format(d), R"({
  "format": "velmora-design",
  "version": 2,
  "profile": [
    {"x": 0.0, "y": -0.0},
    {"x": 0.1, "y": 1e+21}
  ],
  "path": [],
  "degree": 3,
  "texture": "tex/a \"b\".bmp",
  "render": "wireframe",
  "view": {
    "rotation": [
      1.0, 0.1, -0.0, 1e-45,
      7.038530691851209e-26, 1.0, 0.0, 0.0,
      0.0, 0.0, 1.0, 0.0,
      0.0, 0.0, 0.0, 1.0
    ],
    "distance": 3.4028235e+38
  },
  "export": {
    "slices": 48,
    "intervals": 5,
    "caps": false,
    "thickness": 0.25,
    "scale": 1.0,
    "units": "cm",
    "up": null
  }
}
)");
}

TEST(DesignFile, RandomDesignsRoundTripBitForBitAndSaveIdentically)
{
    char dir[] = "/tmp/velmora-design-XXXXXX";
    ASSERT_NE(::mkdtemp(dir), nullptr);
    const std::string file = std::string(dir) + "/random.velmora", texture = std::string(dir) + "/t.bmp";
    Design edges;
    for (const double v : {DBL_TRUE_MIN, DBL_MIN, DBL_MAX, -0.0, 0.1, 1.0 / 3.0, 0x1p60, 1.2345678901234568e20, 1e21,
                           1e-7, 2.2250738585072009e-308})
        edges.path.emplace_back(v, -v, 0.0);
    const float floats[] = {FLT_TRUE_MIN, -FLT_TRUE_MIN, FLT_MIN, FLT_MAX, -FLT_MAX, -0.0f, 0.1f, 1.0f / 3.0f,
                            16777217.0f, 1e-40f, 0x1.fffffcp-127f, 3.0e38f, 1e10f, 0.7071068f, -7.038531e-26f, 2.0f};
    std::memcpy(edges.viewRotation, floats, sizeof floats);
    edges.viewDistance = FLT_TRUE_MIN;
    edges.texturePath = texture;

    std::mt19937_64 rng(20261207);
    for (int round = 0; round < 20200; ++round) {
        const Design d = round == 0 ? edges
                                    : RandomDesign(rng, round > 200 ? 0 : round % 2 ? 100 : 3, round % 3 ? "" : texture);
        // Through the file: save -> open -> save; the rest in memory.
        const std::string saved = Format(d, file);
        const Result<void> written = round < 10 ? SaveDesignFile(file, d) : Result<void>();
        ASSERT_TRUE(written) << written.Error();
        ASSERT_EQ(round >= 10 ? saved : ReadText(file), saved);
        const Result<Design> read = round < 10 ? OpenDesignFile(file) : ParseDesignText(saved, file);
        ASSERT_TRUE(read) << read.Error();
        ASSERT_EQ(Bits(*read), Bits(d)) << saved;
        ASSERT_EQ(Format(*read, file), saved) << "round " << round;
    }
    fs::remove_all(dir);
}

TEST(DesignFile, RefusesBadFilesNamingTheFileAndTheFirstFault)
{
    Design good;
    good.profile = {{1.0, 0.0, 0.0}, {2.0, 1.0, 0.0}};
    good.path = {{0.0, 0.0, 0.0}, {0.0, 1.0, 0.0}};
    const std::string base = Format(good);
    const auto edit = [](std::string text, const std::string& from, const std::string& to) {
        const std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? text : text.replace(at, from.size(), to);
    };
    const auto with = [&](const std::string& from, const std::string& to) { return edit(base, from, to); };
    std::string many = "\"profile\": [";
    for (int i = 0; i <= 1000; ++i)
        many += i ? ", {\"x\": 1, \"y\": 1}" : "{\"x\": 1, \"y\": 1}";
    const std::pair<std::string, std::string> cases[] = {
        {"", "the file is empty"},
        {"{\"format\": ", "not valid JSON at line 1, column 12 (unexpected end of input; expected '[', '{', or a literal)"},
        {base.substr(0, base.size() - 3), "not valid JSON at line 32, column 4 (unexpected end of input; expected '}')"},
        {"[1]", "not a Velmora design (no \"format\")"},
        {with("velmora-design", "velmora-drawing"), "not a Velmora design (\"format\" is \"velmora-drawing\")"},
        {with("\"version\": 2", "\"version\": 3"), "version 3 is newer than this program reads (2)"},
        {with("\"version\": 2", "\"version\": 0"), "\"version\" 0 is not a valid version"},
        {with("\"version\": 2", "\"version\": -2"), "\"version\" -2 is not a valid version"},
        {with("\"degree\": 1,", "\"degre\": 1,"), "unknown key \"degre\""},
        {with("\"degree\": 1,", ""), "\"degree\" is missing"},
        {with("\"degree\": 1", "\"degree\": \"1\""), "\"degree\" must be a whole number"},
        {with("\"degree\": 1", "\"degree\": 101"), "\"degree\" is 101, must be 1 to 100"},
        {with("\"degree\": 1", "\"degree\": -1"), "\"degree\" is -1, must be 1 to 100"},
        {with("\"path\": [\n    {\"x\": 0.0, \"y\": 0.0},\n    {\"x\": 0.0, \"y\": 1.0}\n  ]", "\"path\": 7"), "\"path\" must be an array of points"},
        {with("{\"x\": 2.0, \"y\": 1.0}", "{\"x\": -2.0, \"y\": 1e999}"), "\"profile\" point 1 \"y\" is not a finite number"},
        {with("{\"x\": 2.0, \"y\": 1.0}", "{\"x\": -2.0, \"y\": 1.0}"), "\"profile\" point 1 has X < 0"},
        {with("{\"x\": 0.0, \"y\": 1.0}", "{\"x\": -1e999, \"y\": 1.0}"), "\"path\" point 1 \"x\" is not a finite number"},
        {with("{\"x\": 0.0, \"y\": 1.0}", "{\"x\": \"0\", \"y\": 1.0}"), "\"path\" point 1 \"x\" must be a number"},
        {with("{\"x\": 0.0, \"y\": 1.0}", "{\"x\": 0.0}"), "\"path\" point 1 has no \"y\""},
        {with("{\"x\": 0.0, \"y\": 1.0}", "{\"x\": 0, \"y\": 1, \"z\": 0}"), "\"path\" point 1 has an unknown key \"z\""},
        {with("{\"x\": 0.0, \"y\": 1.0}", "[0, 1]"), "\"path\" point 1 must be an object with \"x\" and \"y\""},
        {with("\"profile\": [", many + ", "), "\"profile\" has 1003 points, at most 1000 are allowed"},
        {with("\"texture\": null", "\"texture\": 5"), "\"texture\" must be a path or null"},
        {with("\"render\": \"solid\"", "\"render\": \"shaded\""), "\"render\" must be \"solid\", \"wireframe\" or \"point\""},
        {with("0.0, 0.0, 0.0, 1.0\n", "0.0, 0.0, 1.0\n"), "\"view\" \"rotation\" must be an array of 16 numbers"},
        {with("1.0, 0.0, 0.0, 0.0,\n      0.0, 1.0", "1.0, 0.0, 0.0, 0.0,\n      0.0, 1e39"), "\"view\" \"rotation\" number 5 is too large"},
        {with("\"distance\": 20.0", "\"distance\": 0"), "\"view\" \"distance\" must be greater than 0"},
        {with("\"distance\": 20.0", "\"fov\": 1"), "\"view\" has an unknown key \"fov\""},
        {with("\"profile\": [", "\"profile\": [[[[[[[[[[[[[[[[[[[[]]]]]]]]]]]]]]]]]]], \"p\": ["), "not a design: nested more than 16 levels deep"},
    };
    for (const auto& [text, fault] : cases) {
        const Result<Design> read = ParseDesignText(text, "/d/bad.velmora");
        ASSERT_FALSE(read) << fault;
        EXPECT_EQ(read.Error(), "bad.velmora: " + fault);
    }
    // The first fault is the one reported: here the profile's, not the degree's.
    const std::string twoFaults = edit(with("{\"x\": 2.0", "{\"x\": -2.0"), "\"degree\": 1", "\"degree\": 0");
    EXPECT_EQ(ParseDesignText(twoFaults, "bad.velmora").Error(), "bad.velmora: \"profile\" point 1 has X < 0");
    // The file system's faults, and a file refused by its size before it is parsed.
    const std::string dir = fs::temp_directory_path().string(), name = "velmora-big-" + std::to_string(::getpid());
    const std::string big = dir + "/" + name;
    EXPECT_EQ(OpenDesignFile(big).Error(), big + ": cannot open the file (No such file or directory)");
    EXPECT_EQ(OpenDesignFile(dir).Error(), dir + ": is a folder, not a design file");
    std::ofstream(big, std::ios::binary) << base << std::string(kMaxDesignFileBytes, ' ');
    EXPECT_EQ(OpenDesignFile(big).Error(), name + ": the file is larger than 4 MiB");
    fs::remove(big);
    // What reading refuses, saving refuses too.
    Design bad = good;
    bad.profile[1].x = -1.0;
    EXPECT_EQ(FormatDesignText(bad, "/d/vase.velmora").Error(), "vase.velmora: \"profile\" point 1 has X < 0");
    bad = good;
    bad.texturePath = "/d/\xff.bmp";
    EXPECT_EQ(FormatDesignText(bad, "/d/vase.velmora").Error(), "vase.velmora: the texture path is not UTF-8 text");
    bad = good;
    bad.renderMode = static_cast<RenderMode>(3);
    EXPECT_EQ(FormatDesignText(bad, "/d/vase.velmora").Error(),
              "vase.velmora: the render mode is not solid, wireframe or point");
}

TEST(DesignFile, Version1OpensWithDefaultOptionsAndVersion2OptionsAreChecked)
{
    Design good;
    good.profile = {{1.0, 0.0, 0.0}, {2.0, 1.0, 0.0}};
    good.path = {{0.0, 0.0, 0.0}, {0.0, 1.0, 0.0}};
    good.output.sweep = {7, 3};
    good.output.caps = true;
    good.output.scale = 2.5;
    good.output.up = UpAxis::Z;
    const std::string base = Format(good);
    const auto with = [&](const std::string& from, const std::string& to) {
        const std::size_t at = base.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? base : std::string(base).replace(at, from.size(), to);
    };

    // Everything before the options.
    const std::string head = base.substr(0, base.find(",\n  \"export\""));
    ASSERT_LT(head.size(), base.size());
    // A file of the first version: no options stored, the defaults meant.
    std::string version1 = head + "\n}\n";
    version1.replace(version1.find("\"version\": 2"), 12, "\"version\": 1");
    const Result<Design> old = ParseDesignText(version1, "/d/old.velmora");
    ASSERT_TRUE(old) << old.Error();
    EXPECT_EQ(old->profile.size(), 2u);
    EXPECT_EQ(old->output, ExportOptions());
    // Saved again, it is a version 2 file with them all.
    EXPECT_NE(Format(*old).find("\"version\": 2"), std::string::npos);
    // The options are read only from files that have them.
    EXPECT_EQ(ParseDesignText(with("\"version\": 2", "\"version\": 1"), "/d/old.velmora").Error(),
              "old.velmora: \"export\" needs version 2 (the file says 1)");

    const std::pair<std::string, std::string> cases[] = {
        {head + "\n}\n", "\"export\" is missing"},
        {with("\"slices\": 7", "\"slices\": 2"), "\"export\" \"slices\": slices must be 3 to 1024, not 2"},
        {with("\"slices\": 7", "\"slices\": 7.5"), "\"export\" \"slices\" must be a whole number"},
        {with("\"slices\": 7", "\"slices\": 99999999999"), "\"export\" \"slices\" 99999999999 is out of range"},
        {with("\"intervals\": 3", "\"intervals\": 1001"),
         "\"export\" \"intervals\": intervals per span must be 1 to 1000, not 1001"},
        {with("\"intervals\": 3,", ""), "\"export\" has no \"intervals\""},
        {with("\"caps\": true", "\"caps\": 1"), "\"export\" \"caps\" must be true or false"},
        {with("\"thickness\": 0.0", "\"thickness\": -1"), "\"export\" \"thickness\": thickness must be 0 to 1e+06, not -1"},
        {with("\"scale\": 2.5", "\"scale\": 0"), "\"export\" \"scale\": scale must be above 0 and at most 1e+06, not 0"},
        {with("\"scale\": 2.5", "\"scale\": \"big\""), "\"export\" \"scale\" must be a number"},
        {with("\"units\": null", "\"units\": \"ft\""), "\"export\" \"units\" must be \"mm\", \"cm\", \"m\" or \"in\" or null"},
        {with("\"up\": \"z\"", "\"up\": \"x\""), "\"export\" \"up\" must be \"y\" or \"z\" or null"},
        {with("\"up\": \"z\"", "\"up\": \"z\", \"colour\": 1"), "\"export\" has an unknown key \"colour\""},
        {head + ",\n  \"export\": 5\n}\n", "\"export\" must be an object of export options"},
    };
    for (const auto& [text, fault] : cases) {
        const Result<Design> read = ParseDesignText(text, "/d/vase.velmora");
        ASSERT_FALSE(read) << fault;
        EXPECT_EQ(read.Error(), "vase.velmora: " + fault);
    }
    // Absent units and up are the formats' own, as null is.
    const Result<Design> defaults = ParseDesignText(with(",\n    \"up\": \"z\"", ""), "/d/vase.velmora");
    ASSERT_TRUE(defaults) << defaults.Error();
    EXPECT_EQ(defaults->output.up, std::nullopt);
    EXPECT_EQ(defaults->output.scale, 2.5);
}

TEST(DesignFile, RefusesNulBytesTextAfterTheValueAndRepeatedKeys)
{
    Design good;
    good.profile = {{1.0, 0.0, 0.0}, {2.0, 1.0, 0.0}};
    good.path = {{0.0, 0.0, 0.0}, {0.0, 1.0, 0.0}};
    const std::string base = Format(good);
    const auto with = [&](const std::string& from, const std::string& to) {
        const std::size_t at = base.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? base : std::string(base).replace(at, from.size(), to);
    };
    using namespace std::string_literals;
    const std::pair<std::string, std::string> cases[] = {
        // nlohmann's lexer stops at a NUL byte, so what follows one went unread.
        {base + "\0GARBAGE {[[[ not json"s, "the file has a NUL byte at line 34, column 1"},
        {with("\"version\": 2", "\"version\": 2 \0"s), "the file has a NUL byte at line 3, column 16"},
        {base + "GARBAGE", "text after the end of the JSON value at line 34, column 1"},
        {base + "\n  {}", "text after the end of the JSON value at line 35, column 3"},
        {"[1] 2", "text after the end of the JSON value at line 1, column 5"},
        {with("\"format\": \"velmora-design\"", "\"format\": \"not-a-design\", \"format\": \"velmora-design\""),
         "\"format\" appears twice"},
        {with("\"version\": 2", "\"version\": 99, \"version\": 2"), "\"version\" appears twice"},
        {with("\"version\": 2", "\"version\": 2, \"for\\u006dat\": 0"), "\"format\" appears twice"},
        {with("{\"x\": 2.0, \"y\": 1.0}", "{\"x\": 2.0, \"y\": 1.0, \"x\": 3.0}"), "\"profile\" point 1 \"x\" appears twice"},
        {with("\"distance\": 20.0", "\"distance\": 20.0, \"distance\": 5.0"), "\"view\" \"distance\" appears twice"},
    };
    for (const auto& [text, fault] : cases) {
        const Result<Design> read = ParseDesignText(text, "/d/vase.velmora");
        ASSERT_FALSE(read) << fault;
        EXPECT_EQ(read.Error(), "vase.velmora: " + fault);
    }
    // Whitespace after the value is no fault, nor the same key in two objects.
    const Result<Design> spaced = ParseDesignText(base + " \t\r\n\n", "/d/vase.velmora");
    ASSERT_TRUE(spaced) << spaced.Error();
    EXPECT_EQ(Bits(*spaced), Bits(*ParseDesignText(base, "/d/vase.velmora")));
}

// Many small values, which took time growing with the square of their number
// while every closed object made the parser rescan its parent. Past 100,000
// values a file is refused as it is read; below, for what it holds.
TEST(DesignFile, LargeFilesOfManySmallValuesAreRefusedForWhatTheyHold)
{
    const std::string head = "{\"format\": \"velmora-design\", \"version\": 1, ";
    const auto repeated = [](std::string text, const std::string& item, std::size_t count, const std::string& close) {
        for (std::size_t i = 0; i < count; ++i)
            text += (i ? "," : "") + item;
        return text + close;
    };
    const auto keys = [&](std::size_t count, const std::string& close) {
        std::string text = head;
        for (std::size_t i = 0; i < count; ++i)
            text += "\"k" + std::to_string(i) + "\": {}, ";
        return text + close;
    };
    const std::string tooMany = "not a design: more than 100000 values";
    // The design, "format", "version" and "x" are 4 values.
    const std::pair<std::string, std::string> cases[] = {
        {repeated(head + "\"x\": [", "0", 99996, "]}"), "unknown key \"x\""},
        {repeated(head + "\"x\": [", "0", 99997, "]}"), tooMany},
        {repeated(head + "\"profile\": [", "{}", 400000, "]}"), tooMany},
        {repeated(head + "\"x\": [", "[]", 600000, "]}"), tooMany},
        {keys(200000, "\"profile\": []}"), tooMany},
        {repeated(head + "\"profile\": [], \"path\": [", "{\"x\": 0, \"y\": 0}", 100000, "]}"), tooMany},
        {repeated(head + "\"profile\": [], \"path\": [", "{\"x\": 0, \"y\": 0}", 30000, "]}"),
         "\"path\" has 30000 points, at most 1000 are allowed"},
        {keys(90000, "\"profile\": []}"), "unknown key \"k0\""},
        {keys(90000, "\"k89999\": 1}"), "\"k89999\" appears twice"},
    };
    for (const auto& [text, fault] : cases) {
        EXPECT_LT(text.size(), kMaxDesignFileBytes);
        const Result<Design> read = ParseDesignText(text, "/d/big.velmora");
        ASSERT_FALSE(read) << fault;
        EXPECT_EQ(read.Error(), "big.velmora: " + fault);
    }
}

TEST(DesignFile, TexturePathsAreRelativeBesideOrBelowTheDesignOtherwiseAbsolute)
{
    const char* const cases[][3] = {
        // design file, texture, stored form
        {"/d/a/vase.velmora", "/d/a/t.bmp", "t.bmp"},
        {"/d/a/vase.velmora", "/d/a/tex/sub/t.bmp", "tex/sub/t.bmp"},
        {"/d/a/vase.velmora", "/d/t.bmp", "/d/t.bmp"},
        {"/d/a/vase.velmora", "/e/a/t.bmp", "/e/a/t.bmp"},
        {"/d/a/vase.velmora", "/d/ab/t.bmp", "/d/ab/t.bmp"},
        {"/d/a/b/../vase.velmora", "/d/a/./c/t.bmp", "c/t.bmp"},
        {"/d/a/vase.velmora", "/d/a/tex/../../t.bmp", "/d/t.bmp"},
        {"/d/a/vase.velmora", "/d/a/..t.bmp", "..t.bmp"},
        {"/vase.velmora", "/t.bmp", "t.bmp"},
        {"/d/my designs/vase \xc3\xbc.velmora", "/d/my designs/tex/Bild \xc3\x9f \xe7\x94\xbb.bmp",
         "tex/Bild \xc3\x9f \xe7\x94\xbb.bmp"},
        {"/d/a/vase.velmora", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MakeStoredTexturePath(c[0], c[1]), c[2]) << c[0] << " " << c[1];
        EXPECT_EQ(ResolveStoredTexturePath(c[0], c[2]), fs::path(c[1]).lexically_normal().string()) << c[2];
    }
    EXPECT_EQ(ResolveStoredTexturePath("/d/a/vase.velmora", "../tex/t.bmp"), "/d/tex/t.bmp");
    EXPECT_EQ(ResolveStoredTexturePath("/d/a/vase.velmora", "/e/../f/t.bmp"), "/f/t.bmp");
    const std::string cwd = fs::current_path().string();
    EXPECT_EQ(MakeStoredTexturePath("vase.velmora", cwd + "/tex/t.bmp"), "tex/t.bmp");
    EXPECT_EQ(ResolveStoredTexturePath("sub/vase.velmora", "t.bmp"), cwd + "/sub/t.bmp");

    // A texture that is not there is no fault: the path is just resolved.
    Design d;
    d.texturePath = "/d/my designs/gone \xc3\xbc.bmp";
    const Result<Design> read = ParseDesignText(Format(d, "/d/my designs/vase.velmora"), "/d/my designs/vase.velmora");
    ASSERT_TRUE(read) << read.Error();
    EXPECT_EQ(read->texturePath, d.texturePath);
}

TEST(DesignFile, MutatedAndTruncatedFilesAreReadOrRefusedNeverCrash)
{
    std::mt19937_64 rng(7);
    Design d = RandomDesign(rng, 6, "/d/tex/t.bmp");
    const std::string base = Format(d);
    const auto check = [](const std::string& text) {
        const Result<Design> read = ParseDesignText(text, "/d/m.velmora");
        ASSERT_TRUE(read || read.Error().rfind("m.velmora: ", 0) == 0) << text;
    };
    for (std::size_t n = 0; n < base.size(); ++n)
        check(base.substr(0, n));
    const char pieces[] = "{}[],:\"\\0123456789.eE+-nulltruefalse \n\xff\xc3";
    for (int round = 0; round < 20000; ++round) {
        std::string text = base;
        for (int edits = 1 + int(rng() % 4); edits > 0; --edits) {
            const std::size_t at = rng() % text.size();
            switch (rng() % 4) {
            case 0: text[at] = static_cast<char>(rng()); break;
            case 1: text.insert(at, 1, pieces[rng() % (sizeof pieces - 1)]); break;
            case 2: text.erase(at, rng() % 16); break;
            default: text.insert(at, text.substr(rng() % text.size(), rng() % 64)); break;
            }
            if (text.empty())
                text = "{";
        }
        check(text);
    }
}
