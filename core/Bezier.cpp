#include "core/Bezier.h"

#include <cstddef>
#include <cstring>

#include "core/DeCasteljau.h"

namespace {

// The parameters t = i * (1.0 / intervals) and their u = 1 - t, i <= intervals.
struct SampleParameters {
    std::vector<double> ts;
    std::vector<double> us;

    explicit SampleParameters(int intervals)
        : ts(static_cast<std::size_t>(intervals) + 1), us(ts.size())
    {
        const double h = 1.0 / intervals;
        for (std::size_t i = 0; i < ts.size(); ++i) {
            const double t = static_cast<int>(i) * h;
            ts[i] = t;
            us[i] = 1.0 - t;
        }
    }
};

long long IntervalsOf(std::size_t controls, int intervalsPerSpan)
{
    return static_cast<long long>(intervalsPerSpan) * (static_cast<long long>(controls) - 1);
}

// The components (decasteljau's bits) in which two equally long point lists differ.
unsigned ChangedComponents(const std::vector<CVector3>& a, const std::vector<CVector3>& b)
{
    const auto differs = [](double p, double q) { return std::memcmp(&p, &q, sizeof p) != 0; };
    unsigned changed = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        changed |= (differs(a[i].x, b[i].x) ? 1u : 0u) | (differs(a[i].y, b[i].y) ? 2u : 0u) |
                   (differs(a[i].z, b[i].z) ? 4u : 0u);
    return changed;
}

} // namespace

void SampleBezier(const std::vector<CVector3>& controls, int intervals,
                  std::vector<CVector3>& samples, std::vector<float>* params)
{
    if (controls.empty() || intervals < 1)
        return;
    const SampleParameters parameters(intervals);
    const std::vector<double>& ts = parameters.ts;
    const std::size_t count = ts.size();
    // Every sample is de Casteljau on a fresh copy of the control points,
    // (W[j] * u) + (W[j+1] * t) per component; many are run side by side.
    const std::size_t first = samples.size();
    samples.resize(first + count);
    decasteljau::EvaluateMany(controls, ts.data(), parameters.us.data(), count, samples.data() + first);
    if (params) {
        params->reserve(params->size() + count);
        for (std::size_t i = 0; i < count; ++i)
            params->push_back(static_cast<float>(ts[i]));
    }
}

void EvaluateCurve(const std::vector<CVector3>& controls, std::vector<CVector3>& samples,
                   std::vector<float>& params, int intervalsPerSpan)
{
    samples.clear();
    params.clear();
    const long long intervals = IntervalsOf(controls.size(), intervalsPerSpan);
    if (intervals <= 0)
        return;
    SampleBezier(controls, static_cast<int>(intervals), samples, &params);
}

void ReevaluateCurve(const std::vector<CVector3>& previous, const std::vector<CVector3>& controls,
                     std::vector<CVector3>& samples, std::vector<float>& params, int intervalsPerSpan)
{
    const long long intervals = IntervalsOf(controls.size(), intervalsPerSpan);
    if (previous.size() != controls.size() || intervals <= 0 ||
        samples.size() != static_cast<std::size_t>(intervals) + 1) {
        EvaluateCurve(controls, samples, params, intervalsPerSpan);
        return;
    }
    const unsigned changed = ChangedComponents(previous, controls);
    if (changed == 0)
        return;
    const SampleParameters parameters(static_cast<int>(intervals));
    decasteljau::EvaluateMany(controls, parameters.ts.data(), parameters.us.data(), samples.size(), samples.data(),
                              changed);
}
