#include "core/export/ProfileOffset.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace {

// Finer than this, a rounded corner's arc gains no visible smoothness.
constexpr double kArcStep = 3.14159265358979323846 / 16.0;

struct Direction {
    double x, y;
};

Direction Unit(const OutlinePoint& a, const OutlinePoint& b)
{
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length = std::hypot(dx, dy);
    return {dx / length, dy / length};
}

OutlinePoint Moved(const OutlinePoint& p, const Direction& d, double distance)
{
    return {p.x + distance * d.x, p.y + distance * d.y};
}

double Cross(const Direction& a, const Direction& b)
{
    return a.x * b.y - a.y * b.x;
}

double Dot(const Direction& a, const Direction& b)
{
    return a.x * b.x + a.y * b.y;
}

class WallOffset {
public:
    WallOffset(const ProfileOutline& outline, double thickness)
        : m_outline(outline), m_thickness(thickness), m_points(outline.points)
    {
        const std::size_t edges = m_outline.loop ? m_points.size() : m_points.size() - 1;
        // The inside is on the left of a counter-clockwise cross-section.
        const double side = m_outline.counterClockwise ? 1.0 : -1.0;
        for (std::size_t i = 0; i < edges; ++i) {
            const Direction d = Unit(m_points[i], m_points[(i + 1) % m_points.size()]);
            m_along.push_back(d);
            m_inward.push_back({-side * d.y, side * d.x});
        }
    }

    Result<std::vector<CVector3>> Inner()
    {
        std::vector<OutlinePoint> inner;
        std::vector<std::size_t> joinStart, joinEnd;
        for (std::size_t i = 0; i < m_points.size(); ++i) {
            joinStart.push_back(inner.size());
            if (Result<void> joined = Join(i, inner); !joined)
                return Failure{joined.Error()};
            joinEnd.push_back(inner.size() - 1);
        }
        // An edge whose inner side runs backwards is shorter than the wall
        // is thick on a curve: the inner side folds over itself there.
        for (std::size_t i = 0; i < m_along.size(); ++i) {
            const OutlinePoint& from = inner[joinEnd[i]];
            const OutlinePoint& to = inner[joinStart[(i + 1) % m_points.size()]];
            if (Dot({to.x - from.x, to.y - from.y}, m_along[i]) < 0.0)
                return Fails("crosses itself", m_points[i].y);
        }
        if (m_outline.startOnAxis)
            EndOnAxis(inner, {-m_along.front().x, -m_along.front().y});
        if (m_outline.endOnAxis) {
            std::reverse(inner.begin(), inner.end());
            EndOnAxis(inner, m_along.back());
            std::reverse(inner.begin(), inner.end());
        }
        for (std::size_t i = 0; i < inner.size(); ++i) {
            const bool onAxisEnd = (i == 0 && m_outline.startOnAxis) || (i + 1 == inner.size() && m_outline.endOnAxis);
            if (!(inner[i].x > 0.0 || (onAxisEnd && inner[i].x == 0.0)))
                return Fails("crosses the axis", inner[i].y);
        }
        if (const std::optional<double> height = CrossingHeight(Shell(inner)))
            return Fails("crosses itself", *height);
        std::vector<CVector3> rings;
        for (const OutlinePoint& p : inner)
            rings.push_back({p.x + 0.0, p.y, 0.0});
        if (m_outline.loop)
            rings.push_back(rings.front());
        return rings;
    }

private:
    // The inner points for point i: one where the neighbouring edges' moved
    // lines meet, or an arc round the corner.
    Result<void> Join(std::size_t i, std::vector<OutlinePoint>& inner) const
    {
        const OutlinePoint& p = m_points[i];
        const bool first = i == 0, last = i + 1 == m_points.size();
        if (!m_outline.loop && (first || last)) {
            inner.push_back(Moved(p, m_inward[first ? 0 : i - 1], m_thickness));
            return {};
        }
        const std::size_t before = first ? m_along.size() - 1 : i - 1;
        const Direction& n1 = m_inward[before];
        const Direction& n2 = m_inward[i];
        const double turn = Cross(m_along[before], m_along[i]);
        const bool intoInside = (m_outline.counterClockwise ? turn : -turn) >= 0.0;
        const double angle = std::acos(std::clamp(Dot(n1, n2), -1.0, 1.0));
        // A slight bend out of the inside, as along a sampled curve, is taken
        // as a corner too: an arc there would only double the rings.
        if (intoInside || angle <= kArcStep) {
            const double scale = 1.0 + Dot(n1, n2);
            if (scale < 1e-9)
                return Fails("crosses itself", p.y);
            inner.push_back(Moved(p, {(n1.x + n2.x) / scale, (n1.y + n2.y) / scale}, m_thickness));
            return {};
        }
        const double sense = turn < 0.0 ? -1.0 : 1.0;
        const int steps = std::max(1, static_cast<int>(std::ceil(angle / kArcStep)));
        for (int s = 0; s <= steps; ++s) {
            const double a = sense * angle * s / steps;
            const double c = std::cos(a), sn = std::sin(a);
            inner.push_back(Moved(p, {c * n1.x - sn * n1.y, sn * n1.x + c * n1.y}, m_thickness));
        }
        return {};
    }

    // Brings inner[0], the inner end of an end on the axis, onto the axis:
    // along the line it lies on (`away` leads off the end) where it stops
    // short, cut where the inner side first reaches the axis where it passes.
    static void EndOnAxis(std::vector<OutlinePoint>& inner, const Direction& away)
    {
        OutlinePoint& end = inner.front();
        if (end.x == 0.0) {
            end.x = 0.0;  // not -0.0
            return;
        }
        if (end.x > 0.0) {
            if (away.x < 0.0)
                end = Moved(end, away, end.x / -away.x);
            else
                inner.insert(inner.begin(), OutlinePoint{0.0, end.y});
            inner.front().x = 0.0;
            return;
        }
        for (std::size_t k = 0; k + 1 < inner.size(); ++k) {
            if (inner[k + 1].x < 0.0)
                continue;
            const OutlinePoint a = inner[k], b = inner[k + 1];
            const double f = a.x / (a.x - b.x);
            inner.erase(inner.begin(), inner.begin() + static_cast<std::ptrdiff_t>(k));
            inner.front() = {0.0, a.y + f * (b.y - a.y)};
            return;
        }
    }

    // The wall's cross-section: outside along the profile, back along the
    // inner side; a loop's two sides apart.
    std::vector<std::vector<OutlinePoint>> Shell(const std::vector<OutlinePoint>& inner) const
    {
        if (m_outline.loop)
            return {m_points, inner};
        std::vector<OutlinePoint> shell = m_points;
        shell.insert(shell.end(), inner.rbegin(), inner.rend());
        return {shell};
    }

    Failure Fails(const char* what, double y) const
    {
        std::ostringstream out;
        out << "the wall of thickness " << m_thickness << ' ' << what << ' ' << NearHeight(y);
        return Failure{out.str()};
    }

    const ProfileOutline& m_outline;
    double m_thickness;
    const std::vector<OutlinePoint>& m_points;
    std::vector<Direction> m_along;   // each edge's direction
    std::vector<Direction> m_inward;  // and the normal towards the inside
};

}  // namespace

Result<std::vector<CVector3>> InnerProfile(const ProfileOutline& outline, double thickness)
{
    return WallOffset(outline, thickness).Inner();
}
