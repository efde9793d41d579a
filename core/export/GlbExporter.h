#pragma once

#include <string>

#include "core/export/ExportFiles.h"
#include "core/export/IndexedMesh.h"
#include "core/bmp/RgbImage.h"

// The surface as one glTF 2.0 binary file, "<baseName>.glb": float positions,
// unit normals, texture coordinates and 32-bit indices, one double-sided
// material (the view lights both sides), and `texture`, when not null,
// embedded as PNG so that the picture lands where the view shows it.
Result<ExportedFiles> ExportGlb(const IndexedMesh& mesh, const RgbImage* texture, const std::string& baseName);
