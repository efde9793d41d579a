// The exported mesh closed into a solid: caps on the open ends, or a wall of
// a thickness; closed and facing out whichever way the profile is drawn, with
// the volume of the sampled profile turned round the axis, and refused where
// the profile or the wall would not enclose one solid.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/export/ExportGeometry.h"
#include "core/export/ExportMesh.h"
#include "core/export/ProfileOffset.h"
#include "core/export/SolidMesh.h"
#include "test_export_support.h"
#include "test_solid_support.h"

namespace {

ExportOptions Options(bool caps, double thickness, int slices = 24)
{
    ExportOptions options;
    options.caps = caps;
    options.thickness = thickness;
    options.sweep.slices = slices;
    return options;
}

std::vector<CVector3> Samples(const std::vector<CVector3>& controls)
{
    std::vector<CVector3> samples;
    std::vector<float> params;
    EvaluateCurve(controls, samples, params);
    return samples;
}

std::vector<CVector3> Reversed(const std::vector<CVector3>& points)
{
    return {points.rbegin(), points.rend()};
}

// The rings laid as they are, between their own lowest and highest points.
SweepProfile Laid(const std::vector<CVector3>& rings)
{
    SweepProfile laid{rings, rings[0].y, rings[0].y};
    for (const CVector3& p : rings) {
        laid.bottom = std::min(laid.bottom, p.y);
        laid.height = std::max(laid.height, p.y);
    }
    laid.height -= laid.bottom;
    return laid;
}

// A path up the axis over the rings' own heights: a lathe that leaves them where they are.
std::vector<CVector3> AxisOf(const SweepProfile& laid)
{
    return {{0, laid.bottom, 0}, {0, laid.bottom + laid.height, 0}};
}

// Every triangle from `first` on faces the way its corners' normals point
// (the surface's own normals are smooth, and lean off its faces at corners).
void ExpectNormalsAlongWinding(const IndexedMesh& mesh, std::size_t first = 0)
{
    for (std::size_t t = 3 * first; t < mesh.triangles.size(); t += 3) {
        const std::optional<CVector3> face =
            TriangleNormal(mesh.vertices[mesh.triangles[t]].position, mesh.vertices[mesh.triangles[t + 1]].position,
                           mesh.vertices[mesh.triangles[t + 2]].position);
        ASSERT_TRUE(face);
        for (int c = 0; c < 3; ++c) {
            const CVector3& n = mesh.vertices[mesh.triangles[t + c]].normal;
            ASSERT_GT(face->x * n.x + face->y * n.y + face->z * n.z, 0.0) << "triangle " << t / 3;
        }
    }
}

std::string Refusal(const std::vector<CVector3>& rings, double thickness)
{
    const SweepProfile laid = Laid(rings);
    const Result<IndexedMesh> mesh = BuildSolidMesh(laid, AxisOf(laid), Options(true, thickness));
    return mesh ? "made a mesh" : mesh.Error();
}

const std::vector<CVector3> kCupWithBottom = {{0, -3, 0}, {3, -3, 0}, {1, 0, 0}, {4, 3, 0}};

}  // namespace

TEST(SolidMesh, CapsAndWallsCloseTheSurfaceFacingOutDrawnEitherWay)
{
    // Open at both ends; on the axis at the start; a bent path. With a wall
    // each is a tube (a torus), or a sphere when closed at one end.
    struct Design {
        std::vector<CVector3> profile, path;
        long wallEuler;
    };
    const std::vector<Design> designs = {
        {kExampleVase, kStraightPath, 0}, {kCupWithBottom, kStraightPath, 2}, {kOpenProfile, kBentPath, 0}};
    for (const Design& design : designs) {
        for (const auto& drawn : {design.profile, Reversed(design.profile)}) {
            const Result<IndexedMesh> open = BuildExportMesh(drawn, design.path, Options(false, 0));
            EXPECT_FALSE(TopologyOf(*open).everyEdgeTwice) << "the surface alone has open ends";
            const std::pair<ExportOptions, long> solids[] = {{Options(true, 0), 2},
                                                             {Options(false, 0.3), design.wallEuler}};
            for (const auto& [options, euler] : solids) {
                const Result<IndexedMesh> solid = BuildExportMesh(drawn, design.path, options);
                ASSERT_TRUE(solid) << solid.Error();
                const Topology topology = TopologyOf(*solid);
                EXPECT_TRUE(topology.ClosedAndConsistent());
                EXPECT_EQ(topology.Euler(), euler);
                EXPECT_GT(SignedVolume(*solid), 0.0);
                if (options.caps)
                    ExpectNormalsAlongWinding(*solid, open->TriangleCount());
            }
        }
    }
}

TEST(SolidMesh, CappedLatheHasTheVolumeOfTheSampledProfileTurnedOnNFlatSides)
{
    const std::vector<CVector3> samples = Samples(kExampleVase);
    const SweepProfile laid = Laid(samples);
    for (int slices : {3, 24, 200}) {
        for (const auto& drawn : {kExampleVase, Reversed(kExampleVase)}) {
            const Result<IndexedMesh> solid = BuildExportMesh(drawn, kStraightPath, Options(true, 0, slices));
            ASSERT_TRUE(solid) << solid.Error();
            const double expected =
                LatheVolume(samples, slices, laid.bottom, laid.bottom + laid.height, -5.0, 5.0);
            EXPECT_NEAR(SignedVolume(*solid) / expected, 1.0, 1e-9) << slices << " slices";
            EXPECT_TRUE(TopologyOf(*solid).ClosedAndConsistent()) << slices << " slices";
        }
    }
}

TEST(SolidMesh, WallIsTheSolidLessItsInnerSideAndClosed)
{
    // A cylinder of radius 5 with a wall 1 thick: a tube from radius 4 to 5.
    {
        const SweepProfile laid = Laid({{5, 0, 0}, {5, 10, 0}});
        for (const auto& drawn : {laid, SweepProfile{Reversed(laid.rings), 0, 10}}) {
            const Result<IndexedMesh> tube = BuildSolidMesh(drawn, AxisOf(laid), Options(false, 1, 200));
            ASSERT_TRUE(tube) << tube.Error();
            const double polygon = 200 * std::sin(2 * M_PI / 200) / 2;  // area of the unit 200-gon
            EXPECT_NEAR(SignedVolume(*tube) / ((25 - 16) * polygon * 10), 1.0, 1e-12);
            const Topology topology = TopologyOf(*tube);
            EXPECT_TRUE(topology.ClosedAndConsistent());
            EXPECT_EQ(topology.Euler(), 0) << "a tube is a torus";
            ExpectNormalsAlongWinding(*tube);
        }
    }
    // The example vase (open ends: a tube) and a cup (a bottom on the axis:
    // a sphere): their slanted ends' bands leave the wall a little more or
    // less than the outer solid less the inner one.
    for (const auto& [profile, euler] : {std::pair{kExampleVase, 0L}, std::pair{kCupWithBottom, 2L}}) {
        for (const auto& drawn : {profile, Reversed(profile)}) {
            const SweepProfile laid = Laid(Samples(drawn));
            const Result<IndexedMesh> wall = BuildSolidMesh(laid, AxisOf(laid), Options(true, 0.4));
            ASSERT_TRUE(wall) << wall.Error();
            const Result<std::vector<CVector3>> inner = InnerProfile(OutlineOfProfile(laid.rings).Value(), 0.4);
            ASSERT_TRUE(inner) << inner.Error();
            const double top = laid.bottom + laid.height;
            const double outerVolume = LatheVolume(laid.rings, 24, laid.bottom, top, laid.bottom, top);
            const double innerVolume = LatheVolume(*inner, 24, laid.bottom, top, laid.bottom, top);
            // The wall's cross-section: out along the profile, back along the inner side.
            std::vector<CVector3> section = laid.rings;
            section.insert(section.end(), inner->rbegin(), inner->rend());
            section.push_back(section.front());
            const double wallVolume = LatheVolume(section, 24, laid.bottom, top, laid.bottom, top);
            EXPECT_NEAR(wallVolume, outerVolume - innerVolume, 0.5 * (outerVolume - innerVolume));
            EXPECT_NEAR(SignedVolume(*wall) / wallVolume, 1.0, 1e-9);
            const Topology topology = TopologyOf(*wall);
            EXPECT_TRUE(topology.ClosedAndConsistent());
            EXPECT_EQ(topology.Euler(), euler);
            ExpectNormalsAlongWinding(*wall);
        }
    }
}

TEST(SolidMesh, AProfileEndingWhereItStartsNeedsNoCapsAndTakesAWall)
{
    std::vector<CVector3> ring;
    for (int i = 0; i <= 40; ++i)
        ring.push_back({3 + std::cos(i * M_PI / 20), std::sin(i * M_PI / 20), 0});
    ring.back() = ring.front();
    const SweepProfile laid = Laid(ring);
    const Result<IndexedMesh> torus = BuildSolidMesh(laid, AxisOf(laid), Options(true, 0));
    ASSERT_TRUE(torus) << torus.Error();
    EXPECT_EQ(torus->TriangleCount(), 40u * 24 * 2) << "no caps";
    EXPECT_EQ(TopologyOf(*torus).Euler(), 0);
    const Result<IndexedMesh> shell = BuildSolidMesh(laid, AxisOf(laid), Options(false, 0.25));
    ASSERT_TRUE(shell) << shell.Error();
    const Topology topology = TopologyOf(*shell);
    EXPECT_TRUE(topology.ClosedAndConsistent());
    EXPECT_EQ(topology.Euler(), 0) << "two tori";
    const Result<std::vector<CVector3>> inner = InnerProfile(OutlineOfProfile(laid.rings).Value(), 0.25);
    const double outerVolume = LatheVolume(ring, 24, -1, 1, -1, 1);
    EXPECT_NEAR(SignedVolume(*shell) / (outerVolume - LatheVolume(*inner, 24, -1, 1, -1, 1)), 1.0, 1e-9);
}

TEST(SolidMesh, ProfilesAndWallsThatEncloseNoSingleSolidAreRefusedWithTheHeight)
{
    EXPECT_EQ(Refusal({{1, 0, 0}, {3, 2, 0}, {3, 1, 0}, {1, 3, 0}}, 0), "the profile crosses itself near height 1.5");
    // The caps of ends at one height lie on each other.
    EXPECT_EQ(Refusal({{1, 0, 0}, {1, -1, 0}, {3, -1, 0}, {3, 0, 0}}, 0), "the profile crosses itself near height 0");
    // The solid would be pinched to a point.
    EXPECT_EQ(Refusal({{1, 0, 0}, {0, 1.25, 0}, {1, 2, 0}}, 0), "the profile touches the axis near height 1.25");
    // A cap crossing the surface: the profile comes back down inside its top.
    EXPECT_EQ(Refusal({{1, 0, 0}, {1, 2, 0}, {3, 2, 0}, {3, 1, 0}}, 0), "the profile crosses itself near height 1");

    // A cone's tip too narrow for the wall.
    const std::vector<CVector3> cone = {{1, 0, 0}, {4, 6, 0}};
    EXPECT_EQ(Refusal(cone, 2), "the wall of thickness 2 crosses the axis near height 0.8944");
    EXPECT_EQ(Refusal(cone, 0.5), "made a mesh");
    // A bulge of radius 1 is too round for a wall 1.5 thick.
    std::vector<CVector3> bulge;
    for (int i = 0; i <= 32; ++i)
        bulge.push_back({2 + std::sin(i * M_PI / 32), -std::cos(i * M_PI / 32), 0});
    const std::string folded = Refusal(bulge, 1.5), where = "the wall of thickness 1.5 crosses itself near height ";
    ASSERT_EQ(folded.substr(0, where.size()), where);
    EXPECT_NEAR(std::stod(folded.substr(where.size())), -1.0, 0.01) << "the first fold, at the bottom";
    EXPECT_EQ(Refusal(bulge, 0.9), "made a mesh");
    // A fin 0.2 thick: the wall's two sides inside it cross.
    const std::vector<CVector3> fin = {{1, 0, 0}, {1, 1, 0}, {3, 1, 0}, {3, 1.2, 0}, {1, 1.2, 0}, {1, 3, 0}};
    EXPECT_EQ(Refusal(fin, 0.3), "the wall of thickness 0.3 crosses itself near height 1");
    EXPECT_EQ(Refusal(fin, 0.09), "made a mesh");
}

TEST(SolidMesh, AWallMeetingAnotherPartOfTheSolidIsRefused)
{
    // A cylinder with a groove cut down from the top to 0.3 above the bottom:
    // the walls of the bottom and of the groove's tip meet under it, though
    // each side on its own folds nowhere.
    const std::vector<CVector3> grooved = {{0, 0, 0},     {4, 0, 0},   {4, 3, 0},     {2.1, 3, 0},
                                           {2.1, 0.3, 0}, {1.9, 0.3, 0}, {1.9, 3, 0}, {0, 3, 0}};
    EXPECT_EQ(Refusal(grooved, 0.2), "the wall of thickness 0.2 crosses itself near height 0.2");
    EXPECT_EQ(Refusal(grooved, 0.1), "made a mesh");
}
