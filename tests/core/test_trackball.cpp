#include "core/Trackball.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

// No drag can make the shared drag point unusable; this puts it there to
// check the zoom's guard.
class TrackballTestAccess {
public:
    static void SetLastX(CTrackball& tb, double x) { tb.m_LastPoint.x = x; }
};

namespace {

const double kPi = 3.14159265358979323846;

// Sphere z at and beyond the rim before normalising.
double RimZ()
{
    return std::sqrt(static_cast<double>(1.001f) - 1.0);
}

CTrackball SizedTrackball(int w, int h)
{
    CTrackball tb;
    tb.SetViewportSize(w, h);
    return tb;
}

bool IsIdentity(const float* m)
{
    for (int i = 0; i < 16; ++i) {
        if (m[i] != (i % 5 == 0 ? 1.0f : 0.0f))
            return false;
    }
    return true;
}

// Turn of a rotation about +Y read from the matrix, in degrees (-180, 180].
double YawDegrees(const float* m)
{
    return std::atan2(static_cast<double>(m[8]), static_cast<double>(m[0])) * 180.0 / kPi;
}

void ExpectRotationAboutY(const float* m)
{
    EXPECT_NEAR(m[5], 1.0f, 1e-5);
    for (int i : {1, 3, 4, 6, 7, 9, 11, 12, 13, 14})
        EXPECT_NEAR(m[i], 0.0f, 1e-5) << "entry " << i;
    EXPECT_NEAR(m[0], m[10], 1e-5);
    EXPECT_NEAR(m[2], -m[8], 1e-5);
}

// A turn of `degrees` about `axis`, from Rodrigues' formula in double.
void ExpectTurn(const float* m, const CVector3& axis, double degrees)
{
    const double len = axis.Length();
    const double n[3] = {axis.x / len, axis.y / len, axis.z / len};
    const double c = std::cos(degrees * kPi / 180.0);
    const double s = std::sin(degrees * kPi / 180.0);
    const double cross[3][3] = {{0.0, -n[2], n[1]}, {n[2], 0.0, -n[0]}, {-n[1], n[0], 0.0}};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            const double expected = (row == col ? c : 0.0) + (1.0 - c) * n[row] * n[col]
                                    + s * cross[row][col];
            EXPECT_NEAR(m[col * 4 + row], expected, 1e-5) << "row " << row << " col " << col;
        }
    }
    for (int i : {3, 7, 11, 12, 13, 14})
        EXPECT_EQ(m[i], 0.0f) << "entry " << i;
    EXPECT_EQ(m[15], 1.0f);
}

} // namespace

// --- state and drag flags ---------------------------------------------------

TEST(TrackballState, StartsUnturnedAtDistanceTwentyWithNoDrag)
{
    // The sphere radius and the zoom rate show in the rotation and zoom tests.
    CTrackball tb;
    EXPECT_TRUE(IsIdentity(tb.Matrix()));
    EXPECT_FALSE(tb.IsRotating());
    EXPECT_FALSE(tb.IsZooming());
    EXPECT_EQ(tb.Distance(), 20.0f);
    EXPECT_EQ(tb.ProjectToSphere(0, 0).z, 1.0) << "no viewport size yet";
}

TEST(TrackballState, SetViewRestoresASavedViewAndEndsTheDrag)
{
    CTrackball turned = SizedTrackball(200, 100);
    turned.BeginRotation(100, 50);
    turned.Motion(160, 20);
    turned.EndRotation();
    CTrackball tb = SizedTrackball(200, 100);
    tb.BeginRotation(10, 10);
    tb.SetView(turned.Matrix(), 7.5f);
    EXPECT_FALSE(tb.IsRotating());
    EXPECT_EQ(tb.Distance(), 7.5f);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(tb.Matrix()[i], turned.Matrix()[i]) << i;
    EXPECT_FALSE(IsIdentity(tb.Matrix()));
}

TEST(TrackballState, BeginAndEndTouchOnlyTheirOwnFlag)
{
    CTrackball tb = SizedTrackball(200, 100);
    tb.BeginZoom(30, 40);
    EXPECT_TRUE(tb.IsZooming());
    EXPECT_FALSE(tb.IsRotating());

    tb.BeginRotation(100, 50);
    EXPECT_TRUE(tb.IsRotating());
    EXPECT_TRUE(tb.IsZooming());
    // The press stored the centre's lift: staying there is a zero chord.
    EXPECT_EQ(tb.Motion(100, 50), 0);

    tb.EndZoom();
    EXPECT_FALSE(tb.IsZooming());
    EXPECT_TRUE(tb.IsRotating());
    tb.EndRotation();
    EXPECT_FALSE(tb.IsRotating());
}

TEST(TrackballState, ZoomPressStoresPixelsAndKeepsSphereZ)
{
    // The zoom measures its travel from the pressed pixel...
    CTrackball zoom = SizedTrackball(200, 100);
    zoom.BeginRotation(0, 0);
    zoom.EndRotation();
    zoom.BeginZoom(-7, 512);
    EXPECT_EQ(zoom.Motion(43, 0), 1);
    EXPECT_EQ(zoom.Distance(), 28.0f);

    // ...and a rotation drag still held takes its next chord from the pixel
    // coordinates, with the sphere z of its own press.
    CTrackball tb = SizedTrackball(200, 100);
    tb.BeginRotation(0, 0);
    const double z = tb.ProjectToSphere(0, 0).z;
    tb.BeginZoom(1, 2);
    ASSERT_EQ(tb.Motion(100, 50), 1);
    const CVector3 from(1.0, 2.0, z);
    const CVector3 pole(0.0, 0.0, 1.0);
    ExpectTurn(tb.Matrix(), from.Cross(pole), pole.Subtract(from).Length() / 0.8 * 90.0);
}

// --- lifting window points onto the sphere ----------------------------------

TEST(TrackballSphere, CentreLiftsToFrontPole)
{
    for (auto size : {std::make_pair(290, 342), std::make_pair(2, 2), std::make_pair(1000, 10)}) {
        CTrackball tb = SizedTrackball(size.first, size.second);
        const CVector3 p = tb.ProjectToSphere(size.first / 2, size.second / 2);
        EXPECT_EQ(p.x, 0.0);
        EXPECT_EQ(p.y, 0.0);
        EXPECT_EQ(p.z, 1.0);
    }
}

TEST(TrackballSphere, CornersLiftNearTheRimWithUnitLength)
{
    CTrackball tb = SizedTrackball(290, 342);
    const CVector3 topLeft = tb.ProjectToSphere(0, 0);
    EXPECT_NEAR(topLeft.x, -0.70693, 1e-5);
    EXPECT_NEAR(topLeft.y, 0.70693, 1e-5);
    EXPECT_NEAR(topLeft.z, 0.02236, 1e-5);
    EXPECT_NEAR(topLeft.Length(), 1.0, 1e-12);

    // Window y grows downwards, sphere y upwards.
    const CVector3 bottomRight = tb.ProjectToSphere(290, 342);
    EXPECT_NEAR(bottomRight.x, 0.70693, 1e-5);
    EXPECT_NEAR(bottomRight.y, -0.70693, 1e-5);
    EXPECT_NEAR(bottomRight.z, 0.02236, 1e-5);
}

TEST(TrackballSphere, AxesScaleIndependentlyAndOutsidePointsKeepDirection)
{
    // A quarter of the way in on a wide viewport is (-0.5, 0.5) on both axes.
    CTrackball tb = SizedTrackball(400, 100);
    const CVector3 inside = tb.ProjectToSphere(100, 25);
    const double z = std::sqrt(static_cast<double>(1.001f) - 0.5);
    const double len = std::sqrt(0.5 + z * z);
    EXPECT_NEAR(inside.x, -0.5 / len, 1e-12);
    EXPECT_NEAR(inside.y, 0.5 / len, 1e-12);
    EXPECT_NEAR(inside.z, z / len, 1e-12);

    // Far outside, at (6, 2): the direction is kept and z is the rim value.
    const CVector3 outside = tb.ProjectToSphere(1400, -50);
    EXPECT_NEAR(outside.x / outside.y, 3.0, 1e-12);
    EXPECT_GT(outside.z, 0.0);
    EXPECT_NEAR(outside.z, RimZ() / std::sqrt(40.0 + RimZ() * RimZ()), 1e-12);
    EXPECT_NEAR(outside.Length(), 1.0, 1e-12);
}

TEST(TrackballSphere, WithoutAViewportSizeEveryPointLiftsToFrontPole)
{
    // The view sets the size when it makes its context; until then (or with
    // an empty viewport) nothing is divided by the size.
    for (auto size : {std::make_pair(0, 0), std::make_pair(300, 0),
                      std::make_pair(0, 300), std::make_pair(-5, 40)}) {
        CTrackball tb = SizedTrackball(size.first, size.second);
        for (auto pt : {std::make_pair(0, 0), std::make_pair(17, -3), std::make_pair(5000, 5000)}) {
            const CVector3 p = tb.ProjectToSphere(pt.first, pt.second);
            EXPECT_EQ(p.x, 0.0);
            EXPECT_EQ(p.y, 0.0);
            EXPECT_EQ(p.z, 1.0);
        }
    }
}

// --- zoom -------------------------------------------------------------------

TEST(TrackballZoom, LeftTravelShrinksDistanceDownToTwo)
{
    CTrackball tb;
    tb.BeginZoom(200, 50);
    EXPECT_EQ(tb.Motion(88, 50), 1);
    EXPECT_NEAR(tb.Distance(), 2.08f, 1e-5);
    EXPECT_GT(tb.Distance(), 2.0f);

    for (int travel : {113, 125, 400}) {
        CTrackball floor;
        floor.BeginZoom(200, 50);
        EXPECT_EQ(floor.Motion(200 - travel, 50), 1);
        EXPECT_EQ(floor.Distance(), 2.0f) << travel << " pixels";
        // Already at the floor, further left travel stays there.
        EXPECT_EQ(floor.Motion(200 - 2 * travel, 50), 1);
        EXPECT_EQ(floor.Distance(), 2.0f);
    }
}

TEST(TrackballZoom, RightTravelGrowsWithoutCeilingAndCompounds)
{
    CTrackball tb;
    tb.BeginZoom(0, 0);
    EXPECT_EQ(tb.Motion(50, 0), 1);
    EXPECT_EQ(tb.Distance(), 28.0f);
    EXPECT_EQ(tb.Motion(100, 0), 1);
    // Two 50-pixel steps give 1.4 * 1.4, not one 100-pixel factor of 1.8.
    EXPECT_NEAR(tb.Distance(), 39.2f, 1e-4);

    float previous = tb.Distance();
    for (int i = 2; i < 60; ++i) {
        tb.Motion(50 * (i + 1), 0);
        EXPECT_GT(tb.Distance(), previous);
        previous = tb.Distance();
    }
    EXPECT_GT(tb.Distance(), 1.0e6f);
    // The travel is measured from the last step's pixel.
    const float far = tb.Distance();
    tb.Motion(3050, 0);
    EXPECT_FLOAT_EQ(tb.Distance(), far * 1.4f);
}

TEST(TrackballZoom, DistanceStaysFiniteAndComesBackFromFarAway)
{
    CTrackball tb;
    tb.BeginZoom(0, 0);
    // 1000-pixel steps multiply by 9: a few hundred would overflow a float.
    for (int i = 1; i <= 300; ++i)
        tb.Motion(1000 * i, 0);
    EXPECT_TRUE(std::isfinite(tb.Distance()));
    EXPECT_GT(tb.Distance(), 1.0e37f);
    // Zooming back in still works, down to the floor.
    tb.Motion(-1000000, 0);
    EXPECT_FLOAT_EQ(tb.Distance(), 2.0f);
}

TEST(TrackballZoom, OnlyHorizontalTravelCounts)
{
    CTrackball tb;
    tb.BeginZoom(10, 10);
    EXPECT_EQ(tb.Motion(10, 300), 1);
    EXPECT_EQ(tb.Distance(), 20.0f);
}

TEST(TrackballZoom, UnusableFactorFallsToTheFloor)
{
    CTrackball tb;
    tb.BeginZoom(0, 0);
    TrackballTestAccess::SetLastX(tb, std::nan(""));
    EXPECT_EQ(tb.Motion(5, 0), 1);
    EXPECT_EQ(tb.Distance(), 2.0f);
    // The next step measures from the pixel again.
    EXPECT_EQ(tb.Motion(55, 0), 1);
    EXPECT_FLOAT_EQ(tb.Distance(), 2.8f);
}

TEST(TrackballZoom, LeftPressDuringZoomMakesOneJump)
{
    // Both drags share one drag point: after a left click at the centre the
    // zoom measures from the sphere's x of 0 instead of the last pixel.
    CTrackball tb = SizedTrackball(200, 200);
    tb.BeginZoom(100, 100);
    tb.BeginRotation(100, 100);
    tb.EndRotation();
    EXPECT_EQ(tb.Motion(100, 100), 1);
    EXPECT_EQ(tb.Distance(), 36.0f);
    EXPECT_EQ(tb.Motion(100, 100), 1);
    EXPECT_EQ(tb.Distance(), 36.0f);
}

// --- dispatch ---------------------------------------------------------------

TEST(TrackballMotion, WithoutADragNothingChanges)
{
    CTrackball tb = SizedTrackball(290, 342);
    tb.BeginRotation(10, 20);
    tb.EndRotation();
    tb.BeginZoom(3, 4);
    tb.EndZoom();
    float before[16];
    std::memcpy(before, tb.Matrix(), sizeof before);

    EXPECT_EQ(tb.Motion(250, 300), 0);
    EXPECT_EQ(std::memcmp(before, tb.Matrix(), sizeof before), 0);
    EXPECT_EQ(tb.Distance(), 20.0f);
}

TEST(TrackballRotation, BothDragsActiveRotatesOnly)
{
    CTrackball tb = SizedTrackball(290, 342);
    tb.BeginZoom(145, 171);
    tb.BeginRotation(145, 171);
    EXPECT_EQ(tb.Motion(10, 171), 1);
    EXPECT_FALSE(IsIdentity(tb.Matrix()));
    EXPECT_EQ(tb.Distance(), 20.0f);

    // Even a step too small to rotate does not fall through to the zoom.
    CTrackball fine = SizedTrackball(50000, 50000);
    fine.BeginZoom(0, 0);
    fine.BeginRotation(25000, 25000);
    EXPECT_EQ(fine.Motion(25001, 25000), 0);
    EXPECT_EQ(fine.Distance(), 20.0f);
}

TEST(TrackballRotation, DragWithoutAViewportSizeTurnsNothing)
{
    CTrackball tb;
    tb.BeginRotation(10, 10);
    EXPECT_EQ(tb.Motion(200, 150), 0);
    EXPECT_EQ(tb.Motion(-40, 900), 0);
    EXPECT_TRUE(IsIdentity(tb.Matrix()));
}

// --- rotation ---------------------------------------------------------------

TEST(TrackballRotation, SmallChordsAccumulateUntilTheyCount)
{
    // On this size one pixel near the centre is a chord of about 0.00004.
    CTrackball tb = SizedTrackball(50000, 50000);
    tb.BeginRotation(25000, 25000);
    for (int x : {25001, 25002}) {
        EXPECT_EQ(tb.Motion(x, 25000), 0);
        EXPECT_TRUE(IsIdentity(tb.Matrix()));
    }
    EXPECT_EQ(tb.Motion(25003, 25000), 1);
    // The step moved the drag point: the same pixel again is no chord.
    EXPECT_EQ(tb.Motion(25003, 25000), 0);
    const CVector3 end = tb.ProjectToSphere(25003, 25000);

    // The turn is the whole chord from the press, as one step would give.
    CTrackball once = SizedTrackball(50000, 50000);
    once.BeginRotation(25000, 25000);
    EXPECT_EQ(once.Motion(25003, 25000), 1);
    EXPECT_EQ(std::memcmp(once.Matrix(), tb.Matrix(), 16 * sizeof(float)), 0);
    ExpectRotationAboutY(tb.Matrix());
    const double chord = end.Subtract(CVector3(0.0, 0.0, 1.0)).Length();
    EXPECT_NEAR(YawDegrees(tb.Matrix()), chord / 0.8 * 90.0, 1e-4);
}

TEST(TrackballRotation, DragAcrossTheCentreTurnsByTheArcOrTheChord)
{
    // The sphere points of the left and right edges on the centre row.
    const double arc = kPi - 2.0 * std::atan(RimZ());
    const double chord = 2.0 / std::sqrt(1.0 + RimZ() * RimZ());

    CTrackball tb = SizedTrackball(290, 342);
    tb.BeginRotation(0, 171);
    double turned = 0.0;
    double yaw = 0.0;
    for (int x = 1; x <= 290; ++x) {
        ASSERT_EQ(tb.Motion(x, 171), 1) << "x " << x;
        const double now = YawDegrees(tb.Matrix());
        double step = now - yaw;
        if (step < -180.0)
            step += 360.0;
        EXPECT_GT(step, 0.0);
        turned += step;
        yaw = now;
    }
    ExpectRotationAboutY(tb.Matrix());
    EXPECT_NEAR(turned, 346.0, 1.0);
    EXPECT_NEAR(turned, arc / 0.8 * 90.0, 0.5);

    CTrackball once = SizedTrackball(290, 342);
    once.BeginRotation(0, 171);
    EXPECT_EQ(once.Motion(290, 171), 1);
    ExpectRotationAboutY(once.Matrix());
    const double single = YawDegrees(once.Matrix()) + 360.0;
    EXPECT_NEAR(single, 225.0, 0.5);
    EXPECT_NEAR(single, chord / 0.8 * 90.0, 1e-3);
}

TEST(TrackballRotation, MatrixIsColumnMajorAndNewTurnsComeFirst)
{
    // Pixels about 90 degrees from the centre of a huge viewport: the sphere
    // point at chord 0.8 from the pole has x = 0.73321 before the bulge.
    const int w = 100000;
    const double reach = std::sqrt(1.0 - 0.68 * 0.68) * std::sqrt(static_cast<double>(1.001f));
    const int right = static_cast<int>(std::lround(w * (1.0 + reach) / 2.0));
    const int up = static_cast<int>(std::lround(w * (1.0 - reach) / 2.0));

    CTrackball tb = SizedTrackball(w, w);
    tb.BeginRotation(w / 2, w / 2);
    ASSERT_EQ(tb.Motion(right, w / 2), 1);
    tb.EndRotation();
    // Dragging right carries the front (+Z) to the right and +X to the back.
    EXPECT_NEAR(tb.Matrix()[0], 0.0f, 1e-3);
    EXPECT_NEAR(tb.Matrix()[2], -1.0f, 1e-3);
    EXPECT_NEAR(tb.Matrix()[8], 1.0f, 1e-3);
    EXPECT_NEAR(tb.Matrix()[10], 0.0f, 1e-3);

    // Dragging up then turns about the viewer's X axis, carrying +X from the
    // back to the bottom; composed the other way round it would stay behind.
    tb.BeginRotation(w / 2, w / 2);
    ASSERT_EQ(tb.Motion(w / 2, up), 1);
    EXPECT_NEAR(tb.Matrix()[0], 0.0f, 2e-3);
    EXPECT_NEAR(tb.Matrix()[1], -1.0f, 2e-3);
    EXPECT_NEAR(tb.Matrix()[2], 0.0f, 2e-3);
}

TEST(TrackballRotation, AStepWithoutAnAxisTurnsNothingButMovesTheDragPoint)
{
    // A zoom press at pixel (0, 0) during a rotation drag puts the drag point
    // straight behind the front pole: a long chord, but no axis to turn about.
    CTrackball tb = SizedTrackball(200, 100);
    tb.BeginRotation(0, 0);
    tb.BeginZoom(0, 0);
    EXPECT_EQ(tb.Motion(100, 50), 1);
    EXPECT_TRUE(IsIdentity(tb.Matrix()));

    // The drag point is now the pole, and drags on from there.
    EXPECT_EQ(tb.Motion(100, 50), 0);
    ASSERT_EQ(tb.Motion(150, 50), 1);
    const CVector3 pole(0.0, 0.0, 1.0);
    const CVector3 end = tb.ProjectToSphere(150, 50);
    ExpectTurn(tb.Matrix(), pole.Cross(end), end.Subtract(pole).Length() / 0.8 * 90.0);
}

TEST(TrackballRotation, TurnsAboutAScreenAxisLeaveThatAxisExactly)
{
    // From the centre along the centre row the axis is the screen's y alone,
    // along the centre column its x alone. Turns of every size there leave
    // that axis exactly in place, so such drags never tilt the view.
    const auto expectAxisKept = [](const float* m, int axis, int k) {
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(m[axis * 4 + i], i == axis ? 1.0f : 0.0f) << "column, step " << k;
            EXPECT_EQ(m[i * 4 + axis], i == axis ? 1.0f : 0.0f) << "row, step " << k;
        }
    };
    for (int k = 1; k <= 145; ++k) {
        CTrackball tb = SizedTrackball(290, 342);
        tb.BeginRotation(145, 171);
        ASSERT_EQ(tb.Motion(145 + k, 171), 1);
        expectAxisKept(tb.Matrix(), 1, k);
    }
    for (int k = 1; k <= 171; ++k) {
        CTrackball tb = SizedTrackball(290, 342);
        tb.BeginRotation(145, 171);
        ASSERT_EQ(tb.Motion(145, 171 - k), 1);
        expectAxisKept(tb.Matrix(), 0, k);
    }
    // Over a whole drag too.
    CTrackball tb = SizedTrackball(290, 342);
    tb.BeginRotation(0, 171);
    for (int x = 1; x <= 290; ++x)
        ASSERT_EQ(tb.Motion(x, 171), 1);
    expectAxisKept(tb.Matrix(), 1, 290);
}

// --- the wheel --------------------------------------------------------------

namespace {

CTrackball AtDistance(float distance, float pixelRatio = 1.0f)
{
    CTrackball tb;
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    tb.SetView(identity, distance);
    tb.SetDevicePixelRatio(pixelRatio);
    return tb;
}

// The distance after one zoom drag step of `travel` device pixels.
float DragZoomed(float distance, int travel, float pixelRatio = 1.0f)
{
    CTrackball tb = AtDistance(distance, pixelRatio);
    tb.BeginZoom(500, 0);
    tb.Motion(500 + travel, 0);
    return tb.Distance();
}

} // namespace

TEST(TrackballWheel, ANotchZoomsAsTheEquivalentDragStepBitForBit)
{
    for (float start : {20.0f, 7.3f, 2.01f, 1234.5f}) {
        CTrackball tb = AtDistance(start);
        EXPECT_EQ(tb.Wheel(120), 1);
        const float nearer = tb.Distance();
        EXPECT_EQ(nearer, DragZoomed(start, -15)) << "forward, nearer, from " << start;
        EXPECT_EQ(tb.Wheel(-120), 1);
        EXPECT_EQ(tb.Distance(), DragZoomed(nearer, 15)) << "back, farther, from " << nearer;
    }
    // One event of three notches is three drag steps.
    CTrackball tb = AtDistance(20.0f);
    tb.Wheel(-360);
    EXPECT_EQ(tb.Distance(), DragZoomed(DragZoomed(DragZoomed(20.0f, 15), 15), 15));
    // On a display scaled by 2 the same notch is a drag of twice the device pixels.
    CTrackball scaled = AtDistance(20.0f, 2.0f);
    scaled.Wheel(120);
    EXPECT_EQ(scaled.Distance(), DragZoomed(20.0f, -30, 2.0f));
}

TEST(TrackballWheel, FineStepsAddUpToExactlyTheNotchFromWhereItBegan)
{
    const float notch = DragZoomed(20.0f, -15);
    for (const std::vector<int>& steps : {std::vector<int>(8, 15), std::vector<int>{50, 70},
                                          std::vector<int>{90, -30, 60}, std::vector<int>{135, -15}}) {
        CTrackball tb = AtDistance(20.0f);
        float previous = tb.Distance();
        for (int step : steps) {
            EXPECT_EQ(tb.Wheel(step), 1);
            EXPECT_EQ(tb.Distance() < previous, step > 0) << "each share moves at once";
            previous = tb.Distance();
        }
        EXPECT_EQ(tb.Distance(), notch) << steps.size() << " steps";
    }
    CTrackball tb = AtDistance(20.0f);
    tb.Wheel(60);
    EXPECT_FLOAT_EQ(tb.Distance(), 20.0f * (1.0f - 7.5f * 0.008f)) << "half a notch";
    // The camera put elsewhere: the rest of the notch starts afresh from there.
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    tb.SetView(identity, 30.0f);
    tb.Wheel(120);
    EXPECT_EQ(tb.Distance(), DragZoomed(30.0f, -15));
}

TEST(TrackballWheel, TheFloorHoldsAndHugeTurnsStayFinite)
{
    CTrackball tb = AtDistance(20.0f);
    for (int i = 0; i < 40; ++i)
        tb.Wheel(120);
    EXPECT_EQ(tb.Distance(), 2.0f);
    EXPECT_EQ(tb.Wheel(15), 0) << "at the floor a step forward changes nothing";
    // ...and is spent: the way back starts at once.
    EXPECT_EQ(tb.Wheel(-120), 1);
    EXPECT_EQ(tb.Distance(), DragZoomed(2.0f, 15));

    // Whatever a broken device reports, the zoom ends, finite.
    CTrackball far = AtDistance(20.0f);
    far.Wheel(-2147483647 - 1);
    far.Wheel(-2147483647 - 1);
    EXPECT_TRUE(std::isfinite(far.Distance()));
    EXPECT_GT(far.Distance(), 1.0e4f);
    far.Wheel(2147483647);
    far.Wheel(2147483647);
    EXPECT_EQ(far.Distance(), 2.0f);
}
