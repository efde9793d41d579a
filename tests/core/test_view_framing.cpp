#include "core/ViewFraming.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/Trackball.h"

namespace {

const float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// Where a point turned by `rotation` lands in the view seen from `distance`,
// as the lens projects it: -1 to 1 across and up; w is its depth in front
// of the camera.
struct Projected {
    double x, y, w;
};

Projected Project(const CVector3& p, const float* r, float distance)
{
    const double x = r[0] * p.x + r[4] * p.y + r[8] * p.z;
    const double y = r[1] * p.x + r[5] * p.y + r[9] * p.z;
    const double z = r[2] * p.x + r[6] * p.y + r[10] * p.z - distance;
    const double t = ViewHalfSide();
    return {x / (-z * t), y / (-z * t), -z};
}

// The corners of a box of half-sides (a, b, c) centred at (cx, cy, cz).
std::vector<CVector3> Box(double a, double b, double c, double cx = 0, double cy = 0, double cz = 0)
{
    std::vector<CVector3> corners;
    for (int i = 0; i < 8; ++i)
        corners.push_back({cx + (i & 1 ? a : -a), cy + (i & 2 ? b : -b), cz + (i & 4 ? c : -c)});
    return corners;
}

// The largest share of the view any point reaches, seen from `distance`.
double Reach(const std::vector<CVector3>& points, const float* rotation, float distance)
{
    double reach = 0.0;
    for (const CVector3& p : points) {
        const Projected q = Project(p, rotation, distance);
        EXPECT_GE(q.w, kViewNear) << "in front of the near plane";
        reach = std::max({reach, std::abs(q.x), std::abs(q.y)});
    }
    return reach;
}

} // namespace

TEST(ViewFraming, SmallAndLargeSurfacesReachTheShareExactlyWherePossible)
{
    // A quarter turn about y, then a tilt: the box is seen from aside.
    const double c = std::cos(0.4), s = std::sin(0.4);
    const float tilted[16] = {1, 0, 0, 0, 0, static_cast<float>(c), static_cast<float>(s), 0,
                              0, static_cast<float>(-s), static_cast<float>(c), 0, 0, 0, 0, 1};
    for (const float* rotation : {kIdentity, tilted}) {
        for (double size : {1.0, 8.0, 60.0, 300.0}) {
            const std::vector<CVector3> box = Box(size, 2.0 * size, 0.5 * size, 0.3 * size);
            const std::optional<float> distance = FramingDistance(box, rotation);
            ASSERT_TRUE(distance.has_value()) << size;
            // The farthest corner reaches the share and none goes beyond it.
            EXPECT_NEAR(Reach(box, rotation, *distance), kFramedShare, 1e-6) << size;
        }
    }
    // Tall and narrow: the height decides; wide and flat: the width.
    const float tall = *FramingDistance(Box(1, 10, 1), kIdentity);
    const float wide = *FramingDistance(Box(10, 1, 1), kIdentity);
    EXPECT_EQ(tall, wide);
    EXPECT_NEAR(tall, 1.0 + 10.0 / (ViewHalfSide() * kFramedShare), 1e-4);
}

TEST(ViewFraming, TheZoomFloorAndTheNearPlaneHoldAndNothingFramesNothing)
{
    // A tiny surface: the camera comes no nearer than the zoom lets it.
    EXPECT_EQ(*FramingDistance(Box(0.01, 0.01, 0.01), kIdentity), static_cast<float>(CTrackball::kMinDistance));
    // A thin rod pointing at the camera: its tip stays beyond the near plane.
    const std::vector<CVector3> rod{{0, 0, -5}, {0, 0, 5}};
    const float distance = *FramingDistance(rod, kIdentity);
    EXPECT_GT(distance - 5.0f, static_cast<float>(kViewNear));
    EXPECT_FALSE(FramingDistance({}, kIdentity).has_value());
    // Beyond what a float holds there is no distance to go to.
    EXPECT_FALSE(FramingDistance({{1e300, 0, 0}}, kIdentity).has_value());
}
