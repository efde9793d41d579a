#include "core/SweepSettings.h"

namespace {

const double kPi = 3.14159265358979323846;

std::string RangeProblem(const char* what, int value, int least, int most)
{
    if (least <= value && value <= most)
        return {};
    return std::string(what) + " must be " + std::to_string(least) + " to " + std::to_string(most) +
           ", not " + std::to_string(value);
}

}  // namespace

double SweepSettings::AngleStep() const
{
    return 2.0 * kPi / slices;
}

float SweepSettings::TextureStep() const
{
    return 1.0f / static_cast<float>(slices);
}

std::string SweepSettingsProblem(const SweepSettings& settings)
{
    std::string problem = RangeProblem("slices", settings.slices, SweepSettings::kMinSlices,
                                       SweepSettings::kMaxSlices);
    if (problem.empty())
        problem = RangeProblem("intervals per span", settings.intervalsPerSpan,
                               SweepSettings::kMinIntervalsPerSpan, SweepSettings::kMaxIntervalsPerSpan);
    return problem;
}
