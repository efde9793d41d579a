#include "core/export/OutlineCrossing.h"

#include <algorithm>
#include <cstddef>

namespace {

struct Edge {
    OutlinePoint a, b;
    std::size_t outline;
    std::size_t index;  // in its outline, after repeated points are dropped
    std::size_t count;  // edges of its outline
    double low, high;   // its Y range
};

double Orientation(const OutlinePoint& a, const OutlinePoint& b, const OutlinePoint& c)
{
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

int Sign(double value)
{
    return (value > 0.0) - (value < 0.0);
}

// Whether p, known to be on the line through a and b, lies within the edge.
bool Within(const OutlinePoint& a, const OutlinePoint& b, const OutlinePoint& p)
{
    return std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= p.y &&
           p.y <= std::max(a.y, b.y);
}

// The height of a point two edges share, if any.
std::optional<double> Meeting(const Edge& e, const Edge& f)
{
    const double d1 = Orientation(e.a, e.b, f.a), d2 = Orientation(e.a, e.b, f.b);
    const double d3 = Orientation(f.a, f.b, e.a), d4 = Orientation(f.a, f.b, e.b);
    if (Sign(d1) * Sign(d2) < 0 && Sign(d3) * Sign(d4) < 0)
        return f.a.y + (f.b.y - f.a.y) * (d1 / (d1 - d2));
    if (d1 == 0.0 && Within(e.a, e.b, f.a))
        return f.a.y;
    if (d2 == 0.0 && Within(e.a, e.b, f.b))
        return f.b.y;
    if (d3 == 0.0 && Within(f.a, f.b, e.a))
        return e.a.y;
    if (d4 == 0.0 && Within(f.a, f.b, e.b))
        return e.b.y;
    return std::nullopt;
}

// Edge f follows edge e (f.a == e.b): they cross only where f turns
// straight back along e.
bool TurnsBack(const Edge& e, const Edge& f)
{
    const double dot = (e.b.x - e.a.x) * (f.b.x - f.a.x) + (e.b.y - e.a.y) * (f.b.y - f.a.y);
    return Orientation(e.a, e.b, f.b) == 0.0 && dot < 0.0;
}

std::vector<Edge> EdgesOf(const std::vector<std::vector<OutlinePoint>>& outlines)
{
    std::vector<Edge> edges;
    for (std::size_t o = 0; o < outlines.size(); ++o) {
        std::vector<OutlinePoint> points;
        for (const OutlinePoint& p : outlines[o])
            if (points.empty() || p.x != points.back().x || p.y != points.back().y)
                points.push_back(p);
        while (points.size() > 1 && points.back().x == points.front().x && points.back().y == points.front().y)
            points.pop_back();
        if (points.size() < 2)
            continue;
        const std::size_t first = edges.size();
        for (std::size_t i = 0; i < points.size(); ++i) {
            const OutlinePoint& a = points[i];
            const OutlinePoint& b = points[(i + 1) % points.size()];
            edges.push_back({a, b, o, i, points.size(), std::min(a.y, b.y), std::max(a.y, b.y)});
        }
        // Two points make two edges, one back along the other.
        if (points.size() == 2)
            edges[first].count = edges[first + 1].count = 0;
    }
    return edges;
}

}  // namespace

std::optional<double> CrossingHeight(const std::vector<std::vector<OutlinePoint>>& outlines)
{
    std::vector<Edge> edges = EdgesOf(outlines);
    for (const Edge& e : edges)
        if (e.count == 0)
            return e.a.y;
    // Edges in order of their lowest point: each is compared only with those
    // whose heights overlap its own.
    std::sort(edges.begin(), edges.end(), [](const Edge& e, const Edge& f) { return e.low < f.low; });
    for (std::size_t i = 0; i < edges.size(); ++i) {
        const Edge& e = edges[i];
        for (std::size_t j = i + 1; j < edges.size() && edges[j].low <= e.high; ++j) {
            const Edge& f = edges[j];
            if (e.outline == f.outline) {
                if ((e.index + 1) % e.count == f.index) {
                    if (TurnsBack(e, f))
                        return e.b.y;
                    continue;
                }
                if ((f.index + 1) % f.count == e.index) {
                    if (TurnsBack(f, e))
                        return f.b.y;
                    continue;
                }
            }
            if (const std::optional<double> height = Meeting(e, f))
                return height;
        }
    }
    return std::nullopt;
}
