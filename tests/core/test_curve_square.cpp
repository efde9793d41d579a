#include <gtest/gtest.h>

#include <cstring>

#include "core/CurveSquare.h"

namespace {

// Equality of the bits: tells -0.0 from +0.0, which == does not, and the
// sign of a zero shows in the editor's read-out.
testing::AssertionResult SameBits(double actual, double expected)
{
    if (std::memcmp(&actual, &expected, sizeof actual) == 0)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << std::hexfloat << actual << " is not " << expected;
}

} // namespace

TEST(CurveSquareSameBits, RejectsAFlippedZeroSignAndAnyOtherDifference)
{
    EXPECT_TRUE(SameBits(-0.0, -0.0));
    EXPECT_FALSE(SameBits(-0.0, 0.0));
    EXPECT_FALSE(SameBits(0.0, -0.0));
    EXPECT_FALSE(SameBits(0.1, static_cast<double>(0.1f)));
}

TEST(CurveSquare, CentreColumnAndRowArePositiveZero)
{
    for (const auto& [width, height] : {std::pair{292, 256}, std::pair{146, 172}}) {
        for (int y = 0; y <= height; ++y)
            EXPECT_TRUE(SameBits(curve_square::WindowToWorld(width / 2, y, width, height).x, 0.0));
        for (int x = 0; x <= width; ++x)
            EXPECT_TRUE(SameBits(curve_square::WindowToWorld(x, height / 2, width, height).y, 0.0));
    }
}

// The top row unprojects at window y == height, so pixel (0, 0) is the
// square's top left corner and (width, height) its bottom right.
TEST(CurveSquare, CornersAndDepthsOfTheViewVolume)
{
    const int w = 146, h = 171;
    const CVector3 corners[4] = {
        curve_square::WindowToWorld(0, 0, w, h), curve_square::WindowToWorld(w, 0, w, h),
        curve_square::WindowToWorld(0, h, w, h), curve_square::WindowToWorld(w, h, w, h)};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(corners[i].x, i % 2 ? 10 : -10, 1e-6) << "corner " << i;
        EXPECT_NEAR(corners[i].y, i < 2 ? 10 : -10, 1e-6) << "corner " << i;
        EXPECT_TRUE(SameBits(corners[i].z, 0.0));
    }
    const PixelRay ray = curve_square::RayAt(73, 85, w, h);
    EXPECT_NEAR(ray.nearPoint.z, 5.0, 1e-6);
    EXPECT_NEAR(ray.farPoint.z, -5.0, 1e-6);
    EXPECT_TRUE(SameBits(ray.nearPoint.x, ray.farPoint.x));
}
