#include "core/export/ProfileOutline.h"

#include <sstream>

namespace {

double TwiceSignedArea(const std::vector<OutlinePoint>& polygon)
{
    double sum = 0.0;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const OutlinePoint& a = polygon[i];
        const OutlinePoint& b = polygon[(i + 1) % polygon.size()];
        sum += a.x * b.y - b.x * a.y;
    }
    return sum;
}

}  // namespace

std::vector<OutlinePoint> ProfileOutline::CrossSection() const
{
    std::vector<OutlinePoint> polygon = points;
    if (loop)
        return polygon;
    if (!endOnAxis)
        polygon.push_back({0.0, points.back().y});
    if (!startOnAxis)
        polygon.push_back({0.0, points.front().y});
    return polygon;
}

Result<ProfileOutline> OutlineOfProfile(const std::vector<CVector3>& rings)
{
    ProfileOutline outline;
    for (const CVector3& ring : rings)
        if (outline.points.empty() || ring.x != outline.points.back().x || ring.y != outline.points.back().y)
            outline.points.push_back({ring.x, ring.y});
    std::vector<OutlinePoint>& points = outline.points;
    if (points.size() < 2)
        return Failure{"the profile has no length"};
    outline.loop = points.size() > 2 && points.front().x == points.back().x && points.front().y == points.back().y;
    if (outline.loop)
        points.pop_back();
    outline.startOnAxis = !outline.loop && points.front().x == 0.0;
    outline.endOnAxis = !outline.loop && points.back().x == 0.0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const bool openEnd = !outline.loop && (i == 0 || i + 1 == points.size());
        if (points[i].x < 0.0 || (points[i].x == 0.0 && !openEnd))
            return Failure{"the profile touches the axis " + NearHeight(points[i].y)};
    }
    const std::vector<OutlinePoint> section = outline.CrossSection();
    if (const std::optional<double> height = CrossingHeight({section}))
        return Failure{"the profile crosses itself " + NearHeight(*height)};
    outline.counterClockwise = TwiceSignedArea(section) > 0.0;
    return outline;
}

std::string NearHeight(double y)
{
    std::ostringstream out;
    out.precision(4);
    out << "near height " << y + 0.0;
    return out.str();
}
