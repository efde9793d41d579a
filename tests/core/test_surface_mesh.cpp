// The surface mesh built from the sweep's rings against the strips indexed
// through a map of every corner (the reference): the same vertices, bit for
// bit and in the same order, and the same triangles, for ordinary, random and
// degenerate profiles and paths.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "core/Bezier.h"
#include "core/SweepMesh.h"
#include "core/export/IndexedMesh.h"
#include "tests/oracle/StripIndexedMesh.h"

namespace {

struct Case {
    std::string name;
    SweepProfile laid;
    std::vector<CVector3> path;
};

SweepProfile Laid(const std::vector<CVector3>& profileControls, const std::vector<CVector3>& path,
                  const SweepSettings& settings)
{
    std::vector<CVector3> samples;
    std::vector<float> params;
    EvaluateCurve(profileControls, samples, params, settings.intervalsPerSpan);
    if (profileControls.size() == 1)
        samples = profileControls;
    return LayProfile(samples, path, profileControls, settings);
}

// Laid as given: rings the sampling would never make, with the heights set.
SweepProfile Raw(const std::vector<CVector3>& rings, double bottom, double height)
{
    return {rings, bottom, height};
}

::testing::AssertionResult SameMesh(const Case& c, const SweepSettings& settings)
{
    const IndexedMesh expected = BuildIndexedMesh(ComputeSweepMesh(c.laid, c.path, settings));
    const IndexedMesh actual = BuildSurfaceMesh(c.laid, c.path, settings);
    const std::string where = c.name + " at " + std::to_string(settings.slices) + " slices: ";
    if (actual.vertices.size() != expected.vertices.size())
        return ::testing::AssertionFailure() << where << actual.vertices.size() << " vertices, not "
                                             << expected.vertices.size();
    for (std::size_t i = 0; i < expected.vertices.size(); ++i) {
        if (std::memcmp(&actual.vertices[i], &expected.vertices[i], sizeof(MeshVertex)) != 0)
            return ::testing::AssertionFailure() << where << "vertex " << i << " differs";
    }
    if (actual.triangles != expected.triangles)
        return ::testing::AssertionFailure() << where << "the triangles differ (" << actual.TriangleCount()
                                             << " against " << expected.TriangleCount() << ")";
    return ::testing::AssertionSuccess() << where << expected.TriangleCount() << " triangles";
}

const std::vector<CVector3> kStraight = {{0, -5, 0}, {0, 5, 0}};
const std::vector<CVector3> kBent = {{0, -5, 0}, {9, -2, 0}, {-9, 2, 0}, {0, 5, 0}};
const std::vector<CVector3> kVase = {{0, -3, 0}, {3, -3, 0}, {1, 0, 0}, {4, 3, 0}, {0, 3, 0}};

std::vector<Case> DegenerateCases(const SweepSettings& s)
{
    const double huge = 1e300;
    const double floatMax = std::numeric_limits<float>::max();
    const double denormal = std::numeric_limits<double>::denorm_min();
    std::vector<Case> cases = {
        {"vase", Laid(kVase, kStraight, s), kStraight},
        {"vase reversed", Laid({kVase.rbegin(), kVase.rend()}, kStraight, s), kStraight},
        {"vase bent", Laid(kVase, kBent, s), kBent},
        {"single point", Laid({{2, 1, 0}}, kStraight, s), kStraight},
        {"repeated points", Laid({{1, 0, 0}, {1, 0, 0}, {1, 0, 0}, {3, 2, 0}, {3, 2, 0}}, kBent, s), kBent},
        {"on the axis", Laid({{0, -2, 0}, {0, 0, 0}, {0, 2, 0}}, kBent, s), kBent},
        {"through the axis", Laid({{2, -2, 0}, {0, 0, 0}, {0, 1, 0}, {2, 2, 0}}, kStraight, s), kStraight},
        {"flat", Laid({{1, 3, 0}, {4, 3, 0}, {2, 3, 0}}, kBent, s), kBent},
        {"flat on one path point", Laid({{1, 3, 0}, {4, 3, 0}}, {{2, 2, 0}}, s), {{2, 2, 0}}},
        {"coincident path", Laid(kVase, {{1, 1, 0}, {1, 1, 0}, {1, 1, 0}}, s), {{1, 1, 0}, {1, 1, 0}, {1, 1, 0}}},
        {"huge", Laid({{huge, -huge, 0}, {huge / 3, 0, 0}, {huge, huge, 0}}, kStraight, s), kStraight},
        {"beyond float", Laid({{1, -1, 0}, {floatMax * 1.5, 0, 0}, {1, 1, 0}}, kStraight, s), kStraight},
        {"near float max", Laid({{floatMax / 2, -1, 0}, {floatMax, 1, 0}}, kBent, s), kBent},
        {"tiny", Laid({{1e-300, -1e-300, 0}, {3e-300, 0, 0}, {1e-300, 1e-300, 0}}, kStraight, s), kStraight},
        {"denormal", Laid({{denormal, -denormal, 0}, {4 * denormal, denormal, 0}}, kStraight, s), kStraight},
        {"flat in float", Laid({{1, 0, 0}, {1 + 1e-12, 1e-9, 0}, {1, 2e-9, 0}, {2, 1, 0}}, kStraight, s), kStraight},
        // Equal samples far apart: rings of the same position and T, whose
        // normals differ at one of the two (the neighbours differ).
        {"coincident rings", Raw({{1, 0, 0}, {2, 1, 0}, {1, 0, 0}, {3, 2, 0}, {1, 0, 0}, {2, 1, 0}}, 0, 2),
         kBent},
        {"coincident rings, equal normals",
         Raw({{1, 0, 0}, {2, 1, 0}, {3, 2, 0}, {1, 0, 0}, {2, 1, 0}, {3, 2, 0}}, 0, 2), kStraight},
        // Different samples that land on one T: the same height, or heights
        // lost against a huge bottom; on one path point every ring of one
        // radius is one circle.
        {"rings of one T", Raw({{1, 5, 0}, {2, 6, 0}, {1, 7, 0}, {2, 8, 0}, {1, 5, 0}}, -1e20, 30), {{0, 0, 0}}},
        {"one T, same radius", Raw({{2, 0, 0}, {1, 1, 0}, {2, 2, 0}, {1, 3, 0}, {2, 4, 0}}, 0, 0), {{3, 1, 0}}},
        {"signed zeros", Raw({{-0.0, -0.0, 0}, {1, 1, 0}, {0.0, 0.0, 0}, {1, 1, -0.0}, {-0.0, 2, 0}}, -0.0, 2),
         kStraight},
        {"out of the plane", Raw({{1, 0, 2}, {0, 1, -1}, {2, 2, 0.5}}, 0, 2), kBent},
        {"not finite", Raw({{1, 0, 0}, {NAN, 1, 0}, {2, 2, 0}, {INFINITY, 3, 0}, {1, 4, 0}}, 0, 4), kStraight},
        {"no path", Laid(kVase, kStraight, s), {}},
    };
    return cases;
}

std::vector<CVector3> RandomPoints(std::mt19937& random, std::size_t count, bool profile)
{
    std::uniform_real_distribution<double> coordinate(-10.0, 10.0);
    std::uniform_int_distribution<int> pick(0, 9);
    std::vector<CVector3> points;
    for (std::size_t i = 0; i < count; ++i) {
        CVector3 p(coordinate(random), coordinate(random), 0.0);
        const int kind = pick(random);
        // Repeats, points on the axis and rounded values make coincidences.
        if (kind == 0 && !points.empty())
            p = points.back();
        else if (kind == 1)
            p.x = 0.0;
        else if (kind == 2)
            p = {std::round(p.x), std::round(p.y), 0.0};
        if (profile)
            p.x = std::fabs(p.x);
        points.push_back(p);
    }
    return points;
}

}  // namespace

TEST(SurfaceMesh, DegenerateProfilesAndPathsGiveTheReferenceMeshAt3To200Slices)
{
    for (const int slices : {3, 24, 200}) {
        SweepSettings settings;
        settings.slices = slices;
        settings.intervalsPerSpan = 4;
        for (const Case& c : DegenerateCases(settings))
            EXPECT_TRUE(SameMesh(c, settings));
    }
}

TEST(SurfaceMesh, RandomProfilesAndPathsGiveTheReferenceMesh)
{
    std::mt19937 random(20261208);
    std::uniform_int_distribution<std::size_t> profileSize(1, 30);
    std::uniform_int_distribution<std::size_t> pathSize(1, 6);
    std::uniform_int_distribution<int> slices(3, 40);
    std::uniform_int_distribution<int> intervals(1, 12);
    for (int i = 0; i < 200; ++i) {
        SweepSettings settings;
        settings.slices = i % 100 == 0 ? SweepSettings::kMaxSlices : slices(random);
        settings.intervalsPerSpan = intervals(random);
        const std::vector<CVector3> profile = RandomPoints(random, profileSize(random), true);
        const std::vector<CVector3> path = RandomPoints(random, pathSize(random), false);
        EXPECT_TRUE(SameMesh({"random " + std::to_string(i), Laid(profile, path, settings), path}, settings));
    }
}

TEST(SurfaceMesh, SharesTheCornersOfCoincidentRingsOnlyWhereTheirNormalsAgree)
{
    // The profile runs up a line twice: rings 0 and 3, 1 and 4, 2 and 5
    // coincide, but only 1 and 4 see the profile go the same way (their
    // neighbours coincide too); the others face opposite ways.
    const SweepProfile laid = Raw({{1, 0, 0}, {2, 1, 0}, {3, 2, 0}, {1, 0, 0}, {2, 1, 0}, {3, 2, 0}}, 0, 2);
    SweepSettings settings;
    settings.slices = 6;
    const IndexedMesh mesh = BuildSurfaceMesh(laid, kStraight, settings);
    std::size_t samePlace = 0;
    for (std::size_t i = 0; i < mesh.vertices.size(); ++i)
        for (std::size_t j = 0; j < i; ++j)
            samePlace += mesh.vertices[i].position.x == mesh.vertices[j].position.x &&
                         mesh.vertices[i].position.y == mesh.vertices[j].position.y &&
                         mesh.vertices[i].position.z == mesh.vertices[j].position.z &&
                         mesh.vertices[i].s == mesh.vertices[j].s;
    // Seven columns (the seam's S = 1 apart) of six rings, one ring shared.
    EXPECT_EQ(mesh.vertices.size(), 6u * 7u - 7u);
    EXPECT_EQ(samePlace, 2u * 7u) << "rings 0 and 3, 2 and 5 keep their own normals";
    EXPECT_TRUE(SameMesh({"coincident rings", laid, kStraight}, settings));
}

TEST(SurfaceMesh, APoleInTheSecondHalfOfManyRingsBorrowsTheNextRingsNormals)
{
    // 1991 rings, split between two threads; only the last ring, on the
    // axis, lacks normals: it takes those of the ring before it at each angle.
    std::vector<CVector3> rings;
    for (int k = 0; k < 1991; ++k)
        rings.push_back({k == 1990 ? 0.0 : 2.0 + std::sin(k * 0.01), k * 0.01, 0.0});
    const SweepProfile laid = Raw(rings, 0.0, 19.9);
    const IndexedMesh mesh = BuildSurfaceMesh(laid, kStraight, SweepSettings());
    const float poleT = 1.0f;
    const float beforeT = static_cast<float>((19.89 - 0.0) / 19.9);
    std::size_t poles = 0;
    for (const MeshVertex& pole : mesh.vertices) {
        if (pole.t != poleT)
            continue;
        ++poles;
        for (const MeshVertex& before : mesh.vertices) {
            if (before.t == beforeT && before.s == pole.s) {
                EXPECT_EQ(pole.normal.x, before.normal.x) << pole.s;
                EXPECT_EQ(pole.normal.y, before.normal.y) << pole.s;
                EXPECT_EQ(pole.normal.z, before.normal.z) << pole.s;
            }
        }
    }
    EXPECT_GT(poles, 0u);
    EXPECT_TRUE(SameMesh({"pole after many rings", laid, kStraight}, SweepSettings()));
}
