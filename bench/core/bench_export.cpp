// Exporting the surface: indexing the strips, then each file format, for
// profile and path curves of 30 + 30 and 100 + 100 control points; and the
// whole in-memory export (sampling, sweep, mesh, file bytes) of a closed
// lathe of 10 to 1000 profile points, as `velmora export` makes it.

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "core/export/ExportMesh.h"
#include "core/export/GlbExporter.h"
#include "core/export/IndexedMesh.h"
#include "tests/oracle/StripIndexedMesh.h"
#include "core/export/ObjExporter.h"
#include "core/export/StlExporter.h"
#include "core/Bezier.h"
#include "core/SweepMesh.h"

namespace {

// A wavy profile and a bending path, as the sweep benchmarks use.
std::vector<std::vector<SweepVertex>> Design(int controls)
{
    std::vector<CVector3> profile, path;
    for (int i = 0; i < controls; ++i) {
        profile.push_back({2.0 + 1.5 * std::sin(i * 0.7), -8.0 + 16.0 * i / (controls - 1), 0.0});
        path.push_back({3.0 * std::cos(i * 0.9), -9.0 + 18.0 * i / (controls - 1), 0.0});
    }
    std::vector<CVector3> samples;
    std::vector<float> params;
    EvaluateCurve(profile, samples, params);
    return ComputeSweepMesh(samples, path, profile);
}

// A 256 x 256 picture of smooth gradients, as a loaded texture might be.
std::vector<unsigned char> Picture()
{
    std::vector<unsigned char> pixels;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            pixels.insert(pixels.end(), {static_cast<unsigned char>(x), static_cast<unsigned char>(y),
                                         static_cast<unsigned char>(x ^ y)});
    return pixels;
}

void BM_ExportIndexMesh(benchmark::State& state)
{
    const auto strips = Design(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        IndexedMesh mesh = BuildIndexedMesh(strips);
        benchmark::DoNotOptimize(mesh.triangles.data());
    }
    const IndexedMesh mesh = BuildIndexedMesh(strips);
    state.counters["vertices"] = static_cast<double>(mesh.vertices.size());
    state.counters["triangles"] = static_cast<double>(mesh.TriangleCount());
}

template <typename Export>
void RunExport(benchmark::State& state, Export exportMesh)
{
    const IndexedMesh mesh = BuildIndexedMesh(Design(static_cast<int>(state.range(0))));
    std::size_t bytes = 0;
    for (auto _ : state) {
        const Result<ExportedFiles> result = exportMesh(mesh);
        bytes = 0;
        if (result)
            for (const ExportedFile& file : *result)
                bytes += file.bytes.size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_ExportGlb(benchmark::State& state)
{
    RunExport(state, [](const IndexedMesh& mesh) { return ExportGlb(mesh, nullptr, "bench"); });
}

void BM_ExportGlbTextured(benchmark::State& state)
{
    std::vector<unsigned char> pixels = Picture();
    const RgbImage picture{256, 256, pixels};
    RunExport(state, [&](const IndexedMesh& mesh) { return ExportGlb(mesh, &picture, "bench"); });
}

void BM_ExportObj(benchmark::State& state)
{
    RunExport(state, [](const IndexedMesh& mesh) { return ExportObj(mesh, nullptr, "bench"); });
}

void BM_ExportStl(benchmark::State& state)
{
    RunExport(state, [](const IndexedMesh& mesh) { return ExportStl(mesh, "bench"); });
}

// A closed profile of `controls` points (on the axis at both ends) on the
// default straight path: the lathe bench/compare/make_lathe.py writes.
std::vector<CVector3> LatheProfile(int controls)
{
    std::vector<CVector3> profile;
    for (int i = 0; i < controls; ++i) {
        const bool end = i == 0 || i == controls - 1;
        profile.push_back({end ? 0.0 : 3.0 + 1.5 * std::sin(i * 0.7), -8.0 + 16.0 * i / (controls - 1), 0.0});
    }
    return profile;
}

const std::vector<CVector3> kLathePath = {{0.0, -5.0, 0.0}, {0.0, 5.0, 0.0}};

// The rings the lathe's samples make, without sampling the curve (which for
// 1000 control points takes longer than all the rest): the same number of
// rings, 10 a span, on the control polygon.
SweepProfile LatheRings(int controls)
{
    const std::vector<CVector3> profile = LatheProfile(controls);
    std::vector<CVector3> rings;
    for (std::size_t i = 0; i + 1 < profile.size(); ++i)
        for (int j = 0; j < 10; ++j)
            rings.push_back(profile[i].Scale(1.0 - j / 10.0).Add(profile[i + 1].Scale(j / 10.0)));
    rings.push_back(profile.back());
    return LayProfile(rings, kLathePath, rings, SweepSettings());
}

IndexedMesh LatheMesh(int controls)
{
    return BuildIndexedMesh(ComputeSweepMesh(LatheRings(controls), kLathePath, SweepSettings()));
}

// The surface's mesh from the lathe's rings: through the strips and a map of
// every corner (the reference), and as the export builds it.
void BM_LatheStripsIndexed(benchmark::State& state)
{
    const SweepProfile laid = LatheRings(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const IndexedMesh mesh = BuildIndexedMesh(ComputeSweepMesh(laid, kLathePath, SweepSettings()));
        benchmark::DoNotOptimize(mesh.triangles.data());
    }
}

void BM_LatheSurfaceMesh(benchmark::State& state)
{
    const SweepProfile laid = LatheRings(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const IndexedMesh mesh = BuildSurfaceMesh(laid, kLathePath, SweepSettings());
        benchmark::DoNotOptimize(mesh.triangles.data());
    }
}

// The whole mesh of an export: sampling, sweep, indexing.
void BM_LatheMesh(benchmark::State& state)
{
    const std::vector<CVector3> profile = LatheProfile(static_cast<int>(state.range(0)));
    std::size_t triangles = 0;
    for (auto _ : state) {
        const Result<IndexedMesh> mesh = BuildExportMesh(profile, kLathePath, ExportOptions());
        triangles = mesh ? mesh->TriangleCount() : 0;
        benchmark::DoNotOptimize(triangles);
    }
    state.counters["triangles"] = static_cast<double>(triangles);
}

// The mesh and the file's bytes, as one export makes them.
template <typename Export>
void RunLatheExport(benchmark::State& state, Export exportMesh)
{
    const std::vector<CVector3> profile = LatheProfile(static_cast<int>(state.range(0)));
    std::size_t bytes = 0;
    for (auto _ : state) {
        const Result<IndexedMesh> mesh = BuildExportMesh(profile, kLathePath, ExportOptions());
        const Result<ExportedFiles> result = exportMesh(*mesh);
        bytes = 0;
        if (result)
            for (const ExportedFile& file : *result)
                bytes += file.bytes.size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_LatheExportGlb(benchmark::State& state)
{
    RunLatheExport(state, [](const IndexedMesh& mesh) { return ExportGlb(mesh, nullptr, "bench"); });
}

void BM_LatheExportObj(benchmark::State& state)
{
    RunLatheExport(state, [](const IndexedMesh& mesh) { return ExportObj(mesh, nullptr, "bench"); });
}

void BM_LatheExportStl(benchmark::State& state)
{
    RunLatheExport(state, [](const IndexedMesh& mesh) { return ExportStl(mesh, "bench"); });
}

// The writers alone on the lathe's mesh.
template <typename Export>
void RunLatheWriter(benchmark::State& state, Export exportMesh)
{
    const IndexedMesh mesh = LatheMesh(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const Result<ExportedFiles> result = exportMesh(mesh);
        benchmark::DoNotOptimize(result ? result->front().bytes.data() : nullptr);
    }
}

void BM_LatheWriteGlb(benchmark::State& state)
{
    RunLatheWriter(state, [](const IndexedMesh& mesh) { return ExportGlb(mesh, nullptr, "bench"); });
}

void BM_LatheWriteObj(benchmark::State& state)
{
    RunLatheWriter(state, [](const IndexedMesh& mesh) { return ExportObj(mesh, nullptr, "bench"); });
}

void BM_LatheWriteStl(benchmark::State& state)
{
    RunLatheWriter(state, [](const IndexedMesh& mesh) { return ExportStl(mesh, "bench"); });
}

// The export mesh of a design closed into a solid: range(0) 0 for the
// example vase (6 control points, 51 rings), 1 for a wavy profile of 1000
// rings; range(1) the slices; range(2) 0 for caps, 1 for a wall.
void BM_ExportSolidMesh(benchmark::State& state)
{
    std::vector<CVector3> profile = {{2.5, -7, 0}, {7, -4.5, 0}, {5.5, -0.5, 0},
                                     {1.5, 2.5, 0}, {2, 5.5, 0},  {3.5, 7, 0}};
    ExportOptions options;
    if (state.range(0) == 1) {
        profile.clear();
        for (int i = 0; i < 10; ++i)
            profile.push_back({4.0 + 1.5 * std::sin(i * 0.7), -8.0 + 16.0 * i / 9, 0.0});
        options.sweep.intervalsPerSpan = 111;  // 9 spans: 1000 rings
    }
    options.sweep.slices = static_cast<int>(state.range(1));
    options.caps = state.range(2) == 0;
    options.thickness = state.range(2) == 1 ? 0.3 : 0.0;
    const std::vector<CVector3> path = {{0, -5, 0}, {0, 5, 0}};
    std::size_t triangles = 0;
    for (auto _ : state) {
        const Result<IndexedMesh> mesh = BuildExportMesh(profile, path, options);
        triangles = mesh ? mesh->TriangleCount() : 0;
        benchmark::DoNotOptimize(triangles);
    }
    state.counters["triangles"] = static_cast<double>(triangles);
}

}  // namespace

BENCHMARK(BM_ExportSolidMesh)
    ->ArgsProduct({{0, 1}, {24, 200}, {0, 1}})
    ->ArgNames({"profile", "slices", "wall"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportIndexMesh)->Arg(30)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportGlb)->Arg(30)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportGlbTextured)->Arg(30)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportObj)->Arg(30)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportStl)->Arg(30)->Arg(100)->Unit(benchmark::kMillisecond);

namespace {

// 10 to 1000 profile points: 91 to 9991 rings of 24 slices. Real time, since
// the export shares its work with a second thread.
void LatheSizes(benchmark::internal::Benchmark* b)
{
    b->Arg(10)->Arg(100)->Arg(300)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();
}

}  // namespace

BENCHMARK(BM_LatheStripsIndexed)->Apply(LatheSizes);
BENCHMARK(BM_LatheSurfaceMesh)->Apply(LatheSizes);
BENCHMARK(BM_LatheMesh)->Apply(LatheSizes);
BENCHMARK(BM_LatheExportGlb)->Apply(LatheSizes);
BENCHMARK(BM_LatheExportObj)->Apply(LatheSizes);
BENCHMARK(BM_LatheExportStl)->Apply(LatheSizes);
BENCHMARK(BM_LatheWriteGlb)->Apply(LatheSizes);
BENCHMARK(BM_LatheWriteObj)->Apply(LatheSizes);
BENCHMARK(BM_LatheWriteStl)->Apply(LatheSizes);
