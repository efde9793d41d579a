#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "core/Bezier.h"

// Re-sampling runs on every drag step, so its cost (cubic in the number of
// control points) bounds how large a curve stays interactive.
static void BM_EvaluateCurve(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    std::vector<CVector3> controls;
    for (int i = 0; i < count; ++i)
        controls.push_back({3.0 + std::sin(i * 0.7), -8.0 + 16.0 * i / (count - 1), 0.0});
    std::vector<CVector3> samples;
    std::vector<float> params;
    for (auto _ : state) {
        EvaluateCurve(controls, samples, params);
        benchmark::DoNotOptimize(samples.data());
    }
    state.counters["samples"] = static_cast<double>(samples.size());
}
BENCHMARK(BM_EvaluateCurve)->Arg(4)->Arg(10)->Arg(30)->Arg(100)->Unit(benchmark::kMicrosecond);
// Past 100 points: the sizes the editor accepts up to kMaxCurvePoints.
BENCHMARK(BM_EvaluateCurve)->Arg(300)->Arg(1000)->Unit(benchmark::kMillisecond);
