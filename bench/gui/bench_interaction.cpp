#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTest>
#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>

#include "app/MainApp.h"
#include "app/MainDlg.h"
#include "core/Bezier.h"
#include "core/CurveSquare.h"
#include "core/SweepMesh.h"

// What a user feels: the dialog's start to its first painted frames, and one
// drag step in an editor, from the mouse event to the views redrawn; beside
// them the phases of a drag step one at a time.
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

bool AllDrawn(CMainDlg& dialog)
{
    return !dialog.ProfileView().IsFramePending() && !dialog.PathView().IsFramePending() &&
           !dialog.SurfaceView().IsFramePending() && !dialog.ProfileView().HasPendingMove() &&
           !dialog.SurfaceView().IsSurfaceStale();
}

// Runs the event loop as the application does (sleeping until something
// happens) until `done` holds.
void RunLoopUntil(const std::function<bool()>& done)
{
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// The dialog with a profile of `profileCount` and a path of `pathCount`
// control points, the middle profile point selected in select mode, every
// view drawn.
class DragScene {
public:
    DragScene(int profileCount, int pathCount)
    {
        dialog = std::make_unique<CMainDlg>();
        dialog->show();
        shown = QTest::qWaitForWindowExposed(dialog.get()) &&
                QTest::qWaitForWindowExposed(&dialog->SurfaceView());
        dialog->Path().Assign(Wavy(pathCount, 0.0), 0);
        dialog->Profile().Assign(Wavy(profileCount, 4.0), profileCount / 2);
        dialog->Profile().SetMode(EditMode::Select);
        Settle();
    }
    void Settle()
    {
        QCoreApplication::processEvents();
        RunLoopUntil([this] { return AllDrawn(*dialog); });
    }
    // The window point of step `step`: right of the middle, a pixel further
    // each step, so that every step moves the point; along X only (the
    // point's height kept), or diagonally, a pixel up too.
    QPoint Target(int step, bool diagonal = false) const
    {
        const CCurveView& view = dialog->ProfileView();
        return {view.Client().right / 2 + 40 + step % 40,
                view.Client().bottom / 2 - (diagonal ? step % 40 : 0)};
    }
    // Posts a move with the left button held to the profile editor.
    void PostMove(QPoint to)
    {
        CCurveView& view = dialog->ProfileView();
        QCoreApplication::postEvent(&view, new QMouseEvent(QEvent::MouseMove, QPointF(to), QPointF(view.mapToGlobal(to)),
                                                           Qt::NoButton, Qt::LeftButton, Qt::NoModifier));
    }
    bool Reached(QPoint to) const
    {
        const CCurveView& view = dialog->ProfileView();
        const CVector3 world = curve_square::WindowToWorld(to.x(), to.y(), view.Client().right, view.Client().bottom);
        CVector3 point{};
        dialog->Profile().GetSelectedPoint(point);
        return point.x == world.x && point.y == world.y;
    }

    std::unique_ptr<CMainDlg> dialog;
    bool shown = false;
};

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

// The latency a user feels: from a mouse move posted to the real event loop
// until the last view it changes has been drawn (glFinish and swap done).
// The loop sleeps between events as the application's does.
void DragLatency(benchmark::State& state, int profileCount, int pathCount, bool diagonal = false)
{
    DragScene scene(profileCount, pathCount);
    if (!scene.shown) {
        state.SkipWithError("the dialog was never shown");
        return;
    }
    int step = 0;
    for (auto _ : state) {
        const QPoint to = scene.Target(step++, diagonal);
        const auto start = std::chrono::steady_clock::now();
        scene.PostMove(to);
        RunLoopUntil([&] { return scene.Reached(to) && AllDrawn(*scene.dialog); });
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        scene.Settle();
    }
    state.counters["vertices"] = 48.0 * (10 * std::max(profileCount, pathCount) - 9);
}

void BM_DragLatency(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    DragLatency(state, count, count);
}
BENCHMARK(BM_DragLatency)->Arg(10)->Arg(30)->Arg(100)->UseManualTime()->Unit(benchmark::kMillisecond);

// The same with the point moved along both axes at every step: every
// coordinate of the samples changes and the rings change height, so nothing
// of the curves' evaluation can be kept from the step before.
void BM_DragLatencyDiagonal(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    DragLatency(state, count, count, true);
}
BENCHMARK(BM_DragLatencyDiagonal)->Arg(10)->Arg(30)->Arg(100)->UseManualTime()->Unit(benchmark::kMillisecond);

// Sizes past 100 points (profile + path), the profile dragged.
void BM_DragLatencyLarge(benchmark::State& state)
{
    DragLatency(state, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
}
BENCHMARK(BM_DragLatencyLarge)
    ->Args({150, 150})
    ->Args({300, 300})
    ->Args({2, 300})
    ->Args({500, 2})
    ->Args({1000, 2})
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_DragLatencyLargeDiagonal(benchmark::State& state)
{
    DragLatency(state, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), true);
}
BENCHMARK(BM_DragLatencyLargeDiagonal)
    ->Args({300, 300})
    ->Args({1000, 2})
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The floor: the same three views redrawn through the event loop with
// nothing changed.
void BM_DragFloor(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    DragScene scene(count, count);
    if (!scene.shown) {
        state.SkipWithError("the dialog was never shown");
        return;
    }
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        scene.dialog->ProfileView().Invalidate();
        scene.dialog->PathView().Invalidate();
        scene.dialog->SurfaceView().Invalidate();
        RunLoopUntil([&] { return AllDrawn(*scene.dialog); });
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
}
BENCHMARK(BM_DragFloor)->Arg(10)->Arg(30)->Arg(100)->UseManualTime()->Unit(benchmark::kMillisecond);

// One drag step with the three repaints called directly (no event loop).
void BM_EditorDragStep(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    DragScene scene(count, count);
    if (!scene.shown) {
        state.SkipWithError("the dialog was never shown");
        return;
    }
    CMainDlg& dialog = *scene.dialog;
    CCurveView& profile = dialog.ProfileView();
    int step = 0;
    for (auto _ : state) {
        const QPoint to = scene.Target(step++);
        QMouseEvent move(QEvent::MouseMove, QPointF(to), QPointF(profile.mapToGlobal(to)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&profile, &move);
        // The editor keeps the move until the events queued behind it are
        // through: deliver it.
        QCoreApplication::sendPostedEvents(&profile);
        RenderAll(dialog);
    }
    state.counters["vertices"] = 48.0 * (10 * count - 9);
    scene.Settle();
}
BENCHMARK(BM_EditorDragStep)->Arg(10)->Arg(30)->Arg(100)->Unit(benchmark::kMillisecond);

// The phases of a drag step of the profile, one at a time, at n + n points.
enum class Phase { Unproject, Resample, Mesh, Rebuild, ProfileFrame, PathFrame, SurfaceFrame };

void RunPhase(benchmark::State& state, Phase phase)
{
    const int count = static_cast<int>(state.range(0));
    DragScene scene(count, count);
    if (!scene.shown) {
        state.SkipWithError("the dialog was never shown");
        return;
    }
    CMainDlg& dialog = *scene.dialog;
    const CCurveView& editor = dialog.ProfileView();
    std::vector<CVector3> profile = dialog.Profile().ControlPoints();
    std::vector<CVector3> samples = dialog.Profile().SamplePoints();
    std::vector<float> params;
    const std::vector<CVector3>& path = dialog.Path().ControlPoints();
    SweepMeshBuilder builder;
    int step = 0;
    for (auto _ : state) {
        const QPoint to = scene.Target(step++);
        switch (phase) {
        case Phase::Unproject:
            benchmark::DoNotOptimize(
                curve_square::WindowToWorld(to.x(), to.y(), editor.Client().right, editor.Client().bottom));
            break;
        case Phase::Resample:
            profile[static_cast<std::size_t>(count / 2)].x = 4.0 + 0.01 * (step % 40);
            EvaluateCurve(profile, samples, params);
            break;
        case Phase::Mesh:
            profile[static_cast<std::size_t>(count / 2)].x = 4.0 + 0.01 * (step % 40);
            benchmark::DoNotOptimize(builder.Build(samples, path, profile));
            break;
        case Phase::Rebuild:
            dialog.SurfaceView().BuildSurface(samples, path, profile);
            break;
        case Phase::ProfileFrame: dialog.ProfileView().RenderFrame(); break;
        case Phase::PathFrame: dialog.PathView().RenderFrame(); break;
        case Phase::SurfaceFrame: dialog.SurfaceView().RenderFrame(); break;
        }
    }
    scene.Settle();
}

void BM_PhaseUnproject(benchmark::State& state) { RunPhase(state, Phase::Unproject); }
void BM_PhaseResample(benchmark::State& state) { RunPhase(state, Phase::Resample); }
void BM_PhaseMesh(benchmark::State& state) { RunPhase(state, Phase::Mesh); }
// Mesh and vertex-buffer upload, in the surface view's context.
void BM_PhaseRebuild(benchmark::State& state) { RunPhase(state, Phase::Rebuild); }
void BM_PhaseProfileFrame(benchmark::State& state) { RunPhase(state, Phase::ProfileFrame); }
void BM_PhasePathFrame(benchmark::State& state) { RunPhase(state, Phase::PathFrame); }
void BM_PhaseSurfaceFrame(benchmark::State& state) { RunPhase(state, Phase::SurfaceFrame); }
BENCHMARK(BM_PhaseUnproject)->Arg(30)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PhaseResample)->Arg(10)->Arg(30)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PhaseMesh)->Arg(10)->Arg(30)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PhaseRebuild)->Arg(10)->Arg(30)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PhaseProfileFrame)->Arg(10)->Arg(30)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PhasePathFrame)->Arg(10)->Arg(30)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PhaseSurfaceFrame)->Arg(10)->Arg(30)->Arg(100)->Unit(benchmark::kMillisecond);

// Re-sampling the dragged profile, computing the mesh and uploading it to
// the vertex buffer: the part of a drag step that depends on the curves.
void BM_SurfaceRebuild(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    DesignDocument design;
    CSurfaceView view{design};
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
    // As the application does before its first window: the update delay
    // among others, which Qt reads at the first repaint request.
    CMainApp::InstallPlatformServices();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
