#pragma once

#include <vector>

#include "core/ExportOptions.h"
#include "core/Result.h"
#include "core/Vector3.h"
#include "core/export/IndexedMesh.h"

// The mesh an export writes, in design units with Y up, before the format
// places it: the surface swept from the profile's control points along the
// path's with the options' slices and intervals. With the default options it
// is exactly the surface the 3D view draws; with caps or a thickness, the
// solid BuildSolidMesh closes from it. Fails with the reason when the options
// are out of range or the profile encloses no solid.
Result<IndexedMesh> BuildExportMesh(const std::vector<CVector3>& profileControls,
                                    const std::vector<CVector3>& pathControls, const ExportOptions& options);
