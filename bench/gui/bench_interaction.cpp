#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>
#include <cmath>
#include <memory>

#include "app/MainApp.h"
#include "app/MainDlg.h"
#include "core/Bezier.h"

// What a user feels: the dialog's start to its first painted frames, and one
// drag step in an editor, from the mouse event to all three views redrawn.
namespace {

std::vector<CVector3> Wavy(int count, double radius)
{
    std::vector<CVector3> points;
    for (int i = 0; i < count; ++i) {
        const double y = -8.0 + 16.0 * i / (count - 1);
        points.push_back({radius + 2.0 * std::sin(i * 0.9), y, 0});
    }
    return points;
}

void RenderAll(CMainDlg& dialog)
{
    dialog.ProfileView().RenderFrame();
    dialog.PathView().RenderFrame();
    dialog.SurfaceView().RenderFrame();
}

void BM_StartToFirstFrames(benchmark::State& state)
{
    for (auto _ : state) {
        auto dialog = std::make_unique<CMainDlg>();
        dialog->show();
        if (!QTest::qWaitForWindowExposed(dialog.get())) {
            state.SkipWithError("the dialog was never shown");
            return;
        }
        RenderAll(*dialog);
        state.PauseTiming();
        dialog.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartToFirstFrames)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_EditorDragStep(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    CMainDlg dialog;
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog)) {
        state.SkipWithError("the dialog was never shown");
        return;
    }
    CCurveView& profile = dialog.ProfileView();
    dialog.Path().Assign(Wavy(count, 0.0), 0);
    dialog.Profile().Assign(Wavy(count, 4.0), count / 2);
    dialog.Profile().SetMode(EditMode::Select);
    RenderAll(dialog);
    const int width = profile.m_rcClient.right;
    int step = 0;
    for (auto _ : state) {
        const QPoint to(width / 2 + 40 + (step++ % 40), profile.m_rcClient.bottom / 2);
        QMouseEvent move(QEvent::MouseMove, QPointF(to), QPointF(profile.mapToGlobal(to)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&profile, &move);
        RenderAll(dialog);
    }
    state.counters["vertices"] = 48.0 * (10 * count - 9);
}
BENCHMARK(BM_EditorDragStep)->Arg(10)->Arg(30)->Unit(benchmark::kMillisecond);

// Re-sampling the dragged profile, computing the mesh and compiling it into
// the display list: the part of a drag step that depends on the curves.
void BM_SurfaceRebuild(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    CSurfaceView view;
    view.resize(292, 342);
    view.create();
    view.InitGL();
    const std::vector<CVector3> profile = Wavy(count, 4.0);
    const std::vector<CVector3> path = Wavy(count, 0.0);
    std::vector<CVector3> samples;
    std::vector<float> params;
    for (auto _ : state) {
        EvaluateCurve(profile, samples, params);
        view.BuildSurface(samples, path, profile);
    }
}
BENCHMARK(BM_SurfaceRebuild)->Arg(30)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    CMainApp::InstallPlatformServices();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
