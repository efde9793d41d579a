// The surface build, literal transcription against the fast build, for
// profile and path curves of equal control-point counts, plus the re-sample
// and rebuild work of one drag step in an editor.

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "core/Bezier.h"
#include "core/SweepMesh.h"
#include "tests/oracle/LiteralSweep.h"

namespace {

// A wavy profile rising through the square and a path bending across it,
// both with z = 0 as the editors make them.
std::vector<CVector3> Profile(int n)
{
    std::vector<CVector3> controls;
    for (int i = 0; i < n; ++i)
        controls.push_back({2.0 + 1.5 * std::sin(i * 0.7), -8.0 + 16.0 * i / (n - 1), 0.0});
    return controls;
}

std::vector<CVector3> Path(int m)
{
    std::vector<CVector3> controls;
    for (int i = 0; i < m; ++i)
        controls.push_back({3.0 * std::cos(i * 0.9), -9.0 + 18.0 * i / (m - 1), 0.0});
    return controls;
}

template <typename Build>
void RunMesh(benchmark::State& state, Build build)
{
    const int n = static_cast<int>(state.range(0));
    const int m = static_cast<int>(state.range(1));
    const std::vector<CVector3> profile = Profile(n);
    const std::vector<CVector3> path = Path(m);
    std::vector<CVector3> samples;
    std::vector<float> params;
    EvaluateCurve(profile, samples, params);
    for (auto _ : state) {
        auto mesh = build(samples, path, profile, SweepSettings());
        benchmark::DoNotOptimize(mesh.data());
    }
    state.counters["rings"] = static_cast<double>(samples.size());
}

void BM_SweepMeshLiteral(benchmark::State& state)
{
    RunMesh(state, literal::SweepMesh);
}

void BM_SweepMeshFast(benchmark::State& state)
{
    RunMesh(state, [](const std::vector<CVector3>& samples, const std::vector<CVector3>& path,
                      const std::vector<CVector3>& controls, const SweepSettings& settings) {
        return ComputeSweepMesh(samples, path, controls, settings);
    });
}

// The mesh as the surface view builds it: flat floats, storage kept.
void BM_SweepMeshBuilder(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const int m = static_cast<int>(state.range(1));
    const std::vector<CVector3> profile = Profile(n);
    const std::vector<CVector3> path = Path(m);
    std::vector<CVector3> samples;
    std::vector<float> params;
    EvaluateCurve(profile, samples, params);
    SweepMeshBuilder builder;
    for (auto _ : state)
        benchmark::DoNotOptimize(builder.Build(samples, path, profile));
    state.counters["rings"] = static_cast<double>(samples.size());
}

// One drag step of a profile point: re-sample the profile, rebuild the mesh.
void BM_SweepDragStepFast(benchmark::State& state)
{
    std::vector<CVector3> profile = Profile(30);
    const std::vector<CVector3> path = Path(30);
    std::vector<CVector3> samples;
    std::vector<float> params;
    int step = 0;
    for (auto _ : state) {
        profile[15].x = 2.0 + 0.001 * (step++ % 100);
        EvaluateCurve(profile, samples, params);
        auto mesh = ComputeSweepMesh(samples, path, profile);
        benchmark::DoNotOptimize(mesh.data());
    }
}

}  // namespace

BENCHMARK(BM_SweepMeshLiteral)->Args({4, 4})->Args({10, 10})->Args({30, 30})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SweepMeshLiteral)->Args({100, 100})->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SweepMeshFast)
    ->Args({4, 4})
    ->Args({10, 10})
    ->Args({30, 30})
    ->Args({100, 100})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SweepDragStepFast)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SweepMeshBuilder)
    ->Args({10, 10})
    ->Args({30, 30})
    ->Args({100, 100})
    ->Args({300, 300})
    ->Args({2, 300})
    ->Args({1000, 2})
    ->Unit(benchmark::kMillisecond);

