#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <type_traits>

#include "core/Bezier.h"
#include "core/Vector3.h"

namespace {

void ExpectVector(const CVector3& v, double x, double y, double z)
{
    EXPECT_DOUBLE_EQ(v.x, x);
    EXPECT_DOUBLE_EQ(v.y, y);
    EXPECT_DOUBLE_EQ(v.z, z);
}

bool SameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

TEST(Vector3, IsAPlainValue)
{
    EXPECT_TRUE(std::is_trivially_copyable_v<CVector3>);
    EXPECT_EQ(sizeof(CVector3), 3 * sizeof(double));
}

TEST(Vector3, CrossIsRightHandedWithTheObjectOnTheLeft)
{
    const CVector3 x(1, 0, 0), y(0, 1, 0);
    ExpectVector(x.Cross(y), 0, 0, 1);
    ExpectVector(y.Cross(x), 0, 0, -1);
    const CVector3 a(1, 2, 3), b(-4, 5, 0.5);
    ExpectVector(a.Cross(b), 2 * 0.5 - 5 * 3, -4 * 3 - 1 * 0.5, 1 * 5 - (-4) * 2);
    ExpectVector(a, 1, 2, 3);
    ExpectVector(b, -4, 5, 0.5);
}

TEST(Vector3, ArithmeticLeavesOperandsUnchanged)
{
    const CVector3 a(1.5, -2, 4), b(0.5, 3, -1);
    ExpectVector(a.Add(b), 2, 1, 3);
    ExpectVector(a.Subtract(b), 1, -5, 5);
    ExpectVector(a.Scale(-2), -3, 4, -8);
    ExpectVector(a, 1.5, -2, 4);
    ExpectVector(b, 0.5, 3, -1);
}

TEST(Vector3, LengthAndNormalize)
{
    CVector3 v(3, 4, 0);
    EXPECT_DOUBLE_EQ(v.Length(), 5.0);
    v.Normalize();
    ExpectVector(v, 0.6, 0.8, 0);
    // The sum is (x*x + y*y) + z*z: with these values the other order rounds differently.
    const CVector3 w(1e-8, 1.0, 1e-8);
    EXPECT_TRUE(SameBits(w.Length(), std::sqrt((1e-16 + 1.0) + 1e-16)));
}

TEST(Vector3, NormalizingZeroGivesNaN)
{
    CVector3 zero(0, 0, 0);
    zero.Normalize();
    EXPECT_TRUE(std::isnan(zero.x));
    EXPECT_TRUE(std::isnan(zero.y));
    EXPECT_TRUE(std::isnan(zero.z));
}

TEST(Vector3, NormalizeDividesByOneLengthComputedFirst)
{
    // Dividing x first and recomputing would change y's divisor.
    CVector3 v(3, 4, 12);
    v.Normalize();
    EXPECT_TRUE(SameBits(v.y, 4.0 / 13.0));
    EXPECT_TRUE(SameBits(v.z, 12.0 / 13.0));
}

TEST(Vector3, ComponentAddressesXForUnknownIndexes)
{
    CVector3 v(1, 2, 3);
    EXPECT_EQ(&v.Component(0), &v.x);
    EXPECT_EQ(&v.Component(1), &v.y);
    EXPECT_EQ(&v.Component(2), &v.z);
    EXPECT_EQ(&v.Component(3), &v.x);
    EXPECT_EQ(&v.Component(-1), &v.x);
    v.Component(2) = 9;
    EXPECT_EQ(v.z, 9);
}

TEST(Bezier, FewerThanTwoPointsGiveNothingAndClearOldSamples)
{
    std::vector<CVector3> samples{{1, 1, 1}};
    std::vector<float> params{0.5f};
    EvaluateCurve({}, samples, params);
    EXPECT_TRUE(samples.empty());
    EXPECT_TRUE(params.empty());
    samples.push_back({1, 1, 1});
    params.push_back(1.0f);
    EvaluateCurve({{2, 3, 0}}, samples, params);
    EXPECT_TRUE(samples.empty());
    EXPECT_TRUE(params.empty());
}

TEST(Bezier, TwoPointsGiveElevenSamplesWithFloatParameters)
{
    std::vector<CVector3> samples;
    std::vector<float> params;
    EvaluateCurve({{0, -5, 0}, {0, 5, 0}}, samples, params);
    ASSERT_EQ(samples.size(), 11u);
    ASSERT_EQ(params.size(), 11u);
    for (int i = 0; i <= 10; ++i) {
        EXPECT_NEAR(samples[i].y, -5.0 + i, 1e-12);
        EXPECT_EQ(samples[i].x, 0.0);
        EXPECT_EQ(params[i], static_cast<float>(i * (1.0 / 10)));
    }
    EXPECT_EQ(static_cast<double>(params[1]), 0.10000000149011612);
    EXPECT_EQ(params[10], 1.0f);
}

TEST(Bezier, MidpointOfThreePointsAndExactEnds)
{
    const std::vector<CVector3> controls{{1, -3, 0}, {4, 0, 0}, {2, 4, 0}};
    std::vector<CVector3> samples;
    std::vector<float> params;
    EvaluateCurve(controls, samples, params);
    ASSERT_EQ(samples.size(), 21u);
    EXPECT_EQ(params[10], 0.5f);
    EXPECT_NEAR(samples[10].x, 0.25 * 1 + 0.5 * 4 + 0.25 * 2, 1e-12);
    EXPECT_NEAR(samples[10].y, 0.25 * -3 + 0.5 * 0 + 0.25 * 4, 1e-12);
    EXPECT_TRUE(SameBits(samples.front().x, 1.0) && SameBits(samples.front().y, -3.0));
    EXPECT_TRUE(SameBits(samples.back().x, 2.0) && SameBits(samples.back().y, 4.0));
}

TEST(Bezier, SamplesFollowTheTwoProductRecurrenceBitForBit)
{
    const std::vector<CVector3> controls{{0.3, -7.1, 0}, {9.7, 2.2, 0}, {-4.4, 8.8, 0}, {1.1, 0.7, 0}};
    std::vector<CVector3> samples;
    std::vector<float> params;
    EvaluateCurve(controls, samples, params);
    ASSERT_EQ(samples.size(), 31u);
    const double h = 1.0 / 30;
    for (int i = 0; i <= 30; ++i) {
        const double t = i * h, u = 1.0 - t;
        double w[4];
        for (int j = 0; j < 4; ++j)
            w[j] = controls[j].y;
        for (int k = 3; k >= 1; --k)
            for (int j = 0; j < k; ++j)
                w[j] = w[j] * u + w[j + 1] * t;
        EXPECT_TRUE(SameBits(samples[i].y, w[0])) << "sample " << i;
    }
}

TEST(Bezier, LastParameterFallsBelowOneFromEightySixPoints)
{
    for (int n : {85, 86}) {
        std::vector<CVector3> controls;
        for (int i = 0; i < n; ++i)
            controls.push_back({std::sin(i * 0.7), i * 0.1, 0});
        std::vector<CVector3> samples;
        std::vector<float> params;
        EvaluateCurve(controls, samples, params);
        const int c = 10 * n - 10;
        ASSERT_EQ(samples.size(), static_cast<std::size_t>(c + 1));
        const double lastT = c * (1.0 / c);
        EXPECT_EQ(params.back(), 1.0f);
        if (n == 85) {
            EXPECT_EQ(lastT, 1.0);
            EXPECT_TRUE(SameBits(samples.back().y, controls.back().y));
        } else {
            EXPECT_LT(lastT, 1.0);
        }
    }
}

TEST(Bezier, SampleBezierAppendsWithoutClearing)
{
    std::vector<CVector3> samples{{7, 7, 7}};
    SampleBezier({{0, 0, 0}, {2, 0, 0}}, 4, samples, nullptr);
    ASSERT_EQ(samples.size(), 6u);
    EXPECT_EQ(samples[0].x, 7.0);
    EXPECT_EQ(samples[3].x, 1.0);
}
