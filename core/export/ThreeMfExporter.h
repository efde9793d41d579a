#pragma once

#include <string>

#include "core/ExportOptions.h"
#include "core/bmp/RgbImage.h"
#include "core/export/ExportFiles.h"
#include "core/export/IndexedMesh.h"

// The surface as one 3MF package, "<baseName>.3mf": one mesh object built
// once, in `units`. Core 3MF has no texture coordinates, so a `texture`
// (may be null) gives the object a base material of the picture's mean
// colour. The same mesh gives the same bytes.
Result<ExportedFiles> ExportThreeMf(const IndexedMesh& mesh, const RgbImage* texture, LengthUnit units,
                                    const std::string& baseName);
