#include <gtest/gtest.h>

#include <QTest>
#include <cmath>

#include "curve/CurveView.h"
#include "GuiTestSupport.h"

namespace {

class CountingListener : public CCurveChangeListener {
public:
    void OnCurveChanged() override { ++count; }
    int count = 0;
};

// An editor with a live context and one frame drawn, so that window points
// unproject into its 20 x 20 world square.
class CurveEditor : public testing::Test {
protected:
    void SetUp() override
    {
        view.resize(292, 256);
        view.create();
        view.InitGL();
        view.RenderFrame();
        view.m_hNotifyWnd = &listener;
    }
    CVector3 WorldAt(int x, int y)
    {
        double nearPoint[3], farPoint[3];
        view.ScreenToWorld(x, y, nearPoint, farPoint);
        return {nearPoint[0], nearPoint[1], 0};
    }
    void ClickWorld(double x, double y)
    {
        const QPoint p = WorldToWindow(view, x, y);
        view.OnLeftDown(p.x(), p.y());
    }
    void ExpectSampledInStep()
    {
        const std::size_t n = view.m_ControlPoints.size();
        const std::size_t expected = n < 2 ? 0 : 10 * n - 9;
        EXPECT_EQ(view.m_SamplePoints.size(), expected);
        EXPECT_EQ(view.m_SampleParams.size(), expected);
    }

    CCurveView view;
    CountingListener listener;
    RecordingMessageBoxes boxes;
};

} // namespace

TEST_F(CurveEditor, StartsEmptyInAddModeWithNothingSelected)
{
    EXPECT_TRUE(view.m_ControlPoints.empty());
    EXPECT_EQ(view.m_nSelected, -1);
    EXPECT_EQ(view.m_nMode, CCurveView::MODE_ADD);
    EXPECT_EQ(view.m_bNonNegativeX, 0);
    CVector3 out(7, 7, 7);
    EXPECT_EQ(view.GetSelectedPoint(out), -1);
    EXPECT_EQ(out.x, 7);
}

TEST_F(CurveEditor, AddInsertsAfterTheSelectionAndSelectsTheNewPoint)
{
    ClickWorld(1, 1);
    EXPECT_EQ(view.m_nSelected, 0);
    ClickWorld(2, 2);
    EXPECT_EQ(view.m_nSelected, 1);
    ExpectSampledInStep();
    EXPECT_EQ(view.m_SamplePoints.size(), 11u);
    ClickWorld(3, 3);
    // Select point 0, then add: the new point goes between 0 and 1.
    view.m_nSelected = 0;
    ClickWorld(-4, 4);
    ASSERT_EQ(view.m_ControlPoints.size(), 4u);
    EXPECT_EQ(view.m_nSelected, 1);
    EXPECT_NEAR(view.m_ControlPoints[1].x, -4, 0.1);
    EXPECT_NEAR(view.m_ControlPoints[2].x, 2, 0.1);
    EXPECT_EQ(listener.count, 4);
    ExpectSampledInStep();
    CVector3 out;
    EXPECT_EQ(view.GetSelectedPoint(out), 1);
    EXPECT_EQ(out.x, view.m_ControlPoints[1].x);
    for (const CVector3& p : view.m_ControlPoints)
        EXPECT_EQ(p.z, 0.0);
}

TEST_F(CurveEditor, ProfileRefusesNegativeXButTakesZero)
{
    view.m_bNonNegativeX = 1;
    ClickWorld(-0.5, 1);
    EXPECT_TRUE(view.m_ControlPoints.empty());
    EXPECT_EQ(listener.count, 0);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "X > 0이어야 합니다.");
    EXPECT_EQ(boxes.boxes[0].icon, MessageIcon::Warning);
    // The centre column unprojects to X = 0 exactly.
    view.OnLeftDown(146, 40);
    ASSERT_EQ(view.m_ControlPoints.size(), 1u);
    EXPECT_EQ(view.m_ControlPoints[0].x, 0.0);
    EXPECT_EQ(listener.count, 1);
    EXPECT_EQ(boxes.boxes.size(), 1u);
}

TEST_F(CurveEditor, SelectPicksTheFirstPointInListOrderWithinTheRadius)
{
    const CVector3 click = WorldAt(100, 100);
    // 0.7 away (squared 0.49) listed before 0.5 away: the first wins.
    view.m_ControlPoints = {{click.x + 5, click.y, 0}, {click.x + 0.7, click.y, 0},
                            {click.x, click.y + 0.5, 0}};
    view.m_nMode = CCurveView::MODE_SELECT;
    view.OnLeftDown(100, 100);
    EXPECT_EQ(view.m_nSelected, 1);
    EXPECT_EQ(listener.count, 1);
    // 0.71 away (squared 0.5041) is not picked, and a miss keeps the selection.
    view.m_ControlPoints = {{click.x + 0.71, click.y, 0}, {click.x - 3, click.y, 0}};
    view.m_nSelected = 1;
    view.OnLeftDown(100, 100);
    EXPECT_EQ(view.m_nSelected, 1);
    EXPECT_EQ(listener.count, 2);
}

TEST_F(CurveEditor, DragMovesTheSelectionOnlyInSelectModeWithTheButtonHeld)
{
    view.m_bNonNegativeX = 1;
    ClickWorld(2, 2);
    const int notified = listener.count;
    const QPoint target = WorldToWindow(view, 5, -3);
    view.OnDrag(MK_LBUTTON, target.x(), target.y());  // add mode: nothing
    view.m_nMode = CCurveView::MODE_SELECT;
    view.OnDrag(0, target.x(), target.y());  // no button: nothing
    EXPECT_NEAR(view.m_ControlPoints[0].x, 2, 0.1);
    EXPECT_EQ(listener.count, notified);
    view.OnDrag(MK_LBUTTON, target.x(), target.y());
    EXPECT_NEAR(view.m_ControlPoints[0].x, 5, 0.1);
    EXPECT_NEAR(view.m_ControlPoints[0].y, -3, 0.1);
    // Dragged to negative X, the profile point stops at the axis.
    const QPoint left = WorldToWindow(view, -6, 4);
    view.OnDrag(MK_LBUTTON, left.x(), left.y());
    EXPECT_EQ(view.m_ControlPoints[0].x, 0.0);
    EXPECT_NEAR(view.m_ControlPoints[0].y, 4, 0.1);
    EXPECT_EQ(listener.count, notified + 2);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(CurveEditor, DeleteSelectsThePreviousOrTheNewFirstPoint)
{
    view.DeleteSelectedPoint();  // nothing selected: nothing happens
    EXPECT_EQ(listener.count, 0);
    ClickWorld(1, 1);
    ClickWorld(2, 2);
    ClickWorld(3, 3);
    view.DeleteSelectedPoint();  // point 2 of 3
    EXPECT_EQ(view.m_nSelected, 1);
    ClickWorld(4, 4);
    view.m_nSelected = 0;
    view.DeleteSelectedPoint();  // point 0 of 3
    EXPECT_EQ(view.m_nSelected, 0);
    EXPECT_NEAR(view.m_ControlPoints[0].x, 2, 0.1);
    view.DeleteSelectedPoint();
    ExpectSampledInStep();
    const int before = listener.count;
    view.DeleteSelectedPoint();  // the only point
    EXPECT_TRUE(view.m_ControlPoints.empty());
    EXPECT_TRUE(view.m_SamplePoints.empty());
    EXPECT_TRUE(view.m_SampleParams.empty());
    EXPECT_EQ(view.m_nSelected, -1);
    EXPECT_EQ(listener.count, before + 1);
}

TEST_F(CurveEditor, ResetMakesAStraightRowWithTheFloatStep)
{
    view.ResetCurve(3);
    ASSERT_EQ(view.m_ControlPoints.size(), 4u);
    const double expectedY[] = {-5, -1.6666667461395264, 1.6666665077209473, 4.999999761581421};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(view.m_ControlPoints[i].x, 0.0);
        EXPECT_EQ(view.m_ControlPoints[i].y, expectedY[i]);
        EXPECT_EQ(view.m_ControlPoints[i].z, 0.0);
    }
    EXPECT_EQ(view.m_nSelected, 0);
    EXPECT_EQ(listener.count, 1);
    ExpectSampledInStep();
    view.ResetCurve(1);
    ASSERT_EQ(view.m_ControlPoints.size(), 2u);
    EXPECT_EQ(view.m_ControlPoints[1].y, 5.0);
}

TEST_F(CurveEditor, DrawsControlPointsOnlyWhileOneIsSelected)
{
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    view.m_ControlPoints = {{-5, -5, 0}, {5, 5, 0}};
    auto pinkAt = [&](double x, double y) {
        const QPoint p = WorldToWindow(view, x, y);
        return ColourNear(GrabView(view).pixel(p), 255, 128, 128);
    };
    EXPECT_FALSE(pinkAt(-5, -5));
    view.m_nSelected = 0;
    EXPECT_TRUE(pinkAt(-5, -5));
    EXPECT_FALSE(pinkAt(5, 5));
}

TEST_F(CurveEditor, DoubleClickInAddModeInsertsOnePoint)
{
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    view.RenderFrame();
    QTest::mouseDClick(&view, Qt::LeftButton, {}, WorldToWindow(view, 3, 3));
    EXPECT_EQ(view.m_ControlPoints.size(), 1u);
}
