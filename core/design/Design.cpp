#include "core/design/Design.h"

#include <cmath>
#include <iterator>
#include <string_view>

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

std::string PointCountProblem(const char* curve, std::size_t count)
{
    if (count <= kMaxControlPoints)
        return {};
    return Quoted(curve) + " has " + std::to_string(count) + " points, at most " +
           std::to_string(kMaxControlPoints) + " are allowed";
}

std::string PointProblem(const char* curve, std::size_t index, double x, double y)
{
    if (!std::isfinite(x))
        return PointName(curve, index) + " \"x\" is not a finite number";
    if (!std::isfinite(y))
        return PointName(curve, index) + " \"y\" is not a finite number";
    if (std::string_view(curve) == "profile" && x < 0.0)
        return PointName(curve, index) + " has X < 0";
    return {};
}

std::string CurveProblem(const char* curve, const std::vector<CVector3>& points)
{
    std::string problem = PointCountProblem(curve, points.size());
    for (std::size_t i = 0; i < points.size() && problem.empty(); ++i)
        problem = PointProblem(curve, i, points[i].x, points[i].y);
    return problem;
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

std::string ViewProblem(const float (&rotation)[16], float distance)
{
    for (std::size_t i = 0; i < 16; ++i)
        if (!std::isfinite(rotation[i]))
            return RotationName(i) + " is not a finite number";
    if (!std::isfinite(distance))
        return "\"view\" \"distance\" is not a finite number";
    if (!(distance > 0.0f))
        return "\"view\" \"distance\" must be greater than 0";
    return {};
}

std::string DesignProblem(const Design& design)
{
    std::string problem = CurveProblem("profile", design.profile);
    if (problem.empty())
        problem = CurveProblem("path", design.path);
    if (problem.empty() && (design.degree < kMinDesignDegree || design.degree > kMaxDesignDegree))
        problem = DegreeOutOfRange(std::to_string(design.degree));
    if (problem.empty() && static_cast<std::size_t>(design.renderMode) > static_cast<std::size_t>(RenderMode::Point))
        problem = "the render mode is not solid, wireframe or point";
    if (problem.empty())
        problem = ViewProblem(design.viewRotation, design.viewDistance);
    if (problem.empty())
        problem = SweepSettingsProblem(design.sweep);
    return problem;
}
