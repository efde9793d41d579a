// Geometry of the swept surface, checked against values worked out by hand
// and against the shape a straight path must give. Every case runs on both
// the fast build and the literal transcription, so the oracle that the
// bit-for-bit comparison trusts is itself held to known answers.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "core/Bezier.h"
#include "core/SweepMesh.h"
#include "tests/oracle/LiteralSweep.h"

namespace {

using Mesh = std::vector<std::vector<SweepVertex>>;
using Builder = Mesh (*)(const std::vector<CVector3>&, const std::vector<CVector3>&,
                         const std::vector<CVector3>&);

constexpr double kStep = 0.2617993877991494;

// Both builds with the default settings, the ones these values are worked out for.
Mesh Fast(const std::vector<CVector3>& samples, const std::vector<CVector3>& path,
          const std::vector<CVector3>& profileControls)
{
    return ComputeSweepMesh(samples, path, profileControls);
}

Mesh Literal(const std::vector<CVector3>& samples, const std::vector<CVector3>& path,
             const std::vector<CVector3>& profileControls)
{
    return literal::SweepMesh(samples, path, profileControls);
}

std::vector<CVector3> Samples(const std::vector<CVector3>& controls)
{
    std::vector<CVector3> samples;
    std::vector<float> params;
    EvaluateCurve(controls, samples, params);
    return samples;
}

double Angle(int v, int i)
{
    return (v + i) * kStep;
}

class SweepShape : public ::testing::TestWithParam<Builder> {
protected:
    Mesh Build(const std::vector<CVector3>& profileControls, const std::vector<CVector3>& path)
    {
        return GetParam()(Samples(profileControls), path, profileControls);
    }
};

const std::vector<CVector3> kStraightPath = {{0, -5, 0}, {0, 5, 0}};

TEST_P(SweepShape, WorkedExampleStartsStripZeroWithKnownVertices)
{
    const Mesh mesh = Build({{1, -3, 0}, {4, 0, 0}, {2, 4, 0}}, {{0, -5, 0}, {3, 0, 0}, {0, 5, 0}});
    ASSERT_EQ(mesh.size(), 24u);
    ASSERT_EQ(mesh[0].size(), 42u);
    struct Expected {
        double s, t, nx, ny, nz, px, py, pz;
    };
    const Expected expected[3] = {
        {0, 0, 0.533539246, -0.845775309, 0, 0.857492926, -5.514495755, 0},
        {0.0416666679, 0, 0.505927719, -0.831107438, -0.230819657, 0.828274563, -5.496964738,
         -0.258819045},
        {0, 0.0432142839, 0.568934944, -0.822382532, 0, 1.377093080, -5.186717123, 0},
    };
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const SweepVertex& got = mesh[0][i];
        EXPECT_NEAR(got.s, expected[i].s, 1e-9);
        EXPECT_NEAR(got.t, expected[i].t, 1e-9);
        EXPECT_NEAR(got.normal.x, expected[i].nx, 1e-9);
        EXPECT_NEAR(got.normal.y, expected[i].ny, 1e-9);
        EXPECT_NEAR(got.normal.z, expected[i].nz, 1e-9);
        EXPECT_NEAR(got.position.x, expected[i].px, 1e-9);
        EXPECT_NEAR(got.position.y, expected[i].py, 1e-9);
        EXPECT_NEAR(got.position.z, expected[i].pz, 1e-9);
    }
}

TEST_P(SweepShape, StraightPathGivesSurfaceOfRevolution)
{
    const std::vector<CVector3> controls = {{1, -2, 0}, {3, 0, 0}, {0.5, 1, 0}, {2, 3, 0}};
    const std::vector<CVector3> samples = Samples(controls);
    const Mesh mesh = GetParam()(samples, kStraightPath, controls);
    ASSERT_EQ(mesh.size(), 24u);
    const double ymin = -2, range = 5;  // the curve's end points are its extremes
    for (int v = 0; v < 24; ++v) {
        ASSERT_EQ(mesh[v].size(), 2 * samples.size());
        for (std::size_t k = 0; k < samples.size(); ++k) {
            const double t = (samples[k].y - ymin) / range;
            for (int i = 0; i < 2; ++i) {
                const double a = Angle(v, i);
                const SweepVertex& got = mesh[v][2 * k + i];
                EXPECT_NEAR(got.position.x, samples[k].x * std::cos(a), 1e-12);
                EXPECT_NEAR(got.position.y, -5 + 10 * t, 1e-12);
                EXPECT_NEAR(got.position.z, -samples[k].x * std::sin(a), 1e-12);
                EXPECT_FLOAT_EQ(got.t, static_cast<float>(t));
            }
        }
    }
    EXPECT_DOUBLE_EQ(mesh[0].front().position.y, -5);
    EXPECT_NEAR(mesh[0].back().position.y, 5, 1e-12);
}

TEST_P(SweepShape, CylinderNormalsPointOutwardAndFlipWithProfile)
{
    const Mesh up = Build({{2, -3, 0}, {2, 4, 0}}, kStraightPath);
    const Mesh down = Build({{2, 4, 0}, {2, -3, 0}}, kStraightPath);
    for (int v = 0; v < 24; ++v) {
        for (std::size_t idx = 0; idx < up[v].size(); ++idx) {
            const double a = Angle(v, static_cast<int>(idx % 2));
            const CVector3& n = up[v][idx].normal;
            EXPECT_NEAR(n.x, std::cos(a), 1e-12);
            EXPECT_NEAR(n.y, 0, 1e-12);
            EXPECT_NEAR(n.z, -std::sin(a), 1e-12);
            EXPECT_NEAR(n.Length(), 1, 1e-12);
            const CVector3& r = down[v][idx].normal;
            EXPECT_NEAR(r.x, -std::cos(a), 1e-12);
            EXPECT_NEAR(r.z, std::sin(a), 1e-12);
        }
    }
}

TEST_P(SweepShape, StripsHoldTwoVerticesPerRingWithSliceEdgesForS)
{
    const Mesh mesh = Build({{1, -3, 0}, {4, 0, 0}, {2, 4, 0}}, {{0, -5, 0}, {3, 0, 0}, {0, 5, 0}});
    ASSERT_EQ(mesh.size(), 24u);
    for (int v = 0; v < 24; ++v) {
        ASSERT_EQ(mesh[v].size(), 42u);
        const float s0 = static_cast<float>(v * 0.0416666679084301);
        const float s1 = static_cast<float>((v + 1) * 0.0416666679084301);
        for (std::size_t k = 0; k < 21; ++k) {
            EXPECT_EQ(mesh[v][2 * k].s, s0);
            EXPECT_EQ(mesh[v][2 * k + 1].s, s1);
            EXPECT_EQ(mesh[v][2 * k].t, mesh[v][2 * k + 1].t);
            // Every slice places ring k at the same parameter.
            EXPECT_EQ(mesh[v][2 * k].t, mesh[0][2 * k].t);
        }
        // Consecutive slices share an edge.
        if (v > 0) {
            for (std::size_t k = 0; k < 21; ++k)
                EXPECT_EQ(0, std::memcmp(&mesh[v][2 * k].position, &mesh[v - 1][2 * k + 1].position,
                                         sizeof(CVector3)));
        }
    }
    EXPECT_EQ(mesh[0][0].t, 0.0f);
    EXPECT_EQ(mesh[0][41].t, 1.0f);
    // 1/24 in single precision times v is one ulp off v/24 at these slices.
    EXPECT_NE(static_cast<float>(5 * 0.0416666679084301), static_cast<float>(5.0 / 24.0));
    EXPECT_EQ(mesh[5][0].s, static_cast<float>(5 * 0.0416666679084301));
}

TEST_P(SweepShape, SeamClosesAtFullTurn)
{
    const Mesh mesh = Build({{1, -3, 0}, {4, 0, 0}, {2, 4, 0}}, {{0, -5, 0}, {3, 0, 0}, {0, 5, 0}});
    for (std::size_t k = 0; k < 21; ++k) {
        const SweepVertex& end = mesh[23][2 * k + 1];
        const SweepVertex& start = mesh[0][2 * k];
        EXPECT_EQ(end.s, 1.0f);
        EXPECT_EQ(start.s, 0.0f);
        EXPECT_EQ(end.t, start.t);
        EXPECT_NEAR(end.position.x, start.position.x, 1e-12);
        EXPECT_NEAR(end.position.y, start.position.y, 1e-12);
        EXPECT_NEAR(end.position.z, start.position.z, 1e-12);
        EXPECT_NEAR(end.normal.x, start.normal.x, 1e-9);
        EXPECT_NEAR(end.normal.y, start.normal.y, 1e-9);
        EXPECT_NEAR(end.normal.z, start.normal.z, 1e-9);
    }
}

TEST_P(SweepShape, ShortProfileIsResampledAtPathResolution)
{
    const std::vector<CVector3> path = {{0, -5, 0}, {0, -2, 0}, {0, 2, 0}, {0, 5, 0}};
    // A bulge whose top, y(t) = 6t - 7t^2 at t = 3/7, falls between the 21
    // samples but nearer to a point of the 31 resampled ones.
    const std::vector<CVector3> controls = {{1, 0, 0}, {2, 3, 0}, {2, -1, 0}};
    const std::vector<CVector3> samples = Samples(controls);
    ASSERT_EQ(samples.size(), 21u);
    const Mesh mesh = GetParam()(samples, path, controls);
    ASSERT_EQ(mesh[0].size(), 62u);

    std::vector<CVector3> rings;
    SampleBezier(controls, 30, rings, nullptr);
    double ymin = samples[0].y, ymax = samples[0].y;
    for (const CVector3& p : samples) {
        ymin = std::fmin(ymin, p.y);
        ymax = std::fmax(ymax, p.y);
    }
    float highest = 0;
    for (std::size_t k = 0; k < rings.size(); ++k) {
        const float t = mesh[3][2 * k].t;
        EXPECT_EQ(t, static_cast<float>((rings[k].y - ymin) / (ymax - ymin)));
        EXPECT_NEAR(std::hypot(mesh[0][2 * k].position.x, mesh[0][2 * k].position.z), rings[k].x,
                    1e-12);
        highest = std::fmax(highest, t);
    }
    EXPECT_GT(highest, 1.0f);
    EXPECT_LT(highest, 1.01f);

    // As many profile control points as the path has: the samples are the rings.
    const std::vector<CVector3> four = {{1, -1, 0}, {3, 0, 0}, {1, 1, 0}, {2, 2, 0}};
    for (std::size_t m = 2; m <= 4; ++m) {
        const std::vector<CVector3> shorter(path.begin(), path.begin() + m);
        EXPECT_EQ(GetParam()(Samples(four), shorter, four)[0].size(), 62u) << m;
    }
}

TEST_P(SweepShape, NoSurfaceWithoutSamplesOrPath)
{
    const std::vector<CVector3> one = {{1, 0, 0}};
    EXPECT_TRUE(GetParam()(Samples(one), kStraightPath, one).empty());
    const std::vector<CVector3> two = {{1, 0, 0}, {2, 1, 0}};
    EXPECT_TRUE(GetParam()(Samples(two), {}, two).empty());
    EXPECT_FALSE(GetParam()(Samples(two), kStraightPath, two).empty());
}

INSTANTIATE_TEST_SUITE_P(FastAndLiteral, SweepShape,
                         ::testing::Values(&Fast, &Literal),
                         [](const ::testing::TestParamInfo<Builder>& info) {
                             return info.index == 0 ? "Fast" : "Literal";
                         });

}  // namespace
