#include "core/export/ExportGeometry.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

std::optional<CVector3> UnitVector(const CVector3& v)
{
    if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z))
        return std::nullopt;
    const double scale = std::max({std::fabs(v.x), std::fabs(v.y), std::fabs(v.z)});
    if (scale == 0.0)
        return std::nullopt;
    const CVector3 w(v.x / scale, v.y / scale, v.z / scale);
    const double length = std::sqrt(w.x * w.x + w.y * w.y + w.z * w.z);
    return CVector3(w.x / length, w.y / length, w.z / length);
}

std::optional<CVector3> TriangleNormal(const CVector3& a, const CVector3& b, const CVector3& c)
{
    return UnitVector(b.Subtract(a).Cross(c.Subtract(a)));
}

bool InFloatRange(const CVector3& p)
{
    return std::fabs(p.x) <= FLT_MAX && std::fabs(p.y) <= FLT_MAX && std::fabs(p.z) <= FLT_MAX;
}

CVector3 AtFloatPrecision(const CVector3& p)
{
    return {static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)};
}
