#include "surface/Trackball.h"

#include "GLTestContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

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
    tb.m_nWidth = w;
    tb.m_nHeight = h;
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

// The rotation step needs a current context; the view leaves the modelview
// matrix selected, so the fixture does too.
class TrackballRotation : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ctx.IsValid());
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }

    GLTestContext ctx;
};

} // namespace

// --- state and drag flags ---------------------------------------------------

TEST(TrackballState, StartsUnturnedAtDistanceTwentyWithNoDrag)
{
    CTrackball tb;
    EXPECT_TRUE(IsIdentity(tb.m_Matrix));
    EXPECT_EQ(tb.m_bRotating, 0);
    EXPECT_EQ(tb.m_bZooming, 0);
    EXPECT_EQ(tb.m_nWidth, 0);
    EXPECT_EQ(tb.m_nHeight, 0);
    EXPECT_EQ(tb.m_fDistance, 20.0f);
    EXPECT_EQ(tb.m_fRadius, 0.4f);
    EXPECT_EQ(tb.m_fZoomRate, 0.008f);
}

TEST(TrackballState, BeginAndEndTouchOnlyTheirOwnFlag)
{
    CTrackball tb = SizedTrackball(200, 100);
    tb.BeginZoom(30, 40);
    EXPECT_EQ(tb.m_bZooming, 1);
    EXPECT_EQ(tb.m_bRotating, 0);

    tb.BeginRotation(100, 50);
    EXPECT_EQ(tb.m_bRotating, 1);
    EXPECT_EQ(tb.m_bZooming, 1);
    EXPECT_EQ(tb.m_LastPoint.z, 1.0);

    tb.EndZoom();
    EXPECT_EQ(tb.m_bZooming, 0);
    EXPECT_EQ(tb.m_bRotating, 1);
    tb.EndRotation();
    EXPECT_EQ(tb.m_bRotating, 0);
}

TEST(TrackballState, ZoomPressStoresPixelsAndKeepsSphereZ)
{
    CTrackball tb = SizedTrackball(200, 100);
    tb.BeginRotation(0, 0);
    const double z = tb.m_LastPoint.z;
    tb.BeginZoom(-7, 512);
    EXPECT_EQ(tb.m_LastPoint.x, -7.0);
    EXPECT_EQ(tb.m_LastPoint.y, 512.0);
    EXPECT_EQ(tb.m_LastPoint.z, z);
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

TEST(TrackballSphere, BeforeTheFirstFrameEveryPointLiftsToFrontPole)
{
    // The view writes the size on its first frame; until then (or with an
    // empty viewport) nothing is divided by the size.
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
    EXPECT_NEAR(tb.m_fDistance, 2.08f, 1e-5);
    EXPECT_GT(tb.m_fDistance, 2.0f);

    for (int travel : {113, 125, 400}) {
        CTrackball floor;
        floor.BeginZoom(200, 50);
        EXPECT_EQ(floor.Motion(200 - travel, 50), 1);
        EXPECT_EQ(floor.m_fDistance, 2.0f) << travel << " pixels";
        // Already at the floor, further left travel stays there.
        EXPECT_EQ(floor.Motion(200 - 2 * travel, 50), 1);
        EXPECT_EQ(floor.m_fDistance, 2.0f);
    }
}

TEST(TrackballZoom, RightTravelGrowsWithoutCeilingAndCompounds)
{
    CTrackball tb;
    tb.BeginZoom(0, 0);
    EXPECT_EQ(tb.Motion(50, 0), 1);
    EXPECT_EQ(tb.m_fDistance, 28.0f);
    EXPECT_EQ(tb.Motion(100, 0), 1);
    // Two 50-pixel steps give 1.4 * 1.4, not one 100-pixel factor of 1.8.
    EXPECT_NEAR(tb.m_fDistance, 39.2f, 1e-4);

    float previous = tb.m_fDistance;
    for (int i = 2; i < 60; ++i) {
        tb.Motion(50 * (i + 1), 0);
        EXPECT_GT(tb.m_fDistance, previous);
        previous = tb.m_fDistance;
    }
    EXPECT_GT(tb.m_fDistance, 1.0e6f);
    EXPECT_EQ(tb.m_LastPoint.x, 3000.0);
}

TEST(TrackballZoom, DistanceStaysFiniteAndComesBackFromFarAway)
{
    CTrackball tb;
    tb.BeginZoom(0, 0);
    // 1000-pixel steps multiply by 9: a few hundred would overflow a float.
    for (int i = 1; i <= 300; ++i)
        tb.Motion(1000 * i, 0);
    EXPECT_TRUE(std::isfinite(tb.m_fDistance));
    EXPECT_GT(tb.m_fDistance, 1.0e37f);
    // Zooming back in still works, down to the floor.
    tb.Motion(-1000000, 0);
    EXPECT_FLOAT_EQ(tb.m_fDistance, 2.0f);
}

TEST(TrackballZoom, OnlyHorizontalTravelCounts)
{
    CTrackball tb;
    tb.BeginZoom(10, 10);
    EXPECT_EQ(tb.Motion(10, 300), 1);
    EXPECT_EQ(tb.m_fDistance, 20.0f);
    EXPECT_EQ(tb.m_LastPoint.y, 300.0);
}

TEST(TrackballZoom, UnusableFactorFallsToTheFloor)
{
    CTrackball tb;
    tb.BeginZoom(0, 0);
    tb.m_LastPoint.x = std::nan("");
    EXPECT_EQ(tb.Motion(5, 0), 1);
    EXPECT_EQ(tb.m_fDistance, 2.0f);
    EXPECT_EQ(tb.m_LastPoint.x, 5.0);
}

TEST(TrackballZoom, LeftPressDuringZoomMakesOneJump)
{
    // Both drags share m_LastPoint: after a left click at the centre the
    // zoom measures from the sphere's x of 0 instead of the last pixel.
    CTrackball tb = SizedTrackball(200, 200);
    tb.BeginZoom(100, 100);
    tb.BeginRotation(100, 100);
    tb.EndRotation();
    EXPECT_EQ(tb.Motion(100, 100), 1);
    EXPECT_EQ(tb.m_fDistance, 36.0f);
    EXPECT_EQ(tb.Motion(100, 100), 1);
    EXPECT_EQ(tb.m_fDistance, 36.0f);
}

// --- dispatch ---------------------------------------------------------------

TEST(TrackballMotion, WithoutADragNothingChanges)
{
    CTrackball tb = SizedTrackball(290, 342);
    tb.BeginRotation(10, 20);
    tb.EndRotation();
    tb.BeginZoom(3, 4);
    tb.EndZoom();
    const CVector3 last = tb.m_LastPoint;
    float before[16];
    std::memcpy(before, tb.m_Matrix, sizeof before);

    EXPECT_EQ(tb.Motion(250, 300), 0);
    EXPECT_EQ(std::memcmp(before, tb.m_Matrix, sizeof before), 0);
    EXPECT_EQ(tb.m_fDistance, 20.0f);
    EXPECT_EQ(tb.m_LastPoint.x, last.x);
    EXPECT_EQ(tb.m_LastPoint.y, last.y);
    EXPECT_EQ(tb.m_LastPoint.z, last.z);
}

TEST_F(TrackballRotation, BothDragsActiveRotatesOnly)
{
    CTrackball tb = SizedTrackball(290, 342);
    tb.BeginZoom(145, 171);
    tb.BeginRotation(145, 171);
    EXPECT_EQ(tb.Motion(10, 171), 1);
    EXPECT_FALSE(IsIdentity(tb.m_Matrix));
    EXPECT_EQ(tb.m_fDistance, 20.0f);

    // Even a step too small to rotate does not fall through to the zoom.
    CTrackball fine = SizedTrackball(50000, 50000);
    fine.BeginZoom(0, 0);
    fine.BeginRotation(25000, 25000);
    EXPECT_EQ(fine.Motion(25001, 25000), 0);
    EXPECT_EQ(fine.m_fDistance, 20.0f);
}

TEST_F(TrackballRotation, DragBeforeTheFirstFrameTurnsNothing)
{
    CTrackball tb;
    tb.BeginRotation(10, 10);
    EXPECT_EQ(tb.Motion(200, 150), 0);
    EXPECT_EQ(tb.Motion(-40, 900), 0);
    EXPECT_TRUE(IsIdentity(tb.m_Matrix));
}

// --- rotation ---------------------------------------------------------------

TEST_F(TrackballRotation, SmallChordsAccumulateUntilTheyCount)
{
    // On this size one pixel near the centre is a chord of about 0.00004.
    CTrackball tb = SizedTrackball(50000, 50000);
    tb.BeginRotation(25000, 25000);
    for (int x : {25001, 25002}) {
        EXPECT_EQ(tb.Motion(x, 25000), 0);
        EXPECT_TRUE(IsIdentity(tb.m_Matrix));
        EXPECT_EQ(tb.m_LastPoint.x, 0.0);
        EXPECT_EQ(tb.m_LastPoint.z, 1.0);
    }
    EXPECT_EQ(tb.Motion(25003, 25000), 1);
    const CVector3 end = tb.ProjectToSphere(25003, 25000);
    EXPECT_EQ(tb.m_LastPoint.x, end.x);
    EXPECT_EQ(tb.m_LastPoint.z, end.z);

    // The turn is the whole chord from the press, as one step would give.
    CTrackball once = SizedTrackball(50000, 50000);
    once.BeginRotation(25000, 25000);
    EXPECT_EQ(once.Motion(25003, 25000), 1);
    EXPECT_EQ(std::memcmp(once.m_Matrix, tb.m_Matrix, sizeof tb.m_Matrix), 0);
    ExpectRotationAboutY(tb.m_Matrix);
    const double chord = end.Subtract(CVector3(0.0, 0.0, 1.0)).Length();
    EXPECT_NEAR(YawDegrees(tb.m_Matrix), chord / 0.8 * 90.0, 1e-4);
}

TEST_F(TrackballRotation, DragAcrossTheCentreTurnsByTheArcOrTheChord)
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
        const double now = YawDegrees(tb.m_Matrix);
        double step = now - yaw;
        if (step < -180.0)
            step += 360.0;
        EXPECT_GT(step, 0.0);
        turned += step;
        yaw = now;
    }
    ExpectRotationAboutY(tb.m_Matrix);
    EXPECT_NEAR(turned, 346.0, 1.0);
    EXPECT_NEAR(turned, arc / 0.8 * 90.0, 0.5);

    CTrackball once = SizedTrackball(290, 342);
    once.BeginRotation(0, 171);
    EXPECT_EQ(once.Motion(290, 171), 1);
    ExpectRotationAboutY(once.m_Matrix);
    const double single = YawDegrees(once.m_Matrix) + 360.0;
    EXPECT_NEAR(single, 225.0, 0.5);
    EXPECT_NEAR(single, chord / 0.8 * 90.0, 1e-3);
}

TEST_F(TrackballRotation, MatrixIsColumnMajorAndNewTurnsComeFirst)
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
    EXPECT_NEAR(tb.m_Matrix[0], 0.0f, 1e-3);
    EXPECT_NEAR(tb.m_Matrix[2], -1.0f, 1e-3);
    EXPECT_NEAR(tb.m_Matrix[8], 1.0f, 1e-3);
    EXPECT_NEAR(tb.m_Matrix[10], 0.0f, 1e-3);

    // Dragging up then turns about the viewer's X axis, carrying +X from the
    // back to the bottom; composed the other way round it would stay behind.
    tb.BeginRotation(w / 2, w / 2);
    ASSERT_EQ(tb.Motion(w / 2, up), 1);
    EXPECT_NEAR(tb.m_Matrix[0], 0.0f, 2e-3);
    EXPECT_NEAR(tb.m_Matrix[1], -1.0f, 2e-3);
    EXPECT_NEAR(tb.m_Matrix[2], 0.0f, 2e-3);
}

TEST_F(TrackballRotation, CallersMatrixStateIsKept)
{
    const float translation[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 3, -4, 5, 1};
    glLoadMatrixf(translation);
    GLint depthBefore = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);

    CTrackball tb = SizedTrackball(290, 342);
    tb.BeginRotation(145, 171);
    ASSERT_EQ(tb.Motion(30, 20), 1);

    float after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    EXPECT_EQ(std::memcmp(after, translation, sizeof after), 0);
    GLint depthAfter = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
    EXPECT_EQ(depthAfter, depthBefore);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    // The stored rotation does not pick up the caller's translation.
    EXPECT_EQ(tb.m_Matrix[12], 0.0f);
    EXPECT_EQ(tb.m_Matrix[13], 0.0f);
    EXPECT_EQ(tb.m_Matrix[14], 0.0f);
}
