// What the user waits for at the command line and in File > Export Mesh... /
// Save Image...: the example vase and a 100 + 100 control point design,
// exported to each format and rendered at the 3D view's size, each file
// written to disk (atomically, flushed) as the commands write it. No
// display needed: the render runs on Mesa's surfaceless platform.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTemporaryDir>
#include <cmath>
#include <cstdlib>
#include <string>

#include "app/DesignCommands.h"
#include "app/DialogFont.h"
#include "core/design/DesignFile.h"

namespace {

const std::string kExamples = VELMORA_EXAMPLES;

Design Vase()
{
    const Result<Design> read = OpenDesignFile(kExamples + "/vase.velmora");
    if (!read) {
        std::fprintf(stderr, "%s\n", read.Error().c_str());
        std::abort();
    }
    return *read;
}

// A wavy profile and a bending path of 100 points each, with the vase's texture.
Design Large()
{
    Design design = Vase();
    design.profile.clear();
    design.path.clear();
    const int controls = 100;
    for (int i = 0; i < controls; ++i) {
        design.profile.push_back({2.0 + 1.5 * std::sin(i * 0.7), -8.0 + 16.0 * i / (controls - 1), 0.0});
        design.path.push_back({3.0 * std::cos(i * 0.9), -9.0 + 18.0 * i / (controls - 1), 0.0});
    }
    return design;
}

const Design& DesignOf(const benchmark::State& state)
{
    static const Design vase = Vase();
    static const Design large = Large();
    return state.range(0) == 0 ? vase : large;
}

void Export(benchmark::State& state, const char* extension)
{
    const Design& design = DesignOf(state);
    QTemporaryDir folder;
    const std::string out = folder.filePath(QStringLiteral("out.") + extension).toStdString();
    for (auto _ : state) {
        const Result<Written> outcome = ExportDesignToFile(design, out);
        if (!outcome)
            state.SkipWithError(outcome.Error().c_str());
    }
}

void BM_ExportGlb(benchmark::State& state) { Export(state, "glb"); }
void BM_ExportObj(benchmark::State& state) { Export(state, "obj"); }
void BM_ExportStl(benchmark::State& state) { Export(state, "stl"); }

void BM_Render(benchmark::State& state)
{
    const Design& design = DesignOf(state);
    QTemporaryDir folder;
    const std::string out = folder.filePath(QStringLiteral("out.png")).toStdString();
    const QSize size = SurfaceViewSize();
    for (auto _ : state) {
        const Result<Written> outcome = RenderDesignToFile(design, RenderMode::Solid, size, out);
        if (!outcome)
            state.SkipWithError(outcome.Error().c_str());
    }
    state.counters["width"] = size.width();
    state.counters["height"] = size.height();
}

// Argument 0: the example vase; 1: the 100 + 100 point design.
BENCHMARK(BM_ExportGlb)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExportObj)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExportStl)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Render)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    // The view's size comes from the dialog's font, as velmora render lays it out.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    InstallDialogFontSubstitutes();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
