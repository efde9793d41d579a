#pragma once

#include <string>

#include "core/export/ExportFiles.h"
#include "core/export/IndexedMesh.h"
#include "core/export/PictureFile.h"
#include "core/bmp/RgbImage.h"

// The surface as one glTF 2.0 binary file, "<baseName>.glb": float positions,
// unit normals, texture coordinates and 32-bit indices, one double-sided
// material (the view lights both sides), and the texture placed where the
// view shows it: `textureFile`'s bytes as they are when given, else
// `texture`, when not null, encoded as PNG.
Result<ExportedFiles> ExportGlb(const IndexedMesh& mesh, const RgbImage* texture, const std::string& baseName,
                                const PictureFile* textureFile = nullptr);
