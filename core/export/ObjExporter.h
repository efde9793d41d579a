#pragma once

#include <string>

#include "core/export/ExportFiles.h"
#include "core/export/IndexedMesh.h"
#include "core/bmp/RgbImage.h"

// Appends `value` in the shortest decimal form that reads back as the same
// double (std::to_chars: no locale, no lost digits, no needless ones).
void AppendShortest(std::string& out, double value);

// The surface as Wavefront OBJ: "<baseName>.obj" with one v, vt and vn line
// per vertex and "f v/vt/vn" triangles, and its material in "<baseName>.mtl".
// With a texture, the picture also goes beside them as "<baseName>.png",
// named by the material. In the names the OBJ and MTL lines refer to, spaces
// become underscores, since those lines end a name at a space.
ExportResult ExportObj(const IndexedMesh& mesh, const RgbImage* texture, const std::string& baseName);
