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

TEST(SamplingLiteral, OnlyTheAskedComponentsAreWritten)
{
    RestoreThreads restore;
    std::mt19937 rng(6);
    // 64 points and 300 parameters: large enough to share out among threads.
    const std::vector<CVector3> controls = Random(rng, 64, true);
    std::vector<double> ts, us;
    for (int i = 0; i <= 300; ++i) {
        ts.push_back(i / 300.0);
        us.push_back(1.0 - ts.back());
    }
    const CVector3 untouched{-123.0, -456.0, -789.0};
    for (unsigned threads : {1u, 2u}) {
        decasteljau::SetMaxThreads(threads);
        for (unsigned components = 0; components <= decasteljau::kAllComponents; ++components) {
            std::vector<CVector3> out(ts.size(), untouched);
            decasteljau::EvaluateMany(controls, ts.data(), us.data(), ts.size(), out.data(), components);
            int mismatches = 0;
            for (std::size_t i = 0; i < ts.size(); ++i) {
                const CVector3 literal = LiteralPoint(controls, ts[i], us[i]);
                CVector3 expected = untouched;
                if (components & 1u)
                    expected.x = literal.x;
                if (components & 2u)
                    expected.y = literal.y;
                if (components & 4u)
                    expected.z = literal.z;
                mismatches += !SameBits(out[i], expected);
            }
            EXPECT_EQ(mismatches, 0) << "components " << components << ", " << threads << " threads";
        }
    }
}

TEST(SamplingLiteral, ReevaluatingAfterEachEditGivesAFreshSampling)
{
    // Each edit of a dragged curve, re-evaluated from the one before: moves
    // along X, along Y (to -0 and +0 too), both, in Z, nothing, a point
    // added and one removed; every step must equal a fresh sampling.
    std::mt19937 rng(8);
    std::vector<CVector3> controls = Random(rng, 12, false);
    std::vector<CVector3> previous, samples;
    std::vector<float> params;
    const auto step = [&](const char* what) {
        ReevaluateCurve(previous, controls, samples, params);
        previous = controls;
        std::vector<CVector3> fresh;
        std::vector<float> freshParams;
        EvaluateCurve(controls, fresh, freshParams);
        EXPECT_EQ(Mismatches(samples, fresh), 0) << what;
        EXPECT_EQ(params, freshParams) << what;
    };
    step("first sampling");
    controls[5].x += 0.75;
    step("along X");
    controls[5].y -= 1.5;
    step("along Y");
    controls[0].y = -0.0;
    step("to -0");
    controls[0].y = 0.0;
    step("to +0");
    controls[11] = {1.0, 2.0, 0.0};
    step("both");
    step("nothing");
    controls[3].z = 2.5;
    step("in Z");
    controls[3].z = 0.0;
    step("back to Z = +0");
    controls.push_back({4.0, 4.0, 0.0});
    step("a point added");
    controls.erase(controls.begin() + 2);
    step("a point removed");
    controls.resize(1);
    step("one point left");
    controls.push_back({3.0, -3.0, 0.0});
    step("two points");
    // Samples made with other intervals per span are not reused.
    EvaluateCurve(controls, samples, params, 3);
    controls[1].x = 2.0;
    step("other intervals before");
}
