#pragma once

#include <string>

#include "core/Result.h"

// How finely the swept surface is built: the slices round the sweep, and the
// straight intervals that sample each span of a curve's control polygon. The
// defaults are what the 3D view draws.
struct SweepSettings {
    static constexpr int kDefaultSlices = 24;
    static constexpr int kMinSlices = 3;
    static constexpr int kMaxSlices = 1024;
    static constexpr int kDefaultIntervalsPerSpan = 10;
    static constexpr int kMinIntervalsPerSpan = 1;
    static constexpr int kMaxIntervalsPerSpan = 1000;

    int slices = kDefaultSlices;
    int intervalsPerSpan = kDefaultIntervalsPerSpan;

    // The turn from one slice to the next: 2 pi / slices, in double.
    double AngleStep() const;
    // The texture S from one slice to the next: 1 / slices in single
    // precision. Slice v starts at v times it, taken in double and rounded
    // to float.
    float TextureStep() const;
};

// Whether a surface can be built with `settings`; the failure names the value
// out of range and the range.
Result<void> CheckSweepSettings(const SweepSettings& settings);
