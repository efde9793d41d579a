// The sweep's resolution as data: the settings' ranges, the default steps the
// surface has always been built with, and surfaces of other slice and
// interval counts, exported and checked against the literal build.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/Bezier.h"
#include "core/SweepMesh.h"
#include "core/design/Design.h"
#include "core/design/DesignDocument.h"
#include "core/export/DesignExport.h"
#include "core/export/IndexedMesh.h"
#include "tests/oracle/StripIndexedMesh.h"
#include "tests/oracle/LiteralSweep.h"

namespace {

ExportOptions OutputWithSweep(const SweepSettings& sweep)
{
    ExportOptions output;
    output.sweep = sweep;
    return output;
}

using Strips = std::vector<std::vector<SweepVertex>>;

Strips Sweep(const Design& design, const SweepSettings& settings)
{
    std::vector<CVector3> samples;
    std::vector<float> params;
    EvaluateCurve(design.profile, samples, params, settings.intervalsPerSpan);
    return ComputeSweepMesh(samples, design.path, design.profile, settings);
}

Design MakeDesign(std::vector<CVector3> profile, std::vector<CVector3> path)
{
    Design design;
    design.profile = std::move(profile);
    design.path = std::move(path);
    return design;
}

}  // namespace

TEST(SweepSettings, ValuesOutOfRangeAreRefusedWithTheRange)
{
    for (const SweepSettings good : {SweepSettings{}, SweepSettings{3, 1}, SweepSettings{1024, 1000}})
        EXPECT_TRUE(CheckSweepSettings(good)) << good.slices << " " << good.intervalsPerSpan;
    EXPECT_EQ(CheckSweepSettings({2, 10}).Error(), "slices must be 3 to 1024, not 2");
    EXPECT_EQ(CheckSweepSettings({1025, 10}).Error(), "slices must be 3 to 1024, not 1025");
    EXPECT_EQ(CheckSweepSettings({24, 0}).Error(), "intervals per span must be 1 to 1000, not 0");
    EXPECT_EQ(CheckSweepSettings({24, 1001}).Error(), "intervals per span must be 1 to 1000, not 1001");

    // Whatever reaches the builds unchecked builds nothing; an export says why.
    const Design vase = MakeDesign({{1, -3, 0}, {4, 0, 0}, {2, 4, 0}}, {{0, -5, 0}, {0, 5, 0}});
    EXPECT_TRUE(Sweep(vase, {0, 10}).empty());
    EXPECT_TRUE(Sweep(vase, {-24, 10}).empty());
    Design coarse = vase;
    coarse.output.sweep = {24, 0};
    EXPECT_EQ(ExportDesignMesh(coarse, nullptr, MeshFormat::Stl, ".", "vase").Error(),
              "intervals per span must be 1 to 1000, not 0");
}

TEST(SweepSettings, TheDefaultStepsAreTheOnesTheSurfaceWasAlwaysBuiltWith)
{
    const SweepSettings defaults;
    // pi / 12 to the bit, and 1 / 24 in single precision widened to double.
    EXPECT_EQ(defaults.AngleStep(), 0.2617993877991494);
    EXPECT_EQ(static_cast<double>(defaults.TextureStep()), 0.0416666679084301);
    EXPECT_EQ(defaults.intervalsPerSpan, 10);
}

// A design made in the core alone, as the editors make one: points clicked
// into the profile, the path set, finer sweep settings chosen.
Design MadeInTheDocument(const std::vector<CVector3>& profile, const std::vector<CVector3>& path)
{
    DesignDocument document;
    for (const CVector3& point : profile)
        document.Profile().Click(point.x, point.y);
    EXPECT_TRUE(document.Path().Assign(path, -1));
    EXPECT_TRUE(document.SetOutput(OutputWithSweep({48, 20})));
    return document.Value();
}

TEST(SweepSettings, FortyEightSlicesAndTwentyIntervalsExportAClosedSurface)
{
    const SweepSettings fine{48, 20};
    // Four profile points and three path points, then the profile resampled
    // along a longer path: R = 20 * (4 - 1) + 1 rings either way.
    for (const Design& design : {MadeInTheDocument({{1, -4, 0}, {3, -1, 0}, {2, 2, 0}, {1.5, 5, 0}},
                                                   {{0, -5, 0}, {2, 0, 0}, {0, 5, 0}}),
                                 MadeInTheDocument({{1, -4, 0}, {3, 5, 0}},
                                                   {{0, -5, 0}, {2, -2, 0}, {-1, 2, 0}, {0, 5, 0}})}) {
        const std::size_t rings = 61;
        const Strips strips = Sweep(design, fine);
        ASSERT_EQ(strips.size(), 48u);
        ASSERT_EQ(strips[0].size(), 2 * rings);
        for (std::size_t i = 0; i < 2 * rings; i += 2) {
            // The last slice's right column is the first one's left column.
            EXPECT_LT(strips[47][i + 1].position.Subtract(strips[0][i].position).Length(), 1e-12) << i;
            EXPECT_EQ(strips[0][i].s, 0.0f);
            EXPECT_NEAR(strips[47][i + 1].s, 1.0f, 1e-6);
        }

        // 49 texture columns a ring (S = 0 and S = 1 at the seam), 48 places.
        const IndexedMesh mesh = BuildIndexedMesh(strips);
        EXPECT_EQ(mesh.vertices.size(), 49 * rings);
        EXPECT_EQ(mesh.TriangleCount(), 2 * 48 * (rings - 1));
        std::set<std::array<double, 3>> places;
        for (const MeshVertex& v : mesh.vertices)
            places.insert({v.position.x, v.position.y, v.position.z});
        EXPECT_EQ(places.size(), 48 * rings);

        const Result<ExportedFiles> stl = ExportDesignMesh(design, nullptr, MeshFormat::Stl, ".", "fine");
        ASSERT_TRUE(stl) << stl.Error();
        EXPECT_EQ(stl->at(0).bytes.size(), 84 + 50 * mesh.TriangleCount());
        const Result<ExportedFiles> obj = ExportDesignMesh(design, nullptr, MeshFormat::Obj, ".", "fine");
        ASSERT_TRUE(obj) << obj.Error();
        std::istringstream text(std::string(obj->at(0).bytes.begin(), obj->at(0).bytes.end()));
        std::size_t positions = 0;
        for (std::string line; std::getline(text, line);)
            positions += line.rfind("v ", 0) == 0;
        EXPECT_EQ(positions, mesh.vertices.size());
    }
}

TEST(SweepSettings, TheFewestAndTheMostSlicesGoOnceRound)
{
    // A cylinder of radius 2 turned about the Y axis: slice v starts at the
    // angle v * 2 pi / N, and the last one ends at S = 1.
    const Design cylinder = MakeDesign({{2, -3, 0}, {2, 3, 0}}, {{0, -5, 0}, {0, 5, 0}});
    for (const int slices : {3, 1024}) {
        const Strips strips = Sweep(cylinder, {slices, 10});
        ASSERT_EQ(strips.size(), static_cast<std::size_t>(slices));
        for (int v = 0; v < slices; ++v) {
            const CVector3 p = strips[v][0].position;
            const double a = 2.0 * M_PI * v / slices;
            ASSERT_NEAR(p.x, 2 * std::cos(a), 1e-12) << v;
            ASSERT_NEAR(p.z, -2 * std::sin(a), 1e-12) << v;
        }
        EXPECT_NEAR(strips.back()[1].s, 1.0f, 1e-6);
        EXPECT_EQ(BuildIndexedMesh(strips).vertices.size(), static_cast<std::size_t>(slices + 1) * 11);
    }
}

TEST(SweepSettings, OtherSlicesAndIntervalsMatchTheLiteralBuildBitForBit)
{
    const std::vector<CVector3> path = {{0, -5, 0}, {3, -1, 0}, {-2, 2, 0}, {1, 5, 0}};
    const std::vector<std::vector<CVector3>> profiles = {
        {{1, -3, 0}, {4, 0, 0}, {2, 4, 0}},                                  // resampled along the path
        {{0.5, -4, 0}, {3, -2, 0.2}, {1, 0, 0}, {5, 2, 0}, {2.5, 6, -0.1}},  // its own samples
    };
    for (const SweepSettings settings : {SweepSettings{7, 3}, SweepSettings{5, 1}, SweepSettings{48, 20}}) {
        for (const auto& profile : profiles) {
            SCOPED_TRACE(testing::Message() << settings.slices << " slices, " << settings.intervalsPerSpan
                                            << " intervals, " << profile.size() << " profile points");
            std::vector<CVector3> samples;
            std::vector<float> params;
            EvaluateCurve(profile, samples, params, settings.intervalsPerSpan);
            const Strips reference = literal::SweepMesh(samples, path, profile, settings);
            const Strips fast = ComputeSweepMesh(samples, path, profile, settings);
            ASSERT_EQ(fast.size(), static_cast<std::size_t>(settings.slices));
            const std::size_t spans = std::max(profile.size(), path.size()) - 1;
            EXPECT_EQ(fast[0].size(), 2 * (settings.intervalsPerSpan * spans + 1));
            const literal::MeshComparison diff = literal::CompareMeshes(reference, fast);
            EXPECT_EQ(diff.nonFiniteReference, 0);
            EXPECT_EQ(diff.mismatches, 0) << diff.firstMismatch;
        }
    }
}
