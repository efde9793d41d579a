#pragma once

#include <string>
#include <vector>

#include "core/Vector3.h"
#include "core/SweepMesh.h"

// A word-for-word transcription of the surface build, kept only as a test
// oracle and as the slow side of the benchmark: every frame is re-evaluated
// for every use, every vertex recomputed, and nothing is guarded, so the
// degenerate inputs yield NaN exactly as the unguarded build would.
namespace literal {

void EvaluatePointTangent(double t, CVector3& point, CVector3& tangent,
                          const std::vector<CVector3>& controls);
void RotateY(double angle, double x, double y, double z, CVector3& out);
void RotateZ(double angle, double x, double y, double z, CVector3& out);

// Slice v spans the angles v * 2 pi / N to (v + 1) * 2 pi / N of N =
// settings.slices; the settings are taken as given, unchecked.
std::vector<std::vector<SweepVertex>> SweepMesh(const std::vector<CVector3>& profileSamples,
                                                const std::vector<CVector3>& pathControls,
                                                const std::vector<CVector3>& profileControls,
                                                const SweepSettings& settings = SweepSettings());

}  // namespace literal

namespace literal {

// Number-by-number comparison of a mesh against the literal one. Where the
// reference holds a non-finite value the candidate must be finite instead;
// everywhere else the two must agree to the bit.
struct MeshComparison {
    int nonFiniteReference = 0;  // reference values that were not finite
    int mismatches = 0;          // shape differences, bit differences, non-finite candidates
    std::string firstMismatch;   // empty when there is none
};

MeshComparison CompareMeshes(const std::vector<std::vector<SweepVertex>>& reference,
                             const std::vector<std::vector<SweepVertex>>& candidate);

}  // namespace literal
