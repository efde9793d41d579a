#include "core/Bezier.h"

#include <cstddef>

void SampleBezier(const std::vector<CVector3>& controls, int intervals,
                  std::vector<CVector3>& samples, std::vector<float>* params)
{
    if (controls.empty() || intervals < 1)
        return;
    const double h = 1.0 / intervals;
    const std::size_t n = controls.size();
    std::vector<CVector3> work(n);
    samples.reserve(samples.size() + static_cast<std::size_t>(intervals) + 1);
    if (params)
        params->reserve(params->size() + static_cast<std::size_t>(intervals) + 1);
    for (int i = 0; i <= intervals; ++i) {
        const double t = i * h;
        const double u = 1.0 - t;
        work.assign(controls.begin(), controls.end());
        for (std::size_t k = n - 1; k >= 1; --k)
            for (std::size_t j = 0; j < k; ++j)
                work[j] = work[j].Scale(u).Add(work[j + 1].Scale(t));
        samples.push_back(work[0]);
        if (params)
            params->push_back(static_cast<float>(t));
    }
}

void EvaluateCurve(const std::vector<CVector3>& controls, std::vector<CVector3>& samples,
                   std::vector<float>& params)
{
    samples.clear();
    params.clear();
    const long long intervals = 10LL * static_cast<long long>(controls.size()) - 10;
    if (intervals <= 0)
        return;
    SampleBezier(controls, static_cast<int>(intervals), samples, &params);
}
