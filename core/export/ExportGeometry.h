#pragma once

#include <optional>

#include "core/Vector3.h"

// The direction of `v` at length one, or nothing when `v` is zero or not
// finite. Scaled by its largest component first, so that very small and very
// large vectors neither underflow nor overflow on the way.
std::optional<CVector3> UnitVector(const CVector3& v);

// The normal of triangle a, b, c by the right-hand rule (counter-clockwise
// seen from its front), at length one; nothing for a triangle of no area.
std::optional<CVector3> TriangleNormal(const CVector3& a, const CVector3& b, const CVector3& c);

// Whether every coordinate of `p` converts to a finite float (false for NaN).
bool InFloatRange(const CVector3& p);

// `p` as glTF and STL store it: each coordinate rounded to float. Needs
// InFloatRange(p).
CVector3 AtFloatPrecision(const CVector3& p);
