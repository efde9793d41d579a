#include "core/ViewFraming.h"

#include <algorithm>
#include <cmath>

#include "core/Trackball.h"

double ViewHalfSide()
{
    const double pi = 3.14159265358979323846;
    return 1.0 / (std::cos(pi / 6.0) / std::sin(pi / 6.0));
}

std::optional<float> FramingDistance(const std::vector<CVector3>& points, const float rotation[16])
{
    if (points.empty())
        return std::nullopt;
    const auto m = [rotation](int row, int col) { return static_cast<double>(rotation[col * 4 + row]); };
    // A point at depth z (towards the camera) and off the line of sight by
    // `off` is inside the share of the view from distance z + off / slope on.
    const double slope = ViewHalfSide() * kFramedShare;
    double distance = CTrackball::kMinDistance;
    for (const CVector3& p : points) {
        const double x = m(0, 0) * p.x + m(0, 1) * p.y + m(0, 2) * p.z + m(0, 3);
        const double y = m(1, 0) * p.x + m(1, 1) * p.y + m(1, 2) * p.z + m(1, 3);
        const double z = m(2, 0) * p.x + m(2, 1) * p.y + m(2, 2) * p.z + m(2, 3);
        const double off = std::max(std::abs(x), std::abs(y));
        distance = std::max({distance, z + off / slope, z + kViewNear / kFramedShare});
    }
    const float narrowed = static_cast<float>(distance);
    if (!std::isfinite(narrowed))
        return std::nullopt;
    return narrowed;
}
