#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/GridSnap.h"

namespace {

// The tenth nearest to `value` by an independent route: ten times a double
// needs at most 57 bits, which a long double of this platform holds
// exactly, so rounding it decides every tie as exact arithmetic does.
double ReferenceTenths(double value)
{
    return static_cast<double>(std::roundl(static_cast<long double>(value) * 10.0L)) / 10.0;
}

} // namespace

TEST(GridSnap, CtrlSnapsToUnitsCtrlShiftToTenthsShiftAloneNot)
{
    EXPECT_EQ(GridSnapFor(false, false), GridSnap::None);
    EXPECT_EQ(GridSnapFor(false, true), GridSnap::None);
    EXPECT_EQ(GridSnapFor(true, false), GridSnap::Units);
    EXPECT_EQ(GridSnapFor(true, true), GridSnap::Tenths);
}

TEST(GridSnap, UnitsRoundToTheNearestWholeNumberHalfWayAwayFromZero)
{
    const double cases[][2] = {{2.4, 2},   {2.6, 3},   {-2.4, -2}, {-2.6, -3}, {2.5, 3},    {-2.5, -3},
                               {0.5, 1},   {-0.5, -1}, {9.99, 10}, {-10, -10}, {0.4999, 0}, {7, 7}};
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(SnapToGrid(value, GridSnap::Units), expected) << value;
    EXPECT_FALSE(std::signbit(SnapToGrid(-0.3, GridSnap::Units))) << "no -0 on the grid";
    EXPECT_EQ(SnapToGrid(2.4, GridSnap::None), 2.4);
}

TEST(GridSnap, TenthsAreExactlyTheDoubleKOverTen)
{
    // Just either side of every tenth of the world square and beyond it.
    for (int k = -150; k <= 150; ++k) {
        const double tenth = k / 10.0;
        for (double value : {tenth, std::nextafter(tenth, -1e9), std::nextafter(tenth, 1e9), tenth + 0.03,
                             tenth - 0.03, tenth + 0.049, tenth - 0.049})
            ASSERT_EQ(SnapToGrid(value, GridSnap::Tenths), tenth) << value;
    }
    EXPECT_FALSE(std::signbit(SnapToGrid(-0.04, GridSnap::Tenths))) << "no -0 on the grid";
}

TEST(GridSnap, TenthsDecideNearHalfWayByTheExactValueNotTheRoundedProduct)
{
    static_assert(std::numeric_limits<long double>::digits >= 57, "the reference needs an exact product");
    // 0.15 as a double lies below 0.15, so 0.1 is nearer, though 0.15 * 10
    // rounds to 1.5 and that rounds up; likewise 0.35 and -0.15. 0.45 lies
    // above, as do 8.65 and -0.05. 0.25 and 1.25 are exactly half-way: away
    // from zero.
    const double cases[][2] = {{0.15, 0.1},  {-0.15, -0.1}, {0.35, 0.3}, {0.45, 0.5},    {0.25, 0.3},
                               {-0.25, -0.3}, {1.25, 1.3},  {0.75, 0.8}, {-9.75, -9.8}, {8.65, 8.7}, {-0.05, -0.1}};
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(SnapToGrid(value, GridSnap::Tenths), expected) << value;
        EXPECT_EQ(ReferenceTenths(value), expected) << value;
    }
    // Every value near a half-way point, and a fine sweep, against the reference.
    for (int k = -400; k <= 400; ++k) {
        const double half = (2 * k + 1) / 20.0;
        for (double value : {half, std::nextafter(half, -1e9), std::nextafter(half, 1e9)})
            ASSERT_EQ(SnapToGrid(value, GridSnap::Tenths), ReferenceTenths(value)) << value;
    }
    for (int i = -30000; i <= 30000; ++i)
        ASSERT_EQ(SnapToGrid(i * 0.000713, GridSnap::Tenths), ReferenceTenths(i * 0.000713)) << i;
}

TEST(GridSnap, ValuesOffTheGridPassThrough)
{
    const double inf = std::numeric_limits<double>::infinity();
    for (GridSnap snap : {GridSnap::Units, GridSnap::Tenths}) {
        EXPECT_TRUE(std::isnan(SnapToGrid(std::nan(""), snap)));
        EXPECT_EQ(SnapToGrid(inf, snap), inf);
        EXPECT_EQ(SnapToGrid(-inf, snap), -inf);
        EXPECT_EQ(SnapToGrid(1e300, snap), 1e300);
    }
}
