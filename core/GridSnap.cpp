#include "core/GridSnap.h"

#include <cmath>

namespace {

// Beyond 2^52 every double is a whole number: snapping changes nothing.
constexpr double kWholeFrom = 4503599627370496.0;

// The integer nearest to value * 10, exactly: the product is rounded once,
// and where that rounding lands on a half-way point the sign of its error
// (which fma gives exactly) says on which side the exact product lies. A
// product that does not round to a half-way point cannot cross one: the
// half-way point would be a closer double.
double NearestTenths(double value)
{
    const double product = value * 10.0;
    const double error = std::fma(value, 10.0, -product);
    // Doubling is exact; a difference such as product - floor(product) is not.
    const bool halfWay = std::floor(2.0 * product) == 2.0 * product && std::floor(product) != product;
    if (!halfWay)
        return std::round(product);
    if (error > 0.0)
        return std::ceil(product);
    if (error < 0.0)
        return std::floor(product);
    return std::round(product);  // exactly half-way: away from zero
}

} // namespace

GridSnap GridSnapFor(bool control, bool shift)
{
    if (!control)
        return GridSnap::None;
    return shift ? GridSnap::Tenths : GridSnap::Units;
}

double SnapToGrid(double value, GridSnap snap)
{
    if (snap == GridSnap::None || !std::isfinite(value))
        return value;
    // Adding +0 turns a -0 (a small negative value rounded) into +0.
    if (snap == GridSnap::Units)
        return std::round(value) + 0.0;
    if (std::fabs(value) >= kWholeFrom / 10.0)
        return value;
    return NearestTenths(value) / 10.0 + 0.0;
}
