// A design exported as the program shows it, the output name's rules, and
// the name of the OBJ's copy of the texture.

#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <vector>

#include "core/Bezier.h"
#include "core/SweepMesh.h"
#include "core/export/DesignExport.h"
#include "core/export/IndexedMesh.h"
#include "tests/oracle/StripIndexedMesh.h"

TEST(DesignExport, TheFormatComesFromTheOutputNamesExtension)
{
    EXPECT_EQ(MeshFormatForPath("vase.glb"), MeshFormat::Glb);
    EXPECT_EQ(MeshFormatForPath("out/Vase.OBJ"), MeshFormat::Obj);
    EXPECT_EQ(MeshFormatForPath("a.b/vase.Stl"), MeshFormat::Stl);
    for (const char* refused : {"vase", "vase.png", "a.glb/vase", "vase.glb.txt", ".glb/x", "", "vase.", "vase.gl"})
        EXPECT_EQ(MeshFormatForPath(refused), std::nullopt) << refused;
    // Every format of the registry by its extension, in any case; no two
    // formats share one.
    for (const MeshFormatInfo& info : MeshFormats()) {
        std::string upper = info.extension;
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        for (const std::string& name : {"x." + std::string(info.extension), "x." + upper, "a/." + upper})
            EXPECT_EQ(MeshFormatForPath(name), info.format) << name;
        EXPECT_EQ(MeshFormatInfoOf(info.format).extension, info.extension);
    }
    EXPECT_EQ(MeshOutputNameRule(), "the output must end in .glb, .obj, .stl or .3mf");
}

TEST(DesignExport, TheSurfaceIsTheOneTheViewDraws)
{
    Design design;
    design.profile = {{0, -6, 0}, {5, -5, 0}, {1.5, 2, 0}, {3, 6, 0}};
    design.path = {{0, -5, 0}, {0, 5, 0}};
    std::vector<CVector3> samples;
    std::vector<float> params;
    EvaluateCurve(design.profile, samples, params);
    const IndexedMesh shown = BuildIndexedMesh(ComputeSweepMesh(samples, design.path, design.profile));
    const Result<ExportedFiles> exported = ExportDesignMesh(design, nullptr, MeshFormat::Stl, ".", "vase");
    ASSERT_TRUE(exported) << exported.Error();
    ASSERT_EQ(exported->size(), 1u);
    // 84 bytes of header and count, 50 a facet: one facet a triangle shown.
    EXPECT_EQ(exported->at(0).bytes.size(), 84 + 50 * shown.TriangleCount());

    design.profile.resize(1);  // one point: no curve, no surface
    EXPECT_FALSE(ExportDesignMesh(design, nullptr, MeshFormat::Glb, ".", "vase"));
}

TEST(DesignExport, TheTexturesCopyNeverReplacesTheDesignsOwnPicture)
{
    char name[] = "/tmp/velmora-texture-XXXXXX";
    ASSERT_NE(::mkdtemp(name), nullptr);
    const std::string dir = name;
    std::ofstream(dir + "/pic.png") << "the user's picture";
    std::ofstream(dir + "/copy.png") << "the user's picture";
    ASSERT_EQ(::symlink("pic.png", (dir + "/link.png").c_str()), 0);
    Design design;
    design.profile = {{0, -6, 0}, {5, -5, 0}, {1.5, 2, 0}, {3, 6, 0}};
    design.path = {{0, -5, 0}, {0, 5, 0}};
    const RgbImage texture{1, 1, {1, 2, 3}};
    // The picture's name in the export, which its material names; or why there is none.
    const auto PictureName = [&](const std::string& texturePath, const std::string& base) {
        design.texturePath = texturePath;
        const Result<ExportedFiles> result = ExportDesignMesh(design, &texture, MeshFormat::Obj, dir, base);
        if (!result)
            return result.Error();
        const std::string mtl(result->at(1).bytes.begin(), result->at(1).bytes.end());
        EXPECT_NE(mtl.find("map_Kd " + result->at(2).name + "\n"), std::string::npos) << mtl;
        return result->at(2).name;
    };

    EXPECT_EQ(PictureName(dir + "/pic.png", "pic"), "pic-texture.png");
    EXPECT_EQ(PictureName(dir + "/link.png", "pic"), "pic-texture.png");  // the picture, through a link
    EXPECT_EQ(PictureName(dir + "/copy.png", "pic"), "pic.png");          // alike, but another file
    EXPECT_EQ(PictureName(dir + "/pic.png", "my pic"), "my_pic.png");
    ASSERT_EQ(::link((dir + "/pic.png").c_str(), (dir + "/pic-texture.png").c_str()), 0);
    EXPECT_EQ(PictureName(dir + "/pic.png", "pic"), "The texture's copy cannot go to " + dir +
                                                        "/pic.png or pic-texture.png: both are the design's own "
                                                        "picture. Export under another name.");
    std::filesystem::remove_all(dir);
}
