#include "core/Bezier.h"

#include <cstddef>

#include "core/DeCasteljau.h"

void SampleBezier(const std::vector<CVector3>& controls, int intervals,
                  std::vector<CVector3>& samples, std::vector<float>* params)
{
    if (controls.empty() || intervals < 1)
        return;
    const double h = 1.0 / intervals;
    const std::size_t count = static_cast<std::size_t>(intervals) + 1;
    std::vector<double> ts(count);
    std::vector<double> us(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<int>(i) * h;
        ts[i] = t;
        us[i] = 1.0 - t;
    }
    // Every sample is de Casteljau on a fresh copy of the control points,
    // (W[j] * u) + (W[j+1] * t) per component; many are run side by side.
    const std::size_t first = samples.size();
    samples.resize(first + count);
    decasteljau::EvaluateMany(controls, ts.data(), us.data(), count, samples.data() + first);
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
    const long long intervals =
        static_cast<long long>(intervalsPerSpan) * (static_cast<long long>(controls.size()) - 1);
    if (intervals <= 0)
        return;
    SampleBezier(controls, static_cast<int>(intervals), samples, &params);
}
