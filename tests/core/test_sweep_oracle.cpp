// The fast build must reproduce the literal build to the last bit on every
// input the literal build handles (no degenerate ring or frame).

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "core/Bezier.h"
#include "core/SweepMesh.h"
#include "tests/oracle/LiteralSweep.h"

namespace {

struct Curves {
    std::vector<CVector3> profile;
    std::vector<CVector3> samples;
    std::vector<CVector3> path;
};

enum class ProfileShape { Rising, Wandering, Falling };

Curves RandomCurves(std::mt19937& rng, int n, int m, ProfileShape shape, bool offPlane)
{
    std::uniform_real_distribution<double> radius(0.05, 8.0);
    std::uniform_real_distribution<double> coord(-9.0, 9.0);
    std::uniform_real_distribution<double> step(0.1, 1.5);
    Curves c;
    double y = coord(rng);
    for (int i = 0; i < n; ++i) {
        double py = coord(rng);
        if (shape != ProfileShape::Wandering) {
            y += shape == ProfileShape::Rising ? step(rng) : -step(rng);
            py = y;
        }
        c.profile.push_back({radius(rng), py, offPlane ? coord(rng) * 0.1 : 0.0});
    }
    for (int i = 0; i < m; ++i)
        c.path.push_back({coord(rng), coord(rng), offPlane ? coord(rng) * 0.1 : 0.0});
    std::vector<float> params;
    EvaluateCurve(c.profile, c.samples, params);
    return c;
}

void ExpectIdentical(const Curves& c)
{
    const auto reference = literal::SweepMesh(c.samples, c.path, c.profile);
    const auto fast = ComputeSweepMesh(c.samples, c.path, c.profile);
    ASSERT_EQ(reference.size(), 24u);
    const literal::MeshComparison diff = literal::CompareMeshes(reference, fast);
    EXPECT_EQ(diff.nonFiniteReference, 0) << "the literal build failed on a regular input";
    EXPECT_EQ(diff.mismatches, 0) << diff.firstMismatch;
}

TEST(SweepOracle, RandomCurvePairsMatchBitForBit)
{
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<int> count(2, 30);
    const ProfileShape shapes[] = {ProfileShape::Rising, ProfileShape::Wandering,
                                   ProfileShape::Falling};
    for (int round = 0; round < 36; ++round) {
        // Keep most cases small so the literal side stays quick.
        const int n = round % 4 == 0 ? count(rng) : 2 + round % 7;
        const int m = round % 4 == 1 ? count(rng) : 2 + (round * 5) % 9;
        SCOPED_TRACE(testing::Message() << "round " << round << " n " << n << " m " << m);
        ExpectIdentical(RandomCurves(rng, n, m, shapes[round % 3], round % 5 == 4));
    }
}

TEST(SweepOracle, ResampledProfilesMatchBitForBit)
{
    std::mt19937 rng(77);
    for (int round = 0; round < 12; ++round) {
        const int n = 2 + round % 5;
        const int m = n + 1 + (round * 7) % 12;
        SCOPED_TRACE(testing::Message() << "round " << round << " n " << n << " m " << m);
        const Curves c =
            RandomCurves(rng, n, m, round % 2 ? ProfileShape::Wandering : ProfileShape::Rising, false);
        ExpectIdentical(c);
        // The case really resamples: more rings than samples.
        EXPECT_EQ(ComputeSweepMesh(c.samples, c.path, c.profile)[0].size(),
                  2 * static_cast<std::size_t>(10 * m - 9));
    }
}

TEST(SweepOracle, LargestEditorSizesMatchBitForBit)
{
    std::mt19937 rng(5);
    ExpectIdentical(RandomCurves(rng, 30, 30, ProfileShape::Wandering, false));
    ExpectIdentical(RandomCurves(rng, 3, 30, ProfileShape::Rising, false));
}

TEST(SweepOracle, RingsSharedBetweenTwoThreadsMatchBitForBit)
{
    // 1191 rings: enough that their points and normals are worked out in
    // two halves side by side.
    std::mt19937 rng(11);
    const Curves c = RandomCurves(rng, 120, 3, ProfileShape::Rising, false);
    ASSERT_GE(c.samples.size(), 1000u);
    ExpectIdentical(c);
}

TEST(SweepOracle, EditorShapesMatchBitForBit)
{
    // The start-up shapes: a straight two-point path, and the worked example.
    Curves c;
    c.profile = {{1, -3, 0}, {4, 0, 0}, {2, 4, 0}};
    std::vector<float> params;
    EvaluateCurve(c.profile, c.samples, params);
    c.path = {{0, -5, 0}, {0, 5, 0}};
    ExpectIdentical(c);
    c.path = {{0, -5, 0}, {3, 0, 0}, {0, 5, 0}};
    ExpectIdentical(c);
    // A path row of degree + 1 points, as the reset lays it out.
    c.path = {{0, -5, 0}, {0, -5.0 / 3, 0}, {0, 5.0 / 3, 0}, {0, 5, 0}};
    ExpectIdentical(c);
}

}  // namespace
