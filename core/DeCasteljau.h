#pragma once

#include <cstddef>
#include <vector>

#include "core/Vector3.h"

// De Casteljau's recurrence at many parameters at once, for the sampling
// (Bezier.cpp) and the path frames of the sweep (SweepMesh.cpp).
//
// Every point is computed with exactly the operations, in exactly the order,
// of evaluating it alone on a fresh copy of the control points:
//   for k = n - 1 down to 1, for j = 0 up to k - 1:
//     W[j] = (W[j] * u) + (W[j + 1] * t)      per component, u = 1 - t given
// so every result is the same to the bit. Only the schedule differs: several
// parameters run side by side (vector instructions where the processor has
// them, never a fused multiply-add), the components are done one after the
// other, a component that is +0 in every control point is not computed (the
// recurrence gives +0 for it at any finite t and u), and large batches are
// shared out among the processor's cores.
namespace decasteljau {

// The components of a point, as bits: x is 1, y 2, z 4.
constexpr unsigned kAllComponents = 7;

// Evaluates the curve of `controls` (at least one point) at the parameters
// t[i] with u[i] = 1 - t[i] as the caller computed it, i < count, into out[i].
// Only the components in `components` are written; the others of out[i] are
// left as they are (each component of the curve depends on that component of
// the controls alone).
void EvaluateMany(const std::vector<CVector3>& controls, const double* t, const double* u,
                  std::size_t count, CVector3* out, unsigned components = kAllComponents);

// How many threads EvaluateMany may use at most (1: the calling thread
// alone); for tests and benchmarks. 0 restores the default (the processor's
// cores).
void SetMaxThreads(unsigned threads);

} // namespace decasteljau
