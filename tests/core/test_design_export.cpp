// A design exported as the program shows it, and the output name's rules.

#include <gtest/gtest.h>

#include <vector>

#include "core/Bezier.h"
#include "core/SweepMesh.h"
#include "core/export/DesignExport.h"
#include "core/export/IndexedMesh.h"

TEST(DesignExport, TheFormatComesFromTheOutputNamesExtension)
{
    EXPECT_EQ(MeshFormatForPath("vase.glb"), MeshFormat::Glb);
    EXPECT_EQ(MeshFormatForPath("out/Vase.OBJ"), MeshFormat::Obj);
    EXPECT_EQ(MeshFormatForPath("a.b/vase.Stl"), MeshFormat::Stl);
    for (const char* refused : {"vase", "vase.png", "a.glb/vase", "vase.glb.txt", ".glb/x", ""})
        EXPECT_EQ(MeshFormatForPath(refused), std::nullopt) << refused;
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
    const ExportResult exported = ExportDesignMesh(design, nullptr, MeshFormat::Stl, "vase");
    ASSERT_TRUE(exported.Succeeded()) << exported.error;
    ASSERT_EQ(exported.files.size(), 1u);
    // 84 bytes of header and count, 50 a facet: one facet a triangle shown.
    EXPECT_EQ(exported.files[0].bytes.size(), 84 + 50 * shown.TriangleCount());

    design.profile.resize(1);  // one point: no curve, no surface
    EXPECT_FALSE(ExportDesignMesh(design, nullptr, MeshFormat::Glb, "vase").Succeeded());
}
