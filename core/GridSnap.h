#pragma once

// How a point placed in an editor lands on the grid: not at all, on whole
// units, or on tenths.
enum class GridSnap { None, Units, Tenths };

// The snap the held keys ask for: Ctrl snaps to whole units, Ctrl+Shift to
// tenths; Shift alone does nothing.
GridSnap GridSnapFor(bool control, bool shift);

// The grid value nearest to `value`: a whole number, or exactly the double
// k / 10.0 for the integer k nearest to ten times `value` (nearest in exact
// arithmetic, not after ten times `value` is rounded). A value half-way
// between two grid values goes away from zero, so snapping is symmetric
// about the axes. Zero comes out as +0. A value that is not finite, or too
// large for the grid to be finer than its own spacing, is returned as it is.
double SnapToGrid(double value, GridSnap snap);
