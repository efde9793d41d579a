#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QTest>
#include <cmath>
#include <memory>
#include <vector>

#include "GuiTestSupport.h"
#include "views/CurveView.h"

namespace {

class CountingListener : public DesignListener {
public:
    void OnDesignChanged(const DesignDocument&, DesignParts) override { ++changes; }
    void OnEditRefused(const CurveDocument&, EditRefusal) override { ++refusals; }
    int changes = 0;
    int refusals = 0;
};

// An editor with a live context and one frame drawn, so that window points
// unproject into its 20 x 20 world square.
class CurveEditor : public testing::Test {
protected:
    void SetUp() override
    {
        design.AddListener(&listener);
        view.resize(292, 256);
        view.create();
        view.InitGL();
        view.RenderFrame();
    }
    CVector3 WorldAt(int x, int y)
    {
        double nearPoint[3], farPoint[3];
        view.ScreenToWorld(x, y, nearPoint, farPoint);
        return {nearPoint[0], nearPoint[1], 0};
    }

    CountingListener listener;
    DesignDocument design;
    CurveDocument& document = design.Profile();
    CCurveView view{design, document};
};

} // namespace

TEST_F(CurveEditor, ClicksAndDragsReachTheDocumentAtTheUnprojectedPoint)
{
    view.OnLeftDown(0, 200, 60);
    ASSERT_EQ(document.ControlPoints().size(), 1u);
    const CVector3 world = WorldAt(200, 60);
    EXPECT_EQ(document.ControlPoints()[0].x, world.x);
    EXPECT_EQ(document.ControlPoints()[0].y, world.y);
    // Left of the axis the profile refuses; the owner hears of it.
    view.OnLeftDown(0, 20, 60);
    EXPECT_EQ(listener.refusals, 1);
    EXPECT_EQ(document.ControlPoints().size(), 1u);
    // The centre column unprojects to X = 0 exactly.
    view.OnLeftDown(0, 146, 40);
    ASSERT_EQ(document.ControlPoints().size(), 2u);
    EXPECT_EQ(document.ControlPoints()[1].x, 0.0);
    // A drag moves the selection only with the left button held.
    document.SetMode(EditMode::Select);
    view.OnDrag(0, 250, 200);
    EXPECT_EQ(document.ControlPoints()[1].x, 0.0);
    view.OnDrag(MK_LBUTTON, 250, 200);
    EXPECT_EQ(document.ControlPoints()[1].x, WorldAt(250, 200).x);
    EXPECT_EQ(listener.changes, 3);
}

TEST_F(CurveEditor, DrawsControlPointsOnlyWhileOneIsSelected)
{
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view, kHangGuardMs));
    ASSERT_TRUE(document.Assign({{1, -5, 0}, {5, 5, 0}}, -1).Ok());
    auto pinkAt = [&](double x, double y) {
        const QPoint p = WorldToWindow(view, x, y);
        return ColourNear(GrabView(view).pixel(p), 255, 128, 128);
    };
    EXPECT_FALSE(pinkAt(1, -5));
    ASSERT_TRUE(document.Assign(document.ControlPoints(), 0).Ok());
    EXPECT_TRUE(pinkAt(1, -5));
    EXPECT_FALSE(pinkAt(5, 5));
}

TEST_F(CurveEditor, DoubleClickInAddModeInsertsOnePoint)
{
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view, kHangGuardMs));
    view.RenderFrame();
    QTest::mouseDClick(&view, Qt::LeftButton, {}, WorldToWindow(view, 3, 3));
    EXPECT_EQ(document.ControlPoints().size(), 1u);
}

TEST_F(CurveEditor, ADragThatLeavesTheViewLeavesThePointWhereTheViewLastSawIt)
{
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view, kHangGuardMs));
    view.RenderFrame();
    document.Assign({{2, 2, 0}}, 0);
    document.SetMode(EditMode::Select);
    QTest::mousePress(&view, Qt::LeftButton, {}, WorldToWindow(view, 2, 2));
    QTest::mouseMove(&view, QPoint(250, 60));
    const CVector3 lastSeen = WorldAt(250, 60);
    ASSERT_EQ(document.ControlPoints()[0].x, lastSeen.x);
    // Just past each edge, then the far corner of the screen, where the
    // pointer is released.
    const QPoint corner = view.mapFromGlobal(view.screen()->geometry().bottomRight());
    for (const QPoint& outside : {QPoint(-1, 60), QPoint(292, 60), QPoint(250, -1), QPoint(250, 256), corner})
        QTest::mouseMove(&view, outside);
    QTest::mouseRelease(&view, Qt::LeftButton, {}, corner);
    EXPECT_EQ(document.ControlPoints()[0].x, lastSeen.x);
    EXPECT_EQ(document.ControlPoints()[0].y, lastSeen.y);
    // The release ended the drag: moving back over the view changes nothing.
    QTest::mouseMove(&view, QPoint(40, 200));
    EXPECT_EQ(document.ControlPoints()[0].x, lastSeen.x);
    // The last row and column inside still count.
    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(250, 60));
    QTest::mouseMove(&view, QPoint(291, 255));
    EXPECT_EQ(document.ControlPoints()[0].y, WorldAt(291, 255).y);
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(291, 255));
}

namespace {

QMouseEvent* MoveWithLeftButton(CGLView& view, QPoint to)
{
    return new QMouseEvent(QEvent::MouseMove, QPointF(to), QPointF(view.mapToGlobal(to)), Qt::NoButton,
                           Qt::LeftButton, Qt::NoModifier);
}

} // namespace

TEST_F(CurveEditor, ABurstOfMovesIsMergedAndTheLatestPositionWins)
{
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view, kHangGuardMs));
    document.Assign({{1, -5, 0}, {2, 5, 0}}, 1);
    document.SetMode(EditMode::Select);
    const int before = listener.changes;
    // Posted before the event loop runs, as moves pile up while a large
    // surface is being built.
    QPoint last;
    for (int i = 0; i < 25; ++i) {
        last = QPoint(150 + 3 * i, 40 + 5 * i);
        QCoreApplication::postEvent(&view, MoveWithLeftButton(view, last));
    }
    EXPECT_EQ(listener.changes, before) << "nothing is handled before the loop runs";
    ASSERT_TRUE(QTest::qWaitFor([&] { return listener.changes > before && !view.HasPendingMove(); },
                                kHangGuardMs));
    QCoreApplication::processEvents();
    EXPECT_EQ(listener.changes, before + 1) << "one drag step for the whole burst";
    const CVector3 world = WorldAt(last.x(), last.y());
    EXPECT_EQ(document.ControlPoints()[1].x, world.x);
    EXPECT_EQ(document.ControlPoints()[1].y, world.y);
}

TEST_F(CurveEditor, AButtonEventDeliversTheKeptMoveFirst)
{
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view, kHangGuardMs));
    document.Assign({{1, -5, 0}, {2, 5, 0}}, 1);
    document.SetMode(EditMode::Select);
    const int before = listener.changes;
    const QPoint to(200, 100);
    std::unique_ptr<QMouseEvent> move(MoveWithLeftButton(view, to));
    QCoreApplication::sendEvent(&view, move.get());
    EXPECT_TRUE(view.HasPendingMove());
    EXPECT_EQ(listener.changes, before);
    // The release comes before the loop has delivered the move: the move
    // still happens first, at its own position.
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(20, 20), QPointF(view.mapToGlobal(QPoint(20, 20))),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &release);
    EXPECT_FALSE(view.HasPendingMove());
    EXPECT_EQ(listener.changes, before + 1);
    EXPECT_EQ(document.ControlPoints()[1].x, WorldAt(to.x(), to.y()).x);
    EXPECT_EQ(document.ControlPoints()[1].y, WorldAt(to.x(), to.y()).y);
    // The posted delivery finds nothing left to do.
    QCoreApplication::processEvents();
    EXPECT_EQ(listener.changes, before + 1);
}

namespace {

// Snapped to whole units or tenths: exactly the doubles k and k / 10.0.
double Units(double value)
{
    return static_cast<double>(std::lround(value));
}

double Tenths(double value)
{
    return static_cast<double>(std::lround(value * 10.0)) / 10.0;
}

void MoveWith(CGLView& view, Qt::KeyboardModifiers keys, QPoint to)
{
    QTest::mouseEvent(QTest::MouseMove, &view, Qt::NoButton, keys, to);
}

} // namespace

TEST_F(CurveEditor, CtrlSnapsAnAddedPointToUnitsCtrlShiftToTenthsAPickNot)
{
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view, kHangGuardMs));
    view.RenderFrame();
    const QPoint a(200, 60), b(230, 90), c(170, 130);
    const CVector3 rawA = WorldAt(a.x(), a.y()), rawB = WorldAt(b.x(), b.y()), rawC = WorldAt(c.x(), c.y());
    ASSERT_NE(rawA.x, Tenths(rawA.x)) << "the pointer must be off the grid for the test to tell";
    QTest::mouseClick(&view, Qt::LeftButton, Qt::ControlModifier, a);
    QTest::mouseClick(&view, Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier, b);
    QTest::mouseClick(&view, Qt::LeftButton, Qt::ShiftModifier, c);
    const std::vector<CVector3>& points = document.ControlPoints();
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[0].x, Units(rawA.x));
    EXPECT_EQ(points[0].y, Units(rawA.y));
    EXPECT_EQ(points[1].x, Tenths(rawB.x));
    EXPECT_EQ(points[1].y, Tenths(rawB.y));
    EXPECT_EQ(points[2].x, rawC.x) << "Shift alone does not snap";
    EXPECT_EQ(points[2].y, rawC.y);
    // In select mode a Ctrl click picks near the pointer as it is: (2.55,
    // 2.55) is out of reach of the point, its grid point (3, 3) is not.
    document.SetMode(EditMode::Select);
    ASSERT_TRUE(document.Assign({{3.35, 3.35, 0}, {8, -8, 0}}, 1).Ok());
    QTest::mouseClick(&view, Qt::LeftButton, Qt::ControlModifier, WorldToWindow(view, 2.55, 2.55));
    EXPECT_EQ(document.Selected(), 1) << "a miss keeps the selection";
    QTest::mouseClick(&view, Qt::LeftButton, Qt::ControlModifier, WorldToWindow(view, 3.3, 3.3));
    EXPECT_EQ(document.Selected(), 0);
}

TEST_F(CurveEditor, ACtrlDragLandsOnTheGridAndTheProfileStaysRightOfTheAxis)
{
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view, kHangGuardMs));
    view.RenderFrame();
    document.Assign({{2, 2, 0}}, 0);
    document.SetMode(EditMode::Select);
    QTest::mousePress(&view, Qt::LeftButton, Qt::ControlModifier, WorldToWindow(view, 2, 2));
    const QPoint a(250, 60), b(203, 77), c(181, 200);
    const CVector3 rawA = WorldAt(a.x(), a.y()), rawB = WorldAt(b.x(), b.y()), rawC = WorldAt(c.x(), c.y());
    const CVector3& point = document.ControlPoints()[0];
    MoveWith(view, Qt::ControlModifier, a);
    EXPECT_EQ(point.x, Units(rawA.x));
    EXPECT_EQ(point.y, Units(rawA.y));
    MoveWith(view, Qt::ControlModifier | Qt::ShiftModifier, b);
    EXPECT_EQ(point.x, Tenths(rawB.x));
    EXPECT_EQ(point.y, Tenths(rawB.y));
    MoveWith(view, Qt::NoModifier, c);
    EXPECT_EQ(point.x, rawC.x);
    EXPECT_EQ(point.y, rawC.y);
    // Left of the axis the snapped point is clamped to it as any other.
    MoveWith(view, Qt::ControlModifier, QPoint(20, 60));
    EXPECT_EQ(point.x, 0.0);
    EXPECT_EQ(point.y, Units(WorldAt(20, 60).y));
    QTest::mouseRelease(&view, Qt::LeftButton, Qt::ControlModifier, QPoint(20, 60));

    // An added point just left of the axis snaps onto it (as +0) and is
    // kept; one that snaps to -1 is refused.
    document.SetMode(EditMode::Add);
    QTest::mouseClick(&view, Qt::LeftButton, Qt::ControlModifier, WorldToWindow(view, -0.3, 4.2));
    ASSERT_EQ(document.ControlPoints().size(), 2u);
    EXPECT_EQ(document.ControlPoints()[1].x, 0.0);
    EXPECT_FALSE(std::signbit(document.ControlPoints()[1].x));
    EXPECT_EQ(document.ControlPoints()[1].y, 4.0);
    EXPECT_EQ(listener.refusals, 0);
    QTest::mouseClick(&view, Qt::LeftButton, Qt::ControlModifier, WorldToWindow(view, -0.7, 4.2));
    EXPECT_EQ(listener.refusals, 1);
    EXPECT_EQ(document.ControlPoints().size(), 2u);
}
