// The solids an export writes judged by independent programs: the manifold
// library (npm manifold-3d) builds them and measures their volume, ADMesh
// finds nothing to repair, the Khronos glTF validator nothing to report. The
// open surface is the input they must reject.

#include <gtest/gtest.h>

#include <cstdio>
#include <iostream>
#include <utility>
#include <string>
#include <vector>

#include "core/export/ExportMesh.h"
#include "core/export/GlbExporter.h"
#include "core/export/StlExporter.h"
#include "test_checker_support.h"
#include "test_export_support.h"
#include "test_solid_support.h"

namespace {

// The example vase as the program exports it with these options.
IndexedMesh ExampleVase(bool caps, double thickness)
{
    ExportOptions options;
    options.caps = caps;
    options.thickness = thickness;
    Result<IndexedMesh> mesh = BuildExportMesh(kExampleVase, kStraightPath, options);
    EXPECT_TRUE(mesh) << mesh.Error();
    return mesh ? std::move(mesh.Value()) : IndexedMesh();
}

std::vector<unsigned char> Stl(const IndexedMesh& mesh)
{
    return ExportStl(mesh, "vase").Value().at(0).bytes;
}

CheckerRun CheckManifold(const std::string& stl, double volume)
{
    const std::string modules = std::string("NODE_PATH='") + VELMORA_NODE_MODULES + "' ";
    char expected[32];
    std::snprintf(expected, sizeof expected, "%.17g", volume);
    return RunChecker(modules + "node " + kScripts + "check_manifold.js' " + stl + " " + expected + " 1e-5");
}

}  // namespace

TEST(SolidCheckers, ManifoldLibraryBuildsTheCappedVaseAndItsWallWithTheirVolumes)
{
    const ScratchDir dir;
    std::vector<CVector3> samples;
    std::vector<float> params;
    EvaluateCurve(kExampleVase, samples, params);
    const double lathe = LatheVolume(samples, 24, -7, 7, -5, 5);
    const CheckerRun capped = CheckManifold(dir.Write("capped.stl", Stl(ExampleVase(true, 0))), lathe);
    SKIP_OR_FAIL_IF_MISSING(capped, "The manifold library (npm manifold-3d)");
    std::cout << capped.output;
    EXPECT_EQ(capped.status, 0) << capped.output;
    EXPECT_EQ(capped.output.rfind("status NoError ", 0), 0u) << capped.output;

    const IndexedMesh wall = ExampleVase(false, 0.4);
    const CheckerRun walled = CheckManifold(dir.Write("wall.stl", Stl(wall)), SignedVolume(wall));
    std::cout << walled.output;
    EXPECT_EQ(walled.status, 0) << walled.output;

    // Open at both ends, and the capped one with a wrong volume.
    const CheckerRun open = CheckManifold(dir.Write("open.stl", Stl(ExampleVase(false, 0))), lathe);
    EXPECT_EQ(open.status, 1) << open.output;
    EXPECT_EQ(open.output.rfind("status NotManifold ", 0), 0u) << open.output;
    EXPECT_EQ(CheckManifold(dir.Write("capped.stl", Stl(ExampleVase(true, 0))), 1.001 * lathe).status, 1);
}

TEST(SolidCheckers, AdmeshAndTheGltfValidatorFindNothingToRepairInTheSolids)
{
    const ScratchDir dir;
    for (const auto& [caps, thickness] : {std::pair{true, 0.0}, std::pair{false, 0.4}}) {
        const IndexedMesh mesh = ExampleVase(caps, thickness);
        const CheckerRun run = RunChecker("admesh " + dir.Write("vase.stl", Stl(mesh)));
        SKIP_OR_FAIL_IF_MISSING(run, "Debian's admesh");
        ASSERT_EQ(run.status, 0) << run.output;
        for (const char* none : {"Degenerate facets", "Edges fixed", "Facets added", "Facets reversed",
                                 "Backwards edges", "Normals fixed"})
            EXPECT_EQ(Reported(run.output, none), 0) << none << run.output;
        EXPECT_NEAR(Reported(run.output, "Volume") / SignedVolume(mesh), 1.0, 1e-5) << run.output;

        const std::vector<unsigned char> glb = ExportGlb(mesh, nullptr, "vase").Value().at(0).bytes;
        const CheckerRun validated = Validate(dir.Write("vase.glb", glb));
        SKIP_OR_FAIL_IF_MISSING(validated, "The Khronos glTF validator");
        EXPECT_EQ(validated.status, 0) << validated.output;
        EXPECT_EQ(validated.output.rfind("errors 0 warnings 0 ", 0), 0u) << validated.output;
    }
    // The open surface: ADMesh closes its two holes.
    const CheckerRun open = RunChecker("admesh " + dir.Write("open.stl", Stl(ExampleVase(false, 0))));
    EXPECT_GT(Reported(open.output, "Facets added"), 0) << open.output;
}
