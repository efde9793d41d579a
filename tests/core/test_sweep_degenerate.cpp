// Inputs on which the unguarded build divides by zero. Each case first
// confirms that the literal build really records non-finite numbers there,
// then that the fast build records only finite ones, keeps every number the
// literal build got right, and puts sensible values in the gaps.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "core/Bezier.h"
#include "core/SweepMesh.h"
#include "tests/oracle/LiteralSweep.h"

namespace {

using Mesh = std::vector<std::vector<SweepVertex>>;

constexpr double kStep = 0.2617993877991494;
const std::vector<CVector3> kStraightPath = {{0, -5, 0}, {0, 5, 0}};

std::vector<CVector3> Samples(const std::vector<CVector3>& controls)
{
    std::vector<CVector3> samples;
    std::vector<float> params;
    EvaluateCurve(controls, samples, params);
    return samples;
}

// Builds both ways, checks the contract above and returns the fast mesh.
Mesh BuildGuarded(const std::vector<CVector3>& samples, const std::vector<CVector3>& path,
                  const std::vector<CVector3>& profile)
{
    const Mesh reference = literal::SweepMesh(samples, path, profile);
    const Mesh fast = ComputeSweepMesh(samples, path, profile);
    const literal::MeshComparison diff = literal::CompareMeshes(reference, fast);
    EXPECT_GT(diff.nonFiniteReference, 0) << "not a degenerate input";
    EXPECT_EQ(diff.mismatches, 0) << diff.firstMismatch;
    return fast;
}

bool SameBits(const CVector3& a, const CVector3& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(SweepDegenerate, FlatProfileLiesAtPathStartAsAnnulus)
{
    const std::vector<CVector3> profile = {{1, 2, 0}, {3, 2, 0}};
    const Mesh mesh = BuildGuarded(Samples(profile), kStraightPath, profile);
    ASSERT_EQ(mesh.size(), 24u);
    for (const auto& strip : mesh) {
        ASSERT_EQ(strip.size(), 22u);
        for (const SweepVertex& vertex : strip) {
            EXPECT_EQ(vertex.t, 0.0f);
            EXPECT_DOUBLE_EQ(vertex.position.y, -5);
            // The profile runs outwards, so the flat ring faces down.
            EXPECT_NEAR(vertex.normal.x, 0, 1e-12);
            EXPECT_NEAR(vertex.normal.y, -1, 1e-12);
            EXPECT_NEAR(vertex.normal.z, 0, 1e-12);
        }
    }
}

TEST(SweepDegenerate, PathWithoutTangentStandsUpright)
{
    const std::vector<CVector3> profile = {{1, -3, 0}, {4, 0, 0}, {2, 4, 0}};
    const std::vector<CVector3> samples = Samples(profile);
    const std::vector<std::vector<CVector3>> paths = {
        {{1, 2, 0}},                          // a single control point
        {{1, 2, 0}, {1, 2, 0}, {1, 2, 0}},    // coincident control points
    };
    for (const auto& path : paths) {
        SCOPED_TRACE(path.size());
        const Mesh mesh = BuildGuarded(samples, path, profile);
        for (int v = 0; v < 24; ++v) {
            for (std::size_t idx = 0; idx < mesh[v].size(); ++idx) {
                const SweepVertex& vertex = mesh[v][idx];
                const CVector3& ring = samples[idx / 2];
                const double a = (v + static_cast<int>(idx % 2)) * kStep;
                // Every ring sits in the plane across the upward Y axis at the
                // path's one point, the flat profile spread around it.
                EXPECT_DOUBLE_EQ(vertex.position.y, 2);
                EXPECT_NEAR(vertex.position.x, 1 + ring.x * std::cos(a), 1e-12);
                EXPECT_NEAR(vertex.position.z, -ring.x * std::sin(a), 1e-12);
                EXPECT_NEAR(vertex.normal.x, 0, 1e-12);
                EXPECT_NEAR(std::fabs(vertex.normal.y), 1, 1e-9);
                EXPECT_NEAR(vertex.normal.z, 0, 1e-12);
            }
        }
        // Where the profile's X turns back, the flat surface folds over.
        EXPECT_LT(mesh[0][0].normal.y * mesh[0].back().normal.y, 0);
    }
}

TEST(SweepDegenerate, PathWithVanishingStartTangentFollowsItsDirection)
{
    // B(t) = (0, 5 t^4, 0): the central difference at t = 0 cancels exactly.
    const std::vector<CVector3> path = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 5, 0}};
    const std::vector<CVector3> profile = {{1, -1, 0}, {2, 0, 0}, {1, 1, 0}, {2, 2, 0}, {1, 3, 0}};
    const Mesh mesh = BuildGuarded(Samples(profile), path, profile);
    for (int v = 0; v < 24; ++v) {
        const double a = v * kStep;
        EXPECT_NEAR(mesh[v][0].position.x, std::cos(a), 1e-12);
        EXPECT_NEAR(mesh[v][0].position.y, 0, 1e-12);
        EXPECT_NEAR(mesh[v][0].position.z, -std::sin(a), 1e-12);
    }
}

TEST(SweepDegenerate, PoleRingsTakeTheirNeighboursNormals)
{
    const std::vector<CVector3> profile = {{0, -3, 0}, {4, 0, 0}, {0, 4, 0}};
    const std::vector<CVector3> samples = Samples(profile);
    ASSERT_EQ(samples.front().x, 0.0);
    ASSERT_EQ(samples.back().x, 0.0);
    const Mesh mesh = BuildGuarded(samples, kStraightPath, profile);
    const std::size_t last = mesh[0].size() - 2;
    for (int v = 0; v < 24; ++v) {
        for (std::size_t i = 0; i < 2; ++i) {
            EXPECT_TRUE(SameBits(mesh[v][i].normal, mesh[v][2 + i].normal));
            EXPECT_TRUE(SameBits(mesh[v][last + i].normal, mesh[v][last - 2 + i].normal));
            // A closed surface: down at the bottom pole, up at the top.
            EXPECT_LT(mesh[v][i].normal.y, -0.5);
            EXPECT_GT(mesh[v][last + i].normal.y, 0.5);
            EXPECT_DOUBLE_EQ(mesh[v][i].position.y, -5);
        }
    }
}

TEST(SweepDegenerate, PoleOnNegativeZeroPathKeepsTheWrittenSignOfZero)
{
    // At the top pole of a path along X = -0.0, r is -0.0 where cos and sin
    // are both negative, the tangent's X is +0.0 and the path point's -0.0:
    // the unused "+ T.x * 0" term turns N.x * r into +0.0 before M.x is
    // added, so the vertex X is +0.0, where dropping the term would give -0.0.
    const std::vector<CVector3> path = {{-0.0, -5, 0}, {-0.0, 5, 0}};
    const std::vector<CVector3> profile = {{0, -3, 0}, {4, 0, 0}, {0, 4, 0}};
    const Mesh mesh = BuildGuarded(Samples(profile), path, profile);
    for (int v = 13; v < 17; ++v) {
        const SweepVertex& top = mesh[v][mesh[v].size() - 2];
        EXPECT_EQ(top.position.x, 0.0);
        EXPECT_FALSE(std::signbit(top.position.x)) << v;
    }
}

TEST(SweepDegenerate, ProfileOnTheAxisFacesOutward)
{
    const std::vector<CVector3> profile = {{0, -3, 0}, {0, 4, 0}};
    const Mesh mesh = BuildGuarded(Samples(profile), kStraightPath, profile);
    for (int v = 0; v < 24; ++v) {
        for (std::size_t idx = 0; idx < mesh[v].size(); ++idx) {
            const double a = (v + static_cast<int>(idx % 2)) * kStep;
            const CVector3& n = mesh[v][idx].normal;
            EXPECT_NEAR(n.x, std::cos(a), 1e-12);
            EXPECT_NEAR(n.y, 0, 1e-12);
            EXPECT_NEAR(n.z, -std::sin(a), 1e-12);
        }
    }
}

TEST(SweepDegenerate, CoincidentRingsBorrowTheNearestProfileDirection)
{
    // Rings 0 and 1 coincide (one-sided difference zero at the start), and the
    // profile folds back at ring 3 so that rings 2 and 4 coincide.
    const std::vector<CVector3> samples = {{1, 0, 0}, {1, 0, 0}, {2, 1, 0},
                                           {3, 2, 0}, {2, 1, 0}, {1.5, 0.5, 0}};
    const Mesh mesh = BuildGuarded(samples, kStraightPath, samples);
    for (int v = 0; v < 24; ++v) {
        for (std::size_t i = 0; i < 2; ++i) {
            EXPECT_TRUE(SameBits(mesh[v][i].normal, mesh[v][2 + i].normal));
            EXPECT_TRUE(SameBits(mesh[v][6 + i].normal, mesh[v][4 + i].normal));
        }
    }
}

TEST(SweepDegenerate, RandomDegenerateInputsStayFiniteAndKeepGoodNumbers)
{
    std::mt19937 rng(99);
    std::uniform_real_distribution<double> coord(-6.0, 6.0);
    std::uniform_real_distribution<double> radius(0.1, 6.0);
    for (int round = 0; round < 24; ++round) {
        SCOPED_TRACE(round);
        const int n = 2 + round % 6;
        const int m = 1 + (round * 3) % 8;
        std::vector<CVector3> profile, path;
        const double flatY = coord(rng);
        for (int i = 0; i < n; ++i) {
            const bool onAxis = (round % 3 == 0) && (i == 0 || i == n - 1);
            profile.push_back({onAxis ? 0.0 : radius(rng), round % 4 == 1 ? flatY : coord(rng), 0.0});
        }
        const CVector3 start(coord(rng), coord(rng), 0.0);
        for (int i = 0; i < m; ++i)
            path.push_back(round % 5 == 2 ? start : CVector3(coord(rng), coord(rng), 0.0));
        const std::vector<CVector3> samples = Samples(profile);
        const Mesh reference = literal::SweepMesh(samples, path, profile);
        const Mesh fast = ComputeSweepMesh(samples, path, profile);
        const literal::MeshComparison diff = literal::CompareMeshes(reference, fast);
        EXPECT_EQ(diff.mismatches, 0) << diff.firstMismatch;
    }
}

}  // namespace
