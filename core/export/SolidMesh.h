#pragma once

#include <vector>

#include "core/ExportOptions.h"
#include "core/Result.h"
#include "core/SweepMesh.h"
#include "core/Vector3.h"
#include "core/export/IndexedMesh.h"

// The swept surface closed into a solid, for options with caps or a
// thickness: every edge between exactly two triangles, all facing out, the
// enclosed volume positive (a profile drawn downwards turns the whole mesh
// round).
// - Caps: each open end ring gets a flat cap, a fan on the ring's own
//   corners; an end on the axis is closed already, and so is a profile that
//   ends where it starts.
// - A thickness: a wall. The inner side (InnerProfile) is swept with the
//   profile's own bottom and height and faces inwards; at each open end a
//   band joins the inner and outer rings. The ends are closed by these bands,
//   so caps are then not added.
// Fails with the reason where the profile or the wall would not enclose one
// solid (see OutlineOfProfile and InnerProfile). An empty sweep stays empty.
// An end a rounding error off the axis counts as on it.
Result<IndexedMesh> BuildSolidMesh(const SweepProfile& laid, const std::vector<CVector3>& pathControls,
                                   const ExportOptions& options);
