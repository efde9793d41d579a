// The editing rules of a curve document, in world coordinates.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/CurveDocument.h"

namespace {

class RecordingListener : public CurveDocumentListener {
public:
    void OnCurveChanged(const CurveDocument&) override { ++changes; }
    void OnEditRefused(const CurveDocument&, EditRefusal refusal) override { refusals.push_back(refusal); }
    int changes = 0;
    std::vector<EditRefusal> refusals;
};

class CurveEditing : public testing::Test {
protected:
    void SetUp() override
    {
        path.SetListener(&listener);
        profile.SetListener(&listener);
    }
    static void ExpectSampledInStep(const CurveDocument& document)
    {
        const std::size_t n = document.ControlPoints().size();
        const std::size_t expected = n < 2 ? 0 : 10 * n - 9;
        EXPECT_EQ(document.SamplePoints().size(), expected);
        EXPECT_EQ(document.SampleParams().size(), expected);
    }

    RecordingListener listener;
    CurveDocument path{false};
    CurveDocument profile{true};
};

} // namespace

TEST_F(CurveEditing, StartsEmptyInAddModeWithNothingSelected)
{
    EXPECT_TRUE(path.ControlPoints().empty());
    EXPECT_EQ(path.Selected(), -1);
    EXPECT_EQ(path.Mode(), EditMode::Add);
    EXPECT_FALSE(path.KeepsNonNegativeX());
    EXPECT_TRUE(profile.KeepsNonNegativeX());
    CVector3 out(7, 7, 7);
    EXPECT_EQ(path.GetSelectedPoint(out), -1);
    EXPECT_EQ(out.x, 7);
    ExpectSampledInStep(path);
}

TEST_F(CurveEditing, AddInsertsAfterTheSelectionAndSelectsTheNewPoint)
{
    path.Click(1, 1);
    EXPECT_EQ(path.Selected(), 0);
    path.Click(2, 2);
    EXPECT_EQ(path.Selected(), 1);
    EXPECT_EQ(path.SamplePoints().size(), 11u);
    path.Click(3, 3);
    // Select point 0, then add: the new point goes between 0 and 1.
    path.SetMode(EditMode::Select);
    path.Click(1, 1);
    path.SetMode(EditMode::Add);
    path.Click(-4, 4);
    ASSERT_EQ(path.ControlPoints().size(), 4u);
    EXPECT_EQ(path.Selected(), 1);
    EXPECT_EQ(path.ControlPoints()[1].x, -4);
    EXPECT_EQ(path.ControlPoints()[2].x, 2);
    EXPECT_EQ(listener.changes, 5);
    ExpectSampledInStep(path);
    CVector3 out;
    EXPECT_EQ(path.GetSelectedPoint(out), 1);
    EXPECT_EQ(out.y, 4);
    for (const CVector3& p : path.ControlPoints())
        EXPECT_EQ(p.z, 0.0);
}

TEST_F(CurveEditing, ProfileRefusesNegativeXButTakesZero)
{
    profile.Click(-0.5, 1);
    profile.Click(NAN, 1);
    EXPECT_TRUE(profile.ControlPoints().empty());
    EXPECT_EQ(listener.changes, 0);
    EXPECT_EQ(listener.refusals, (std::vector<EditRefusal>{EditRefusal::NegativeX, EditRefusal::NegativeX}));
    profile.Click(0.0, 1);
    ASSERT_EQ(profile.ControlPoints().size(), 1u);
    EXPECT_EQ(listener.changes, 1);
    // The path takes any X.
    path.Click(-0.5, 1);
    EXPECT_EQ(path.ControlPoints().size(), 1u);
    EXPECT_EQ(listener.refusals.size(), 2u);
}

TEST_F(CurveEditing, SelectPicksTheFirstPointInListOrderWithinTheRadius)
{
    // 0.7 away (squared 0.49) listed before 0.5 away: the first wins.
    path.Assign({{5, 0, 0}, {0.7, 0, 0}, {0, 0.5, 0}}, -1);
    path.SetMode(EditMode::Select);
    const int before = listener.changes;
    path.Click(0, 0);
    EXPECT_EQ(path.Selected(), 1);
    EXPECT_EQ(listener.changes, before + 1);
    // 0.71 away (squared 0.5041) is not picked, and a miss keeps the selection.
    path.Assign({{0.71, 0, 0}, {-3, 0, 0}}, 1);
    EXPECT_EQ(path.PointAt(0, 0), -1);
    EXPECT_EQ(path.PointAt(-3.2, 0.1), 1);
    path.Click(0, 0);
    EXPECT_EQ(path.Selected(), 1);
    EXPECT_EQ(listener.changes, before + 3);
}

TEST_F(CurveEditing, DragMovesTheSelectionOnlyInSelectMode)
{
    profile.Click(2, 2);
    const int notified = listener.changes;
    profile.DragSelectedTo(5, -3);  // add mode: nothing
    EXPECT_EQ(profile.ControlPoints()[0].x, 2);
    EXPECT_EQ(listener.changes, notified);
    profile.SetMode(EditMode::Select);
    profile.DragSelectedTo(5, -3);
    EXPECT_EQ(profile.ControlPoints()[0].x, 5);
    EXPECT_EQ(profile.ControlPoints()[0].y, -3);
    // Dragged to negative X, the profile point stops at the axis; a drag
    // never changes the selection.
    profile.DragSelectedTo(-6, 4);
    EXPECT_EQ(profile.ControlPoints()[0].x, 0.0);
    EXPECT_FALSE(std::signbit(profile.ControlPoints()[0].x));
    EXPECT_EQ(profile.ControlPoints()[0].y, 4);
    EXPECT_EQ(profile.Selected(), 0);
    EXPECT_EQ(listener.changes, notified + 2);
    EXPECT_TRUE(listener.refusals.empty());
    ExpectSampledInStep(profile);
    // Nothing selected: nothing moves.
    CurveDocument empty(false);
    empty.SetMode(EditMode::Select);
    empty.DragSelectedTo(1, 1);
    EXPECT_TRUE(empty.ControlPoints().empty());
}

TEST_F(CurveEditing, TypedCoordinatesAreRefusedLeftOfTheAxisNotClamped)
{
    profile.Assign({{1, 1, 0}, {2, 2, 0}}, 1);
    for (double x : {-0.001, static_cast<double>(NAN)})
        EXPECT_FALSE(profile.MoveSelectedTo(x, 3));
    EXPECT_EQ(listener.refusals, (std::vector<EditRefusal>{EditRefusal::NegativeX, EditRefusal::NegativeX}));
    EXPECT_FALSE(profile.MoveSelectedTo(1, INFINITY));
    EXPECT_EQ(profile.ControlPoints()[1].x, 2);
    // A typed -0 is the axis; the path takes any finite X, in add mode too.
    EXPECT_TRUE(profile.MoveSelectedTo(-0.0, 1));
    EXPECT_FALSE(std::signbit(profile.ControlPoints()[1].x));
    ExpectSampledInStep(profile);
    path.Assign({{0, 0, 0}}, 0);
    EXPECT_TRUE(path.MoveSelectedTo(-9.5, 4));
    EXPECT_EQ(path.ControlPoints()[0].x, -9.5);
    path.Assign({{0, 0, 0}}, -1);
    EXPECT_FALSE(path.MoveSelectedTo(1, 1)) << "nothing selected";
}

TEST_F(CurveEditing, DeleteSelectsThePreviousOrTheNewFirstPoint)
{
    path.DeleteSelectedPoint();  // nothing selected: nothing happens
    EXPECT_EQ(listener.changes, 0);
    path.Click(1, 1);
    path.Click(2, 2);
    path.Click(3, 3);
    path.DeleteSelectedPoint();  // point 2 of 3
    EXPECT_EQ(path.Selected(), 1);
    path.Click(4, 4);
    path.Assign(path.ControlPoints(), 0);
    path.DeleteSelectedPoint();  // point 0 of 3
    EXPECT_EQ(path.Selected(), 0);
    EXPECT_EQ(path.ControlPoints()[0].x, 2);
    path.DeleteSelectedPoint();
    ExpectSampledInStep(path);
    const int before = listener.changes;
    path.DeleteSelectedPoint();  // the only point
    EXPECT_TRUE(path.ControlPoints().empty());
    EXPECT_TRUE(path.SamplePoints().empty());
    EXPECT_TRUE(path.SampleParams().empty());
    EXPECT_EQ(path.Selected(), -1);
    EXPECT_EQ(listener.changes, before + 1);
}

TEST_F(CurveEditing, ResetMakesAStraightRowWithTheFloatStep)
{
    path.ResetCurve(3);
    ASSERT_EQ(path.ControlPoints().size(), 4u);
    const double expectedY[] = {-5, -1.6666667461395264, 1.6666665077209473, 4.999999761581421};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(path.ControlPoints()[i].x, 0.0);
        EXPECT_EQ(path.ControlPoints()[i].y, expectedY[i]);
        EXPECT_EQ(path.ControlPoints()[i].z, 0.0);
    }
    EXPECT_EQ(path.Selected(), 0);
    EXPECT_EQ(listener.changes, 1);
    ExpectSampledInStep(path);
    path.ResetCurve(1);
    ASSERT_EQ(path.ControlPoints().size(), 2u);
    EXPECT_EQ(path.ControlPoints()[1].y, 5.0);
}

TEST_F(CurveEditing, AssignKeepsOnlyAValidSelection)
{
    path.Assign({{1, 2, 0}, {3, 4, 0}}, 1);
    EXPECT_EQ(path.Selected(), 1);
    ExpectSampledInStep(path);
    path.Assign({{1, 2, 0}}, 1);
    EXPECT_EQ(path.Selected(), -1);
    path.Assign({}, -1);
    EXPECT_EQ(path.Selected(), -1);
    ExpectSampledInStep(path);
    EXPECT_EQ(listener.changes, 3);
}

TEST_F(CurveEditing, AnInsertIntoAFullCurveIsRefusedAndChangesNothing)
{
    // As many points as a design file keeps.
    std::vector<CVector3> full;
    for (std::size_t i = 0; i < kMaxCurvePoints; ++i)
        full.push_back({1.0 + static_cast<double>(i % 7), -9.0 + 0.018 * static_cast<double>(i), 0.0});
    profile.Assign(full, 500);
    const std::vector<CVector3> samples = profile.SamplePoints();
    const int changes = listener.changes;
    profile.Click(3, 3);
    ASSERT_EQ(listener.refusals, std::vector<EditRefusal>{EditRefusal::TooManyPoints});
    EXPECT_EQ(listener.changes, changes) << "a refused insert notifies no change";
    EXPECT_EQ(profile.ControlPoints().size(), kMaxCurvePoints);
    EXPECT_EQ(profile.Selected(), 500);
    for (std::size_t i = 0; i < full.size(); ++i) {
        EXPECT_EQ(profile.ControlPoints()[i].x, full[i].x);
        EXPECT_EQ(profile.ControlPoints()[i].y, full[i].y);
    }
    EXPECT_EQ(profile.SamplePoints().size(), samples.size());
    // Left of the axis the older rule speaks first.
    profile.Click(-1, 0);
    EXPECT_EQ(listener.refusals.back(), EditRefusal::NegativeX);
    // One point fewer, and the insert goes through.
    profile.DeleteSelectedPoint();
    profile.Click(3, 3);
    EXPECT_EQ(profile.ControlPoints().size(), kMaxCurvePoints);
    EXPECT_EQ(listener.refusals.size(), 2u);
}
