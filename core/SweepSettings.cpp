#include "core/SweepSettings.h"

namespace {

const double kPi = 3.14159265358979323846;

Result<void> CheckRange(const char* what, int value, int least, int most)
{
    if (least <= value && value <= most)
        return {};
    return Failure{std::string(what) + " must be " + std::to_string(least) + " to " + std::to_string(most) +
                   ", not " + std::to_string(value)};
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

Result<void> CheckSweepSettings(const SweepSettings& settings)
{
    const Result<void> slices =
        CheckRange("slices", settings.slices, SweepSettings::kMinSlices, SweepSettings::kMaxSlices);
    if (!slices)
        return slices;
    return CheckRange("intervals per span", settings.intervalsPerSpan, SweepSettings::kMinIntervalsPerSpan,
                      SweepSettings::kMaxIntervalsPerSpan);
}
