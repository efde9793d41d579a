#pragma once

#include <string>

#include "core/export/ExportFiles.h"
#include "core/export/IndexedMesh.h"
#include "core/export/PictureFile.h"
#include "core/bmp/RgbImage.h"

// Appends `value` in the shortest decimal form that reads back as the same
// double (std::to_chars: no locale, no lost digits, no needless ones).
void AppendShortest(std::string& out, double value);

// The name of the OBJ export's copy of the texture:
// "<baseName><suffix>.<extension>", with spaces as underscores, since the MTL
// line that names it ends a name at a space.
std::string ObjTextureName(const std::string& baseName, const std::string& suffix = "",
                           const char* extension = "png");

// The surface as Wavefront OBJ: "<baseName>.obj" with one v, vt and vn line
// per vertex and "f v/vt/vn" triangles, and its material in "<baseName>.mtl".
// With a texture, the picture also goes beside them as `textureName` (by
// default ObjTextureName(baseName) with the picture file's extension), named
// by the material: `textureFile`'s bytes as they are when given, else
// `texture` encoded as PNG. In the names the OBJ and MTL lines refer to,
// spaces become underscores.
Result<ExportedFiles> ExportObj(const IndexedMesh& mesh, const RgbImage* texture, const std::string& baseName,
                                const std::string& textureName = "", const PictureFile* textureFile = nullptr);
