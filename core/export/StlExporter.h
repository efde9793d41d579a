#pragma once

#include <string>

#include "core/export/ExportFiles.h"
#include "core/export/IndexedMesh.h"

// The surface as one binary STL file, "<baseName>.stl": every triangle with
// its corners as floats and the unit normal of those float corners by the
// right-hand rule, so that the file agrees with itself.
Result<ExportedFiles> ExportStl(const IndexedMesh& mesh, const std::string& baseName);
