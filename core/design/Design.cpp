#include "core/design/Design.h"

#include <cmath>

#include "core/WordList.h"

namespace {

std::string Quoted(const char* text)
{
    return std::string("\"") + text + "\"";
}

} // namespace

std::string PointName(const char* curve, std::size_t index)
{
    return Quoted(curve) + " point " + std::to_string(index);
}

Result<void> CheckPointCount(const char* curve, std::size_t count)
{
    if (count <= kMaxControlPoints)
        return {};
    return Failure{Quoted(curve) + " has " + std::to_string(count) + " points, at most " +
                   std::to_string(kMaxControlPoints) + " are allowed"};
}

Result<void> CheckPoint(const char* curve, std::size_t index, double x, double y)
{
    if (!std::isfinite(x))
        return Failure{PointName(curve, index) + " \"x\" is not a finite number"};
    if (!std::isfinite(y))
        return Failure{PointName(curve, index) + " \"y\" is not a finite number"};
    if (std::string(curve) == "profile" && x < 0.0)
        return Failure{PointName(curve, index) + " has X < 0"};
    return {};
}

Result<void> CheckCurve(const char* curve, const std::vector<CVector3>& points)
{
    Result<void> checked = CheckPointCount(curve, points.size());
    for (std::size_t i = 0; i < points.size() && checked; ++i)
        checked = CheckPoint(curve, i, points[i].x, points[i].y);
    return checked;
}

std::string DegreeOutOfRange(const std::string& shown)
{
    return "\"degree\" is " + shown + ", must be " + std::to_string(kMinDesignDegree) + " to " +
           std::to_string(kMaxDesignDegree);
}

std::string RotationName(std::size_t index)
{
    return "\"view\" \"rotation\" number " + std::to_string(index);
}

Result<void> CheckView(const float (&rotation)[16], float distance)
{
    for (std::size_t i = 0; i < 16; ++i)
        if (!std::isfinite(rotation[i]))
            return Failure{RotationName(i) + " is not a finite number"};
    if (!std::isfinite(distance))
        return Failure{"\"view\" \"distance\" is not a finite number"};
    if (!(distance > 0.0f))
        return Failure{"\"view\" \"distance\" must be greater than 0"};
    return {};
}

Result<void> CheckDesign(const Design& design)
{
    if (Result<void> profile = CheckCurve("profile", design.profile); !profile)
        return profile;
    if (Result<void> path = CheckCurve("path", design.path); !path)
        return path;
    if (design.degree < kMinDesignDegree || design.degree > kMaxDesignDegree)
        return Failure{DegreeOutOfRange(std::to_string(design.degree))};
    if (*RenderModeWord(design.renderMode) == '\0')
        return Failure{"the render mode is not " + ListForSentence(RenderModeWords())};
    if (Result<void> view = CheckView(design.viewRotation, design.viewDistance); !view)
        return view;
    return CheckExportOptions(design.output);
}
