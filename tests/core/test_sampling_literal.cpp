// The batched sampling (several parameters side by side, vector units,
// threads) against a literal, one-parameter-at-a-time SampleBezier:
// one fresh copy of the control points per sample, Scale and Add on vectors.
// Every bit must agree, for every size, with odd and even components,
// signed zeros, infinities and NaNs.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "core/Bezier.h"
#include "core/DeCasteljau.h"

namespace {

void LiteralSample(const std::vector<CVector3>& controls, int intervals, std::vector<CVector3>& samples,
                   std::vector<float>* params)
{
    const double h = 1.0 / intervals;
    for (int i = 0; i <= intervals; ++i) {
        const double t = i * h;
        const double u = 1.0 - t;
        std::vector<CVector3> w(controls);
        for (std::size_t k = w.size() - 1; k >= 1; --k)
            for (std::size_t j = 0; j < k; ++j)
                w[j] = w[j].Scale(u).Add(w[j + 1].Scale(t));
        samples.push_back(w[0]);
        if (params)
            params->push_back(static_cast<float>(t));
    }
}

CVector3 LiteralPoint(const std::vector<CVector3>& controls, double t, double u)
{
    std::vector<CVector3> w(controls);
    for (std::size_t k = w.size() - 1; k >= 1; --k)
        for (std::size_t j = 0; j < k; ++j)
            w[j] = w[j].Scale(u).Add(w[j + 1].Scale(t));
    return w[0];
}

bool SameBits(const CVector3& a, const CVector3& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Counts samples that differ in any bit, NaN payloads included.
int Mismatches(const std::vector<CVector3>& a, const std::vector<CVector3>& b)
{
    if (a.size() != b.size())
        return -1;
    int count = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        count += !SameBits(a[i], b[i]);
    return count;
}

std::vector<CVector3> Random(std::mt19937& rng, int n, bool withZ)
{
    std::uniform_real_distribution<double> coord(-9.0, 9.0);
    std::vector<CVector3> points;
    for (int i = 0; i < n; ++i)
        points.push_back({coord(rng), coord(rng), withZ ? coord(rng) : 0.0});
    return points;
}

void ExpectSameSampling(const std::vector<CVector3>& controls, int intervals)
{
    std::vector<CVector3> literal{{1, 2, 3}}, fast{{1, 2, 3}};
    std::vector<float> literalParams{0.5f}, fastParams{0.5f};
    LiteralSample(controls, intervals, literal, &literalParams);
    SampleBezier(controls, intervals, fast, &fastParams);
    EXPECT_EQ(Mismatches(literal, fast), 0) << controls.size() << " points, " << intervals << " intervals";
    EXPECT_EQ(literalParams, fastParams);
}

class RestoreThreads {
public:
    ~RestoreThreads() { decasteljau::SetMaxThreads(0); }
};

} // namespace

TEST(SamplingLiteral, EverySizeUpToFortyMatchesBitForBit)
{
    std::mt19937 rng(31);
    std::uniform_int_distribution<int> intervals(1, 60);
    for (int n = 1; n <= 40; ++n) {
        ExpectSameSampling(Random(rng, n, false), 10 * n - 10 > 0 ? 10 * n - 10 : 1);
        ExpectSameSampling(Random(rng, n, n % 2 == 0), intervals(rng));
    }
}

TEST(SamplingLiteral, LargeCurvesMatchOnOneThreadAndOnMany)
{
    RestoreThreads restore;
    std::mt19937 rng(8);
    for (int n : {86, 120}) {
        const std::vector<CVector3> controls = Random(rng, n, false);
        for (unsigned threads : {1u, 2u, 3u, 0u}) {
            decasteljau::SetMaxThreads(threads);
            ExpectSameSampling(controls, 10 * n - 10);
        }
    }
}

TEST(SamplingLiteral, SignedZerosInfinitiesAndNaNsPropagateAsWritten)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<std::vector<CVector3>> cases = {
        {{-0.0, -0.0, -0.0}, {-0.0, 0.0, -0.0}, {0.0, -0.0, -0.0}},
        {{0.0, 0.0, 0.0}, {-0.0, 0.0, 0.0}, {0.0, -0.0, 0.0}, {-0.0, -0.0, 0.0}},
        {{inf, 1, 0}, {2, -inf, 0}, {3, 4, 0}},
        {{nan, 1, 0}, {2, 3, nan}, {4, 5, 0}, {6, 7, 0}},
        {{1e308, -1e308, 0}, {1e308, 1e308, 0}, {-1e308, 5e-324, 0}},
        {{5e-324, -5e-324, 5e-324}, {2.2e-308, 0, 0}, {-2.2e-308, 1, 0}},
    };
    for (const std::vector<CVector3>& controls : cases) {
        ExpectSameSampling(controls, 10 * static_cast<int>(controls.size()) - 10);
        ExpectSameSampling(controls, 7);
    }
}

TEST(SamplingLiteral, ParametersOutsideTheCurveMatchToo)
{
    // The sweep evaluates the path a step before 0 and beyond 1.
    RestoreThreads restore;
    std::mt19937 rng(4);
    std::uniform_real_distribution<double> param(-0.01, 1.01);
    for (int n : {1, 2, 3, 9, 17, 64}) {
        for (bool withZ : {false, true}) {
            const std::vector<CVector3> controls = Random(rng, n, withZ);
            std::vector<double> ts, us;
            for (int i = 0; i < 203; ++i) {
                double t = param(rng);
                if (i % 10 == 0)
                    t = i % 20 == 0 ? -1e-05 : 1.0 + 1e-05;
                ts.push_back(t);
                us.push_back(1.0 - t);
            }
            for (unsigned threads : {1u, 2u}) {
                decasteljau::SetMaxThreads(threads);
                std::vector<CVector3> fast(ts.size());
                decasteljau::EvaluateMany(controls, ts.data(), us.data(), ts.size(), fast.data());
                int mismatches = 0;
                for (std::size_t i = 0; i < ts.size(); ++i)
                    mismatches += !SameBits(fast[i], LiteralPoint(controls, ts[i], us[i]));
                EXPECT_EQ(mismatches, 0) << n << " points, z " << withZ << ", " << threads << " threads";
            }
        }
    }
}
