#pragma once

#include <vector>

#include "core/SweepSettings.h"
#include "core/Vector3.h"

// Appends intervals + 1 samples of the Bezier curve of `controls`, at
// t = i * (1.0 / intervals), to `samples` (and the parameters, narrowed to
// float, to `params` when given). De Casteljau with the two-product
// interpolation (W[j] * u) + (W[j+1] * t), so t = 0 gives P0 exactly.
void SampleBezier(const std::vector<CVector3>& controls, int intervals,
                  std::vector<CVector3>& samples, std::vector<float>* params);

// Rebuilds the sampling of a curve: `intervalsPerSpan` intervals per control
// polygon segment (the editors keep the default), nothing for fewer than two
// points.
void EvaluateCurve(const std::vector<CVector3>& controls, std::vector<CVector3>& samples,
                   std::vector<float>& params,
                   int intervalsPerSpan = SweepSettings::kDefaultIntervalsPerSpan);

// EvaluateCurve for a curve whose samples and parameters were made by it
// from `previous`, with the same intervals per span: a component that is the
// same, bit for bit, in every control point keeps its samples (each component
// of a sample comes from that component of the controls alone), so a drag
// along one axis computes half the work. Any other change of the points
// samples afresh.
void ReevaluateCurve(const std::vector<CVector3>& previous, const std::vector<CVector3>& controls,
                     std::vector<CVector3>& samples, std::vector<float>& params,
                     int intervalsPerSpan = SweepSettings::kDefaultIntervalsPerSpan);
